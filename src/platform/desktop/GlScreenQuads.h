#pragma once

#include "GlFixedFunction.h"
#include "GlObjects.h"
#include "platform/GraphicsDevice.h"

#include <cstddef>
#include <vector>

// The 2D path of the OpenGL device: pictures and text as quads in screen pixels, with their
// own program and samplers.
namespace platform {

class CGlScreenQuads {
  public:
    explicit CGlScreenQuads(CGlProgram program);

    // Draws the quads with the texture (none: the colour alone) tinted by the colour,
    // blended by their alpha, into the bound vertex array and stream buffer, within the
    // scissor rectangle of the states. Leaves stage 0's sampler bound again.
    void Draw(GLuint vertexArray, GLuint streamBuffer, const CGlTextureObject* texture,
              const SScreenQuad* quads, std::size_t count, D3DCOLOR color,
              const SRenderStates& states, const CGlStageSamplers& samplers, int frameWidth,
              int frameHeight);

  private:
    struct SUniforms {
        GLint screenSize, hasTexture, color, texture;
        explicit SUniforms(GLuint program);
    };

    CGlProgram m_Program;
    SUniforms m_Uniforms;
    CGlSampler m_Linear;
    CGlSampler m_Nearest; // for pictures shown texel for pixel
    std::vector<float> m_Vertices;
};

} // namespace platform
