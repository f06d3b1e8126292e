#include "GlBatch.h"

#include "platform/D3DXMath.h"

#include <cstring>

namespace platform {
namespace {

// True when two waiting draws differ in nothing but their world matrices.
bool OneBatch(const SWaitingDraw& a, const SWaitingDraw& b) {
    return a.mode == b.mode && a.indexCount == b.indexCount && a.startIndex == b.startIndex &&
           a.baseVertex == b.baseVertex && a.from == b.from;
}

} // namespace

CGlBatch::CGlBatch() {
    m_Waiting.reserve(kRoom);
    m_Done.reserve(kRoom);
    m_Instances.reserve(kRoom);
    GLuint name = 0;
    glGenBuffers(1, &name);
    m_InstanceBuffer = CGlBuffer(name);
}

std::size_t CGlBatch::Draw(const CGlSceneProgram& program, const CGlStageSamplers& samplers,
                           GLuint vertexArray, int frameWidth, int frameHeight) {
    std::size_t drawCalls = 0;
    m_Done.assign(m_Waiting.size(), false);
    for (std::size_t first = 0; first < m_Waiting.size(); ++first) {
        if (m_Done[first]) {
            continue;
        }
        const SWaitingDraw& draw = m_Waiting[first];
        m_Instances.clear();
        for (std::size_t other = first; other < m_Waiting.size(); ++other) {
            if (!m_Done[other] && OneBatch(draw, m_Waiting[other])) {
                m_Instances.push_back(InstanceOf(m_Waiting[other].world));
                m_Done[other] = true;
            }
        }
        BindMesh(vertexArray, draw.from);
        program.Use(draw.from, draw.world, samplers, frameWidth, frameHeight);
        program.SetInstanced(true);
        DrawInstances(draw);
        program.SetInstanced(false);
        ++drawCalls;
    }
    m_Waiting.clear();
    return drawCalls;
}

CGlBatch::SInstance CGlBatch::InstanceOf(const D3DXMATRIX& world) {
    SInstance instance{};
    std::memcpy(instance.world, &world.m[0][0], sizeof instance.world);
    D3DXMATRIX inverse;
    D3DXMatrixInverse(&inverse, nullptr, &world);
    const float normal[9] = {inverse.m[0][0], inverse.m[1][0], inverse.m[2][0],
                             inverse.m[0][1], inverse.m[1][1], inverse.m[2][1],
                             inverse.m[0][2], inverse.m[1][2], inverse.m[2][2]};
    std::memcpy(instance.normal, normal, sizeof normal);
    return instance;
}

// With the mesh bound and the program in use: the instances' matrices as attributes 4 to 10,
// one set for each instance.
void CGlBatch::DrawInstances(const SWaitingDraw& draw) {
    glBindBuffer(GL_ARRAY_BUFFER, m_InstanceBuffer.Get());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_Instances.size() * sizeof(SInstance)),
                 m_Instances.data(), GL_STREAM_DRAW);
    constexpr auto kStride = static_cast<GLsizei>(sizeof(SInstance));
    for (GLuint column = 0; column < 4; ++column) {
        glEnableVertexAttribArray(4 + column);
        glVertexAttribPointer(4 + column, 4, GL_FLOAT, GL_FALSE, kStride,
                              BufferOffset(std::size_t{16} * column));
        glVertexAttribDivisor(4 + column, 1);
    }
    for (GLuint column = 0; column < 3; ++column) {
        glEnableVertexAttribArray(8 + column);
        glVertexAttribPointer(8 + column, 3, GL_FLOAT, GL_FALSE, kStride,
                              BufferOffset(offsetof(SInstance, normal) + std::size_t{12} * column));
        glVertexAttribDivisor(8 + column, 1);
    }
    glDrawElementsInstancedBaseVertex(draw.mode, static_cast<GLsizei>(draw.indexCount),
                                      GL_UNSIGNED_SHORT,
                                      BufferOffset(static_cast<std::size_t>(draw.startIndex) * 2u),
                                      static_cast<GLsizei>(m_Instances.size()), draw.baseVertex);
    for (GLuint attribute = 4; attribute < 11; ++attribute) {
        glDisableVertexAttribArray(attribute);
    }
}

} // namespace platform
