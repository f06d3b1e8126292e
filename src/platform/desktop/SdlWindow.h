#pragma once

#include "platform/Window.h"

#include <memory>
#include <string>

namespace platform {

struct SSdlShared;

// The game's window on the desktop: SDL2 with an OpenGL 3.3 core context for the graphics
// device. SDL turns SIGTERM and SIGINT into a close request, as it does the close box. The
// window may be resized and maximised, and Alt+Enter or F11 switch it between a window and
// the full screen at the desktop's resolution; the picture keeps the back buffer's size and
// is scaled to fit, with black bars where the proportions differ.
class CSdlWindow final : public IWindow {
  public:
    // Null, with the reason in error, when there is no display or no window can be made.
    static std::unique_ptr<CSdlWindow> Create(const char* title, int width, int height,
                                              std::string& error);
    ~CSdlWindow() override;
    CSdlWindow(const CSdlWindow&) = delete;
    CSdlWindow& operator=(const CSdlWindow&) = delete;

    bool PeekMessage(SMessage& message) override;
    void Destroy() override;
    bool IsDestroyed() const override { return m_bDestroyed; }
    void SetIcon(const SImage& icon) override;
    int GetWidth() const override;
    int GetHeight() const override;
    bool IsHidden() const override;
    bool HasFocus() const override;
    int GetRefreshRate() const override;
    bool IsFullScreen() const;
    void ToggleFullScreen();
    std::vector<SDisplayMode> GetDisplayModes() const override;
    std::string GetAdapterDescription() const override;
    int GetDesktopWidth() const override;
    int GetDesktopHeight() const override;
    std::unique_ptr<IGraphicsDevice> CreateDevice(const SPresentParameters& parameters,
                                                  std::string& error) override;
    std::unique_ptr<IDirectSound> CreateSoundDevice(std::string& error) override;
    std::unique_ptr<IKeyboardDevice> CreateKeyboard() override;
    std::unique_ptr<IMouseDevice> CreateMouse() override;
    std::unique_ptr<IControllerDevice> CreateController() override;

    // Use Create; the window takes over what Create set up.
    explicit CSdlWindow(std::shared_ptr<SSdlShared> shared);

  private:
    std::shared_ptr<SSdlShared> m_Shared;
    bool m_bDestroyed = false;
    bool m_bQuitPosted = false;
};

} // namespace platform
