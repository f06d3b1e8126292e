#include "GraphicsDevice.h"
#include "SdlShared.h"

#include <epoxy/gl.h>

namespace platform {
namespace {

class CGlDevice final : public IGraphicsDevice {
  public:
    CGlDevice(std::shared_ptr<SSdlShared> shared, SDL_GLContext context)
        : m_Shared(std::move(shared)), m_Context(context) {
        // Frames are shown at once, without waiting for the vertical retrace. Not every
        // display can switch that (Xvfb cannot); it is only a wish.
        SDL_GL_SetSwapInterval(0);
    }
    ~CGlDevice() override { SDL_GL_DeleteContext(m_Context); }
    CGlDevice(const CGlDevice&) = delete;
    CGlDevice& operator=(const CGlDevice&) = delete;

    void Clear(std::uint32_t color, float z, std::uint32_t stencil) override {
        const auto channel = [color](int shift) {
            return static_cast<float>((color >> shift) & 0xFFu) / 255.0f;
        };
        glClearColor(channel(16), channel(8), channel(0), channel(24));
        glClearDepth(z);
        glClearStencil(static_cast<GLint>(stencil));
        // A clear reaches every pixel whatever the write masks of the drawing say.
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDepthMask(GL_TRUE);
        glStencilMask(0xFFFFFFFFu);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }
    void BeginScene() override {}
    void EndScene() override {}
    bool Present() override {
        SDL_GL_SwapWindow(m_Shared->window);
        return glGetError() != GL_OUT_OF_MEMORY;
    }

  private:
    std::shared_ptr<SSdlShared> m_Shared;
    SDL_GLContext m_Context;
};

} // namespace

std::unique_ptr<IGraphicsDevice> CreateGlDevice(std::shared_ptr<SSdlShared> shared) {
    SDL_GLContext context = SDL_GL_CreateContext(shared->window);
    if (context == nullptr) {
        return nullptr;
    }
    return std::make_unique<CGlDevice>(std::move(shared), context);
}

} // namespace platform
