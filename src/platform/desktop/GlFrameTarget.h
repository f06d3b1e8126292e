#pragma once

#include "GlObjects.h"
#include "platform/Image.h"

#include <SDL.h>

// Where the OpenGL device draws its frames, how it shows them and reads them back.
//
// A frame is drawn straight into the window when the window has the back buffer's size, as
// it has unless the player resized it or it fills the screen: presenting is then a swap and
// nothing more. Otherwise it is drawn into a framebuffer of the back buffer's size and
// scaled into the window at present, with black bars beside it. A frame that is to be shown
// again or read back is kept in that framebuffer, copied there once when it is presented.
namespace platform {

class CGlFrameTarget {
  public:
    CGlFrameTarget(SDL_Window* window, int width, int height);

    // Binds where this frame is drawn, with the whole back buffer as the viewport.
    void Bind() const;
    // Something was drawn into this frame.
    void MarkDrawn() { m_bFrameDrawn = true; }
    // The frame being drawn is kept when it is presented.
    void Keep() { m_bKeepFrame = true; }
    // Shows the frame drawn (or the frame kept, when nothing was drawn since) and chooses
    // where the next one is drawn.
    void Present();
    // The frame presented last: the kept one, or else what the window's back buffer holds
    // after the swap (on many drivers the frame itself). Opaque, rows from the top.
    SImage Read() const;

  private:
    void Choose();
    bool MakeFramebuffer();
    bool KeepWindowFrame();
    void ShowFramebuffer() const;

    SDL_Window* m_pWindow;
    int m_iWidth;
    int m_iHeight;
    CGlFramebuffer m_Framebuffer;
    CGlRenderbuffer m_ColorBuffer;
    CGlRenderbuffer m_DepthBuffer;
    bool m_bFramebufferComplete = false;
    bool m_bDirect = true;      // this frame is drawn into the window
    bool m_bFrameDrawn = false; // something was drawn since the last present
    bool m_bKeepFrame = false;  // the frame being drawn is to be kept in the framebuffer
    bool m_bKept = false;       // the frame shown last is in the framebuffer
};

} // namespace platform
