#include "GlScreenQuads.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {
namespace {

// A sampler for pictures: filtered as given, clamped at the edges.
CGlSampler PictureSampler(GLint filter) {
    GLuint name = 0;
    glGenSamplers(1, &name);
    CGlSampler sampler(name);
    glSamplerParameteri(name, GL_TEXTURE_MIN_FILTER, filter);
    glSamplerParameteri(name, GL_TEXTURE_MAG_FILTER, filter);
    glSamplerParameteri(name, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(name, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return sampler;
}

// True when the quad shows the texture's texels one for one on whole pixels, upright:
// sampling the nearest texel then gives exactly what filtering would, for less work.
bool IsTexelForPixel(const SScreenQuad& quad, int textureWidth, int textureHeight) {
    const SScreenVertex& a = quad.corners[0]; // top left
    const SScreenVertex& b = quad.corners[1]; // top right
    const SScreenVertex& c = quad.corners[2]; // bottom left
    const SScreenVertex& d = quad.corners[3]; // bottom right
    const auto whole = [](float value) { return value == std::floor(value); };
    const float w = static_cast<float>(textureWidth);
    const float h = static_cast<float>(textureHeight);
    return a.y == b.y && c.y == d.y && a.x == c.x && b.x == d.x && a.v == b.v && c.v == d.v &&
           a.u == c.u && b.u == d.u && whole(a.x) && whole(a.y) && whole(a.u * w) &&
           whole(a.v * h) && b.x - a.x == (b.u - a.u) * w && c.y - a.y == (c.v - a.v) * h &&
           b.x > a.x && c.y > a.y;
}

} // namespace

CGlScreenQuads::SUniforms::SUniforms(GLuint p)
    : screenSize(glGetUniformLocation(p, "uScreenSize")),
      hasTexture(glGetUniformLocation(p, "uHasTexture")), color(glGetUniformLocation(p, "uColor")),
      texture(glGetUniformLocation(p, "uTexture")) {}

CGlScreenQuads::CGlScreenQuads(CGlProgram program)
    : m_Program(std::move(program)), m_Uniforms(m_Program.Get()),
      m_Linear(PictureSampler(GL_LINEAR)), m_Nearest(PictureSampler(GL_NEAREST)) {}

void CGlScreenQuads::Draw(GLuint vertexArray, GLuint streamBuffer, const CGlTextureObject* texture,
                          const SScreenQuad* quads, std::size_t count, D3DCOLOR color,
                          const SRenderStates& states, const CGlStageSamplers& samplers,
                          int frameWidth, int frameHeight) {
    ApplyScissor(states, frameHeight);
    m_Vertices.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const SScreenVertex* c = quads[i].corners;
        for (const int corner : {0, 1, 2, 1, 3, 2}) {
            const SScreenVertex& v = c[corner];
            m_Vertices.insert(m_Vertices.end(), {v.x, v.y, v.u, v.v});
        }
    }
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, streamBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_Vertices.size() * sizeof(float)),
                 m_Vertices.data(), GL_STREAM_DRAW);
    for (GLuint attribute = 0; attribute < 4; ++attribute) {
        glDisableVertexAttribArray(attribute);
    }
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 16, BufferOffset(8));

    glUseProgram(m_Program.Get());
    glUniform2f(m_Uniforms.screenSize, static_cast<float>(frameWidth),
                static_cast<float>(frameHeight));
    const D3DCOLORVALUE tint = ColorValue(color);
    glUniform4f(m_Uniforms.color, tint.r, tint.g, tint.b, tint.a);
    glUniform1i(m_Uniforms.hasTexture, texture != nullptr);
    glUniform1i(m_Uniforms.texture, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->Name() : 0);
    const bool texelForPixel =
        texture != nullptr && std::all_of(quads, quads + count, [texture](const SScreenQuad& q) {
            return IsTexelForPixel(q, texture->GetWidth(), texture->GetHeight());
        });
    glBindSampler(0, texelForPixel ? m_Nearest.Get() : m_Linear.Get());
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    // Pictures are blended by their alpha; for an opaque picture in a colour of full alpha
    // that gives the picture itself, and drawing it unblended is cheaper.
    if (texture != nullptr && texture->IsOpaque() && (color >> 24) == 0xFFu) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count * 6));
    glBindSampler(0, samplers.Get(0));
}

} // namespace platform
