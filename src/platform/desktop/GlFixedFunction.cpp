#include "GlFixedFunction.h"

#include "platform/D3DXMath.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace platform {
namespace {

GLenum BlendFactor(std::uint32_t blend) {
    switch (blend) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_BLENDFACTOR:
        return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR:
        return GL_ONE_MINUS_CONSTANT_COLOR;
    default:
        return GL_ONE;
    }
}

void Uniform(GLint location, const D3DCOLORVALUE& color) {
    glUniform4f(location, color.r, color.g, color.b, color.a);
}

} // namespace

void SRenderStates::Set(D3DRENDERSTATETYPE state, std::uint32_t value) {
    switch (state) {
    case D3DRS_ZENABLE:
        zEnable = value != 0;
        break;
    case D3DRS_ZWRITEENABLE:
        zWrite = value != 0;
        break;
    case D3DRS_SRCBLEND:
        srcBlend = value;
        break;
    case D3DRS_DESTBLEND:
        destBlend = value;
        break;
    case D3DRS_CULLMODE:
        cullMode = value;
        break;
    case D3DRS_ALPHABLENDENABLE:
        alphaBlend = value != 0;
        break;
    case D3DRS_SPECULARENABLE:
        specular = value != 0;
        break;
    case D3DRS_LIGHTING:
        lighting = value != 0;
        break;
    case D3DRS_AMBIENT:
        ambient = value;
        break;
    case D3DRS_NORMALIZENORMALS:
        break; // normals are always normalised
    case D3DRS_BLENDFACTOR:
        blendFactor = value;
        break;
    case D3DRS_SCISSORTESTENABLE:
        scissor = value != 0;
        break;
    }
}

D3DCOLORVALUE ColorValue(D3DCOLOR color) {
    return D3DCOLORVALUE{static_cast<float>((color >> 16) & 0xFFu) / 255.0f,
                         static_cast<float>((color >> 8) & 0xFFu) / 255.0f,
                         static_cast<float>(color & 0xFFu) / 255.0f,
                         static_cast<float>(color >> 24) / 255.0f};
}

// OpenGL's window coordinates have their rows start at the bottom.
void ApplyScissor(const SRenderStates& states, int frameHeight) {
    if (!states.scissor) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    const SRect& r = states.scissorRect;
    glEnable(GL_SCISSOR_TEST);
    glScissor(r.left, frameHeight - r.bottom, std::max(r.right - r.left, 0),
              std::max(r.bottom - r.top, 0));
}

void SetVertexLayout(std::uint32_t fvf, std::size_t stride, std::size_t base) {
    for (GLuint attribute = 0; attribute < 4; ++attribute) {
        glDisableVertexAttribArray(attribute);
    }
    const auto glStride = static_cast<GLsizei>(stride);
    std::size_t offset = base;
    glEnableVertexAttribArray(0);
    if ((fvf & D3DFVF_XYZRHW) != 0) {
        glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, glStride, BufferOffset(offset));
        offset += 16;
    } else {
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, glStride, BufferOffset(offset));
        offset += 12;
    }
    if ((fvf & D3DFVF_NORMAL) != 0) {
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, glStride, BufferOffset(offset));
        offset += 12;
    } else {
        glVertexAttrib3f(1, 0.0f, 0.0f, 0.0f);
    }
    if ((fvf & D3DFVF_DIFFUSE) != 0) {
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, glStride,
                              BufferOffset(offset));
        offset += 4;
    }
    if ((fvf & D3DFVF_TEX1) != 0) {
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, glStride, BufferOffset(offset));
    } else {
        glVertexAttrib2f(2, 0.0f, 0.0f);
    }
}

void BindMesh(GLuint vertexArray, const SDrawState& draw) {
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, draw.stream->Name());
    SetVertexLayout(draw.fvf, draw.streamStride, draw.streamOffset);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, draw.indices->Name());
}

CGlStageSamplers::CGlStageSamplers() {
    for (int stage = 0; stage < 2; ++stage) {
        GLuint name = 0;
        glGenSamplers(1, &name);
        m_Samplers[static_cast<std::size_t>(stage)] = CGlSampler(name);
        Apply(stage);
    }
}

void CGlStageSamplers::Set(int stage, D3DSAMPLERSTATETYPE state, std::uint32_t value) {
    if (stage < 0 || stage > 1) {
        return;
    }
    SFilters& filters = m_Filters[static_cast<std::size_t>(stage)];
    switch (state) {
    case D3DSAMP_MAGFILTER:
        filters.mag = value;
        break;
    case D3DSAMP_MINFILTER:
        filters.min = value;
        break;
    case D3DSAMP_MIPFILTER:
        filters.mip = value;
        break;
    }
    Apply(stage);
}

void CGlStageSamplers::Apply(int stage) {
    const SFilters& s = m_Filters[static_cast<std::size_t>(stage)];
    const bool linear = s.min == D3DTEXF_LINEAR || s.min == D3DTEXF_ANISOTROPIC;
    GLint min = linear ? GL_LINEAR : GL_NEAREST;
    if (s.mip == D3DTEXF_POINT) {
        min = linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    } else if (s.mip == D3DTEXF_LINEAR || s.mip == D3DTEXF_ANISOTROPIC) {
        min = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
    const GLint mag = s.mag == D3DTEXF_POINT || s.mag == D3DTEXF_NONE ? GL_NEAREST : GL_LINEAR;
    const GLuint sampler = Get(stage);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, min);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, mag);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

CGlSceneProgram::SUniforms::SUniforms(GLuint p)
    : instanced(glGetUniformLocation(p, "uInstanced")), world(glGetUniformLocation(p, "uWorld")),
      view(glGetUniformLocation(p, "uView")), projection(glGetUniformLocation(p, "uProjection")),
      normalMatrix(glGetUniformLocation(p, "uNormalMatrix")),
      preTransformed(glGetUniformLocation(p, "uPreTransformed")),
      hasColor(glGetUniformLocation(p, "uHasColor")),
      screenSize(glGetUniformLocation(p, "uScreenSize")),
      lighting(glGetUniformLocation(p, "uLighting")),
      specular(glGetUniformLocation(p, "uSpecular")),
      materialDiffuse(glGetUniformLocation(p, "uMaterialDiffuse")),
      materialAmbient(glGetUniformLocation(p, "uMaterialAmbient")),
      materialSpecular(glGetUniformLocation(p, "uMaterialSpecular")),
      materialEmissive(glGetUniformLocation(p, "uMaterialEmissive")),
      materialPower(glGetUniformLocation(p, "uMaterialPower")),
      lightEnabled(glGetUniformLocation(p, "uLightEnabled")),
      lightPosition(glGetUniformLocation(p, "uLightPosition")),
      lightDiffuse(glGetUniformLocation(p, "uLightDiffuse")),
      lightAmbient(glGetUniformLocation(p, "uLightAmbient")),
      lightSpecular(glGetUniformLocation(p, "uLightSpecular")),
      lightRange(glGetUniformLocation(p, "uLightRange")),
      attenuation(glGetUniformLocation(p, "uAttenuation")),
      globalAmbient(glGetUniformLocation(p, "uGlobalAmbient")),
      eye(glGetUniformLocation(p, "uEye")), hasTexture0(glGetUniformLocation(p, "uHasTexture0")),
      hasTexture1(glGetUniformLocation(p, "uHasTexture1")),
      stage1Modulate(glGetUniformLocation(p, "uStage1Modulate")),
      texture0(glGetUniformLocation(p, "uTexture0")),
      texture1(glGetUniformLocation(p, "uTexture1")) {}

CGlSceneProgram::CGlSceneProgram(CGlProgram program)
    : m_Program(std::move(program)), m_Uniforms(m_Program.Get()) {}

void CGlSceneProgram::Use(const SDrawState& draw, const D3DXMATRIX& world,
                          const CGlStageSamplers& samplers, int frameWidth, int frameHeight) const {
    const SRenderStates& states = draw.states;
    const SUniforms& u = m_Uniforms;
    ApplyScissor(states, frameHeight);
    glUseProgram(m_Program.Get());
    if (states.zEnable) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(states.zWrite ? GL_TRUE : GL_FALSE);
    if (states.alphaBlend) {
        glEnable(GL_BLEND);
        glBlendFunc(BlendFactor(states.srcBlend), BlendFactor(states.destBlend));
        const D3DCOLORVALUE factor = ColorValue(states.blendFactor);
        glBlendColor(factor.r, factor.g, factor.b, factor.a);
    } else {
        glDisable(GL_BLEND);
    }
    // Direct3D's front faces turn clockwise on the screen.
    if (states.cullMode == D3DCULL_NONE) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(states.cullMode == D3DCULL_CCW ? GL_CW : GL_CCW);
    }

    glUniformMatrix4fv(u.world, 1, GL_FALSE, &world.m[0][0]);
    glUniformMatrix4fv(u.view, 1, GL_FALSE, &draw.view.m[0][0]);
    glUniformMatrix4fv(u.projection, 1, GL_FALSE, &draw.projection.m[0][0]);
    // Normals turn with the inverse transpose of the world matrix.
    D3DXMATRIX inverse;
    D3DXMatrixInverse(&inverse, nullptr, &world);
    const float normalMatrix[9] = {inverse.m[0][0], inverse.m[1][0], inverse.m[2][0],
                                   inverse.m[0][1], inverse.m[1][1], inverse.m[2][1],
                                   inverse.m[0][2], inverse.m[1][2], inverse.m[2][2]};
    glUniformMatrix3fv(u.normalMatrix, 1, GL_FALSE, normalMatrix);
    glUniform1i(u.preTransformed, (draw.fvf & D3DFVF_XYZRHW) != 0);
    glUniform1i(u.hasColor, (draw.fvf & D3DFVF_DIFFUSE) != 0);
    glUniform2f(u.screenSize, static_cast<float>(frameWidth), static_cast<float>(frameHeight));
    glUniform1i(u.lighting, states.lighting);
    glUniform1i(u.specular, states.specular);
    Uniform(u.materialDiffuse, draw.material.Diffuse);
    Uniform(u.materialAmbient, draw.material.Ambient);
    Uniform(u.materialSpecular, draw.material.Specular);
    Uniform(u.materialEmissive, draw.material.Emissive);
    glUniform1f(u.materialPower, draw.material.Power);
    const D3DLIGHT9& light = draw.light;
    glUniform1i(u.lightEnabled, draw.lightEnabled);
    glUniform3f(u.lightPosition, light.Position.x, light.Position.y, light.Position.z);
    Uniform(u.lightDiffuse, light.Diffuse);
    Uniform(u.lightAmbient, light.Ambient);
    Uniform(u.lightSpecular, light.Specular);
    glUniform1f(u.lightRange, light.Range);
    glUniform3f(u.attenuation, light.Attenuation0, light.Attenuation1, light.Attenuation2);
    Uniform(u.globalAmbient, ColorValue(states.ambient));
    glUniform3f(u.eye, draw.eye.x, draw.eye.y, draw.eye.z);

    for (int stage = 0; stage < 2; ++stage) {
        const CGlTextureObject* texture = draw.textures[static_cast<std::size_t>(stage)];
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + stage));
        glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->Name() : 0);
        glBindSampler(static_cast<GLuint>(stage), samplers.Get(stage));
    }
    glActiveTexture(GL_TEXTURE0);
    glUniform1i(u.texture0, 0);
    glUniform1i(u.texture1, 1);
    glUniform1i(u.hasTexture0, draw.textures[0] != nullptr);
    glUniform1i(u.hasTexture1, draw.textures[1] != nullptr);
    glUniform1i(u.stage1Modulate, states.stage1Modulate);
}

} // namespace platform
