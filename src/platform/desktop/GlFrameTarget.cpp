#include "GlFrameTarget.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace platform {

CGlFrameTarget::CGlFrameTarget(SDL_Window* window, int width, int height)
    : m_pWindow(window), m_iWidth(width), m_iHeight(height) {
    Choose();
}

void CGlFrameTarget::Bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, m_bDirect ? 0 : m_Framebuffer.Get());
    glViewport(0, 0, m_iWidth, m_iHeight);
}

void CGlFrameTarget::Present() {
    if (m_bFrameDrawn) {
        m_bKept = !m_bDirect || (m_bKeepFrame && KeepWindowFrame());
    }
    // A frame drawn into the window is shown by the swap alone; one drawn into the
    // framebuffer, or shown again from there, is copied into the window first.
    if (m_bKept && (!m_bDirect || !m_bFrameDrawn)) {
        ShowFramebuffer();
    }
    SDL_GL_SwapWindow(m_pWindow);
    m_bFrameDrawn = false;
    m_bKeepFrame = false;
    Choose();
}

SImage CGlFrameTarget::Read() const {
    SImage image;
    image.width = m_iWidth;
    image.height = m_iHeight;
    image.pixels.resize(static_cast<std::size_t>(m_iWidth) * static_cast<std::size_t>(m_iHeight));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_bKept ? m_Framebuffer.Get() : 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, m_iWidth, m_iHeight, GL_BGRA, GL_UNSIGNED_BYTE, image.pixels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_bDirect ? 0 : m_Framebuffer.Get());
    // OpenGL's rows start at the bottom.
    const auto rowLength = static_cast<std::ptrdiff_t>(m_iWidth);
    for (int y = 0; y < m_iHeight / 2; ++y) {
        std::swap_ranges(image.pixels.begin() + y * rowLength,
                         image.pixels.begin() + (y + 1) * rowLength,
                         image.pixels.begin() + (m_iHeight - 1 - y) * rowLength);
    }
    for (std::uint32_t& pixel : image.pixels) {
        pixel |= 0xFF000000u;
    }
    return image;
}

void CGlFrameTarget::Choose() {
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GL_GetDrawableSize(m_pWindow, &windowWidth, &windowHeight);
    m_bDirect = (windowWidth == m_iWidth && windowHeight == m_iHeight) || !MakeFramebuffer();
    Bind();
}

// Made when it is first needed; false when the driver cannot make it.
bool CGlFrameTarget::MakeFramebuffer() {
    if (m_Framebuffer.Get() != 0) {
        return m_bFramebufferComplete;
    }
    GLuint name = 0;
    glGenFramebuffers(1, &name);
    m_Framebuffer = CGlFramebuffer(name);
    glGenRenderbuffers(1, &name);
    m_ColorBuffer = CGlRenderbuffer(name);
    glGenRenderbuffers(1, &name);
    m_DepthBuffer = CGlRenderbuffer(name);
    glBindRenderbuffer(GL_RENDERBUFFER, m_ColorBuffer.Get());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, m_iWidth, m_iHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, m_DepthBuffer.Get());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, m_iWidth, m_iHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer.Get());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              m_ColorBuffer.Get());
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              m_DepthBuffer.Get());
    m_bFramebufferComplete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    return m_bFramebufferComplete;
}

// Copies the frame just drawn into the window into the framebuffer, where it stays to be
// shown again (the window's buffers are the driver's after a swap) or read.
bool CGlFrameTarget::KeepWindowFrame() {
    if (!MakeFramebuffer()) {
        return false;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_Framebuffer.Get());
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlitFramebuffer(0, 0, m_iWidth, m_iHeight, 0, 0, m_iWidth, m_iHeight, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    return true;
}

// Copies the framebuffer's frame into the window, scaled to fit it with the picture's
// proportions kept, black bars beside it.
void CGlFrameTarget::ShowFramebuffer() const {
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GL_GetDrawableSize(m_pWindow, &windowWidth, &windowHeight);
    int width = windowWidth;
    int height = windowWidth * m_iHeight / std::max(m_iWidth, 1);
    if (height > windowHeight) {
        height = windowHeight;
        width = windowHeight * m_iWidth / std::max(m_iHeight, 1);
    }
    const int x = (windowWidth - width) / 2;
    const int y = (windowHeight - height) / 2;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    if (width != windowWidth || height != windowHeight) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_Framebuffer.Get());
    const bool sameSize = width == m_iWidth && height == m_iHeight;
    glBlitFramebuffer(0, 0, m_iWidth, m_iHeight, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT,
                      sameSize ? GL_NEAREST : GL_LINEAR);
}

} // namespace platform
