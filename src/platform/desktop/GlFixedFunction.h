#pragma once

#include "GlObjects.h"
#include "platform/D3D9Types.h"
#include "platform/Rect.h"

#include <epoxy/gl.h>

#include <array>
#include <cstddef>
#include <cstdint>

// The part of Direct3D 9's fixed-function pipeline that the game uses, as the OpenGL device
// keeps it: the render states, what a draw of the scene takes from them, the samplers of the
// two texture stages, and the scene program that puts them into OpenGL.
namespace platform {

// The render states that OpenGL or the scene program needs.
struct SRenderStates {
    bool zEnable = true;
    bool zWrite = true;
    std::uint32_t srcBlend = D3DBLEND_ONE;
    std::uint32_t destBlend = D3DBLEND_ZERO;
    std::uint32_t cullMode = D3DCULL_CCW;
    bool alphaBlend = false;
    bool specular = false;
    bool lighting = true;
    std::uint32_t ambient = 0;
    std::uint32_t blendFactor = 0xFFFFFFFFu;
    bool stage1Modulate = false;
    bool scissor = false;
    SRect scissorRect;
    bool operator==(const SRenderStates&) const = default;

    // Takes a render state the device is given; the others change nothing.
    void Set(D3DRENDERSTATETYPE state, std::uint32_t value);
};

// What a draw of the scene takes from the device's states, besides its world matrix.
struct SDrawState {
    SRenderStates states;
    D3DXMATRIX view;
    D3DXMATRIX projection;
    D3DXVECTOR3 eye; // where the view matrix puts the camera, for the specular light
    D3DMATERIAL9 material;
    D3DLIGHT9 light;
    bool lightEnabled = false;
    std::uint32_t fvf = 0;
    std::array<CGlTextureObject*, 2> textures = {nullptr, nullptr};
    CGlVertexBuffer* stream = nullptr;
    std::size_t streamOffset = 0;
    std::size_t streamStride = 0;
    CGlIndexBuffer* indices = nullptr;
    bool operator==(const SDrawState&) const = default;
};

// 0xAARRGGBB as OpenGL's four floats.
D3DCOLORVALUE ColorValue(D3DCOLOR color);
// The scissor rectangle of the states, or none, for a frame of the given height.
void ApplyScissor(const SRenderStates& states, int frameHeight);
// The attribute layout of a vertex format: position, normal, diffuse colour, texture
// coordinate, in this order in the vertex, from base in the bound array buffer.
void SetVertexLayout(std::uint32_t fvf, std::size_t stride, std::size_t base);
// Binds the vertex array with the draw's vertex and index buffers in its vertex format.
void BindMesh(GLuint vertexArray, const SDrawState& draw);

// The samplers of the two texture stages, filtered as Direct3D's sampler states say and
// repeating.
class CGlStageSamplers {
  public:
    CGlStageSamplers();
    void Set(int stage, D3DSAMPLERSTATETYPE state, std::uint32_t value);
    GLuint Get(int stage) const { return m_Samplers[static_cast<std::size_t>(stage)].Get(); }

  private:
    struct SFilters {
        std::uint32_t mag = D3DTEXF_POINT;
        std::uint32_t min = D3DTEXF_POINT;
        std::uint32_t mip = D3DTEXF_NONE;
    };
    void Apply(int stage);

    std::array<SFilters, 2> m_Filters;
    std::array<CGlSampler, 2> m_Samplers;
};

// The scene program (one point light with range and attenuation lit at the vertices,
// material, specular switch, two texture stages, pre-transformed vertices) with the
// locations of its uniforms.
class CGlSceneProgram {
  public:
    explicit CGlSceneProgram(CGlProgram program);

    // Puts the draw's states into OpenGL and the program: depth, blending, culling, the
    // scissor, the matrices, light and material, the textures with the stages' samplers.
    void Use(const SDrawState& draw, const D3DXMATRIX& world, const CGlStageSamplers& samplers,
             int frameWidth, int frameHeight) const;
    // Whether each instance brings its own world matrix (attributes 4 to 10).
    void SetInstanced(bool instanced) const { glUniform1i(m_Uniforms.instanced, instanced); }

  private:
    struct SUniforms {
        GLint instanced, world, view, projection, normalMatrix, preTransformed, hasColor,
            screenSize;
        GLint lighting, specular, materialDiffuse, materialAmbient, materialSpecular,
            materialEmissive, materialPower;
        GLint lightEnabled, lightPosition, lightDiffuse, lightAmbient, lightSpecular, lightRange,
            attenuation, globalAmbient, eye;
        GLint hasTexture0, hasTexture1, stage1Modulate, texture0, texture1;
        explicit SUniforms(GLuint program);
    };

    CGlProgram m_Program;
    SUniforms m_Uniforms;
};

} // namespace platform
