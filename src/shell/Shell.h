#pragma once

#include "FrameLoop.h"
#include "audio/Sound.h"
#include "engine/Direct3D.h"
#include "engine/Sprite.h"
#include "game/Game.h"
#include "input/Input.h"
#include "menu/Menu.h"
#include "platform/Clock.h"
#include "platform/Window.h"

// The program's objects on one window and one clock: the graphics device, input, sound, the
// game, the menu and the background, and the frame loop that runs them. The game, the tests
// and the benchmark start Zantor through it, so they all start it the same way.
class CShell {
  public:
    // The window outlives the shell.
    CShell(platform::IWindow& window, platform::IClock& clock);
    ~CShell();
    CShell(const CShell&) = delete;
    CShell& operator=(const CShell&) = delete;

    // Sets everything up in its order with the data directory's settings: the window's icon,
    // the graphics device, input, sound, the game, the menu, the background scaled to the
    // screen, and the frame-rate counter. False when there is no graphics device: log.htm says why.
    bool Start();
    // Runs the frame loop until the window's queue answers with Quit.
    void Run() { m_Loop.Run(); }
    CFrameLoop::EPass RunPass() { return m_Loop.RunPass(); }

    CFrameLoop& GetLoop() { return m_Loop; }
    CDirect3D& GetDirect3D() { return m_Direct3D; }
    CInput& GetInput() { return m_Input; }
    CSound& GetSound() { return m_Sound; }
    CGame& GetGame() { return m_Game; }
    CMenu& GetMenu() { return m_Menu; }
    const CGame& GetGame() const { return m_Game; }
    const CMenu& GetMenu() const { return m_Menu; }

  private:
    platform::IWindow& m_Window;
    CDirect3D m_Direct3D;
    CInput m_Input;
    CSound m_Sound;
    CGame m_Game;
    CMenu m_Menu;
    CSprite m_Background;
    CFrameLoop m_Loop;
};
