#pragma once

#include "platform/GraphicsDevice.h"

#include <epoxy/gl.h>

#include <cstddef>
#include <memory>
#include <utility>

// The OpenGL objects of the graphics device: names that delete themselves, and the
// textures and buffers the device hands out.
namespace platform {

// A GL object name with the function that deletes it.
template <void (*Delete)(GLuint)>
class CGlName {
  public:
    CGlName() = default;
    explicit CGlName(GLuint name) : m_Name(name) {}
    ~CGlName() {
        if (m_Name != 0) {
            Delete(m_Name);
        }
    }
    CGlName(const CGlName&) = delete;
    CGlName& operator=(const CGlName&) = delete;
    CGlName(CGlName&& other) noexcept : m_Name(std::exchange(other.m_Name, 0)) {}
    CGlName& operator=(CGlName&& other) noexcept {
        std::swap(m_Name, other.m_Name);
        return *this;
    }
    GLuint Get() const { return m_Name; }

  private:
    GLuint m_Name = 0;
};

inline void DeleteBuffer(GLuint name) {
    glDeleteBuffers(1, &name);
}
inline void DeleteTexture(GLuint name) {
    glDeleteTextures(1, &name);
}
inline void DeleteProgram(GLuint name) {
    glDeleteProgram(name);
}
inline void DeleteVertexArray(GLuint name) {
    glDeleteVertexArrays(1, &name);
}
inline void DeleteFramebuffer(GLuint name) {
    glDeleteFramebuffers(1, &name);
}
inline void DeleteRenderbuffer(GLuint name) {
    glDeleteRenderbuffers(1, &name);
}
inline void DeleteSampler(GLuint name) {
    glDeleteSamplers(1, &name);
}

using CGlBuffer = CGlName<DeleteBuffer>;
using CGlTexture = CGlName<DeleteTexture>;
using CGlProgram = CGlName<DeleteProgram>;
using CGlVertexArray = CGlName<DeleteVertexArray>;
using CGlFramebuffer = CGlName<DeleteFramebuffer>;
using CGlRenderbuffer = CGlName<DeleteRenderbuffer>;
using CGlSampler = CGlName<DeleteSampler>;

// An offset into the bound buffer, as OpenGL takes it: in a pointer.
inline const void* BufferOffset(std::size_t offset) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): GL takes buffer offsets as pointers
    return reinterpret_cast<const void*>(offset);
}

// The draws that wait in the device, as the objects it made see them: an object that goes
// away has them drawn first, since they may use it. The device unlinks itself when it goes.
class IWaitingDraws {
  public:
    virtual void DrawWaiting() = 0;

  protected:
    ~IWaitingDraws() = default;
};
struct SDeviceLink {
    IWaitingDraws* device = nullptr;
};
// The last member of an object the device made, so that it goes first.
class CDrawWaitingFirst {
  public:
    explicit CDrawWaitingFirst(std::shared_ptr<SDeviceLink> link) : m_Link(std::move(link)) {}
    ~CDrawWaitingFirst() {
        if (m_Link && m_Link->device != nullptr) {
            m_Link->device->DrawWaiting();
        }
    }
    CDrawWaitingFirst(const CDrawWaitingFirst&) = delete;
    CDrawWaitingFirst& operator=(const CDrawWaitingFirst&) = delete;

  private:
    std::shared_ptr<SDeviceLink> m_Link;
};

class CGlTextureObject final : public ITexture {
  public:
    CGlTextureObject(CGlTexture name, int width, int height, int levels, bool opaque,
                     std::shared_ptr<SDeviceLink> link)
        : m_Name(std::move(name)), m_iWidth(width), m_iHeight(height), m_iLevels(levels),
          m_bOpaque(opaque), m_DrawWaitingFirst(std::move(link)) {}
    int GetWidth() const override { return m_iWidth; }
    int GetHeight() const override { return m_iHeight; }
    int GetLevelCount() const override { return m_iLevels; }
    GLuint Name() const { return m_Name.Get(); }
    // True when every texel's alpha is full: blending it in changes nothing.
    bool IsOpaque() const { return m_bOpaque; }

  private:
    CGlTexture m_Name;
    int m_iWidth;
    int m_iHeight;
    int m_iLevels;
    bool m_bOpaque;
    CDrawWaitingFirst m_DrawWaitingFirst;
};

class CGlVertexBuffer final : public IVertexBuffer {
  public:
    CGlVertexBuffer(CGlBuffer name, std::size_t size, std::shared_ptr<SDeviceLink> link)
        : m_Name(std::move(name)), m_Size(size), m_DrawWaitingFirst(std::move(link)) {}
    std::size_t GetSize() const override { return m_Size; }
    GLuint Name() const { return m_Name.Get(); }

  private:
    CGlBuffer m_Name;
    std::size_t m_Size;
    CDrawWaitingFirst m_DrawWaitingFirst;
};

class CGlIndexBuffer final : public IIndexBuffer {
  public:
    CGlIndexBuffer(CGlBuffer name, std::size_t count, std::shared_ptr<SDeviceLink> link)
        : m_Name(std::move(name)), m_Count(count), m_DrawWaitingFirst(std::move(link)) {}
    std::size_t GetCount() const override { return m_Count; }
    GLuint Name() const { return m_Name.Get(); }

  private:
    CGlBuffer m_Name;
    std::size_t m_Count;
    CDrawWaitingFirst m_DrawWaitingFirst;
};

} // namespace platform
