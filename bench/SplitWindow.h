#pragma once

#include "platform/Window.h"
#include "platform/headless/HeadlessWindow.h"

#include <memory>
#include <string>
#include <vector>

// A window that draws on the screen but takes its input from a script and plays silently:
// the graphics device, the display and the desktop are the real window's, the keyboard, the
// mouse and the sound device the headless window's. The game thus draws through the real
// OpenGL device while the bench steers it as a test does, and no music thread runs.
class CSplitWindow final : public platform::IWindow {
  public:
    CSplitWindow(platform::IWindow& screen, platform::CHeadlessWindow& script)
        : m_Screen(screen), m_Script(script) {}

    // The screen's queue first (so that the desktop's events are taken), then the script's.
    bool PeekMessage(platform::SMessage& message) override {
        return m_Screen.PeekMessage(message) || m_Script.PeekMessage(message);
    }
    void Destroy() override {
        m_Screen.Destroy();
        m_Script.Destroy();
    }
    bool IsDestroyed() const override { return m_Screen.IsDestroyed(); }
    void SetIcon(const platform::SImage& icon) override { m_Screen.SetIcon(icon); }
    int GetWidth() const override { return m_Screen.GetWidth(); }
    int GetHeight() const override { return m_Screen.GetHeight(); }
    std::vector<platform::SDisplayMode> GetDisplayModes() const override {
        return m_Screen.GetDisplayModes();
    }
    std::string GetAdapterDescription() const override { return m_Screen.GetAdapterDescription(); }
    int GetDesktopWidth() const override { return m_Screen.GetDesktopWidth(); }
    int GetDesktopHeight() const override { return m_Screen.GetDesktopHeight(); }
    std::unique_ptr<platform::IGraphicsDevice>
    CreateDevice(const platform::SPresentParameters& parameters, std::string& error) override {
        return m_Screen.CreateDevice(parameters, error);
    }
    std::unique_ptr<platform::IDirectSound> CreateSoundDevice(std::string& error) override {
        return m_Script.CreateSoundDevice(error);
    }
    std::unique_ptr<platform::IKeyboardDevice> CreateKeyboard() override {
        return m_Script.CreateKeyboard();
    }
    std::unique_ptr<platform::IMouseDevice> CreateMouse() override {
        return m_Script.CreateMouse();
    }
    std::unique_ptr<platform::IControllerDevice> CreateController() override {
        return m_Script.CreateController();
    }

  private:
    platform::IWindow& m_Screen;
    platform::CHeadlessWindow& m_Script;
};
