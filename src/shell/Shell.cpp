#include "Shell.h"

#include "platform/Image.h"
#include "settings/Settings.h"

#include <optional>

CShell::CShell(platform::IWindow& window, platform::IClock& clock)
    : m_Window(window),
      m_Loop({window, clock, m_Direct3D, m_Input, m_Sound, m_Game, m_Menu, m_Background}, false) {}

CShell::~CShell() {
    m_Game.Release();
}

bool CShell::Start() {
    if (const std::optional<platform::SImage> icon =
            platform::LoadPng(DataFilePath("zantor.png"))) {
        m_Window.SetIcon(*icon);
    }
    // Without a device there would be nothing to see: the rows in the log say why.
    if (!m_Direct3D.Init(&m_Window)) {
        return false;
    }
    m_Direct3D.SetClearColor(0xFF000000u);
    const int width = m_Direct3D.GetScreenWidth();
    const int height = m_Direct3D.GetScreenHeight();
    m_Input.Init(&m_Window, width, height);
    m_Sound.Init(&m_Window);
    m_Game.Init(&m_Direct3D, &m_Input, &m_Sound);
    m_Menu.Init(&m_Direct3D, &m_Input, &m_Sound, &m_Game);
    m_Background.Load("background.png", &m_Direct3D, 0);
    if (m_Background.GetWidth() > 0 && m_Background.GetHeight() > 0) {
        m_Background.SetScale(
            static_cast<float>(width) / static_cast<float>(m_Background.GetWidth()),
            static_cast<float>(height) / static_cast<float>(m_Background.GetHeight()));
    }
    m_Loop.SetShowSpeed(ReadIniInt("Options", "ShowSpeed") == 1);
    return true;
}
