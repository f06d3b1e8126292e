#pragma once

#include "GlFixedFunction.h"
#include "GlObjects.h"

#include <cstddef>
#include <vector>

// The opaque draws of the scene that wait to be drawn together. An opaque mesh that writes
// depth looks the same drawn in any order, so such draws wait until something
// order-dependent comes; then those that differ only in their world matrices are drawn as
// one instanced draw.
namespace platform {

struct SWaitingDraw {
    SDrawState from;
    GLenum mode;
    std::size_t indexCount;
    int startIndex;
    int baseVertex;
    D3DXMATRIX world;
};

class CGlBatch {
  public:
    CGlBatch();

    void Add(const SWaitingDraw& draw) { m_Waiting.push_back(draw); }
    bool IsEmpty() const { return m_Waiting.empty(); }
    void Clear() { m_Waiting.clear(); }
    // Draws every waiting draw, in the order each batch's first one came, and returns the
    // draw calls it made.
    std::size_t Draw(const CGlSceneProgram& program, const CGlStageSamplers& samplers,
                     GLuint vertexArray, int frameWidth, int frameHeight);

  private:
    // An instance's world matrix and its normals' matrix (the inverse's transpose), as the
    // instanced attributes read them: columns of the matrices the shader multiplies with.
    struct SInstance {
        float world[16];
        float normal[9];
    };
    static SInstance InstanceOf(const D3DXMATRIX& world);
    void DrawInstances(const SWaitingDraw& draw);

    // Room for a frame of the menu's backdrop and more: no frame allocates for them.
    static constexpr std::size_t kRoom = 2048;
    std::vector<SWaitingDraw> m_Waiting;
    std::vector<bool> m_Done;
    std::vector<SInstance> m_Instances;
    CGlBuffer m_InstanceBuffer;
};

} // namespace platform
