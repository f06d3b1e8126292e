#pragma once

#include "platform/Clock.h"
#include "platform/Window.h"

#include <array>
#include <cstdint>

class CDirect3D;
class CInput;
class CSound;
class CGame;
class CMenu;
class CSprite;

// What one pass of the frame loop works with.
struct SShellObjects {
    platform::IWindow& window;
    platform::IClock& clock;
    CDirect3D& direct3D;
    CInput& input;
    CSound& sound;
    CGame& game;
    CMenu& menu;
    CSprite& background;
};

// The program's one loop. A pass that takes a message from the window's queue runs no
// frame; any other pass runs one: input, sound, the global keys, the update and drawing of
// the menu or the game, the frame-rate counter, present. There is no waiting: the frame
// rate is what the device's present allows.
class CFrameLoop {
  public:
    enum class EPass { Message, Frame, Quit };

    CFrameLoop(const SShellObjects& objects, bool showSpeed);

    // Runs passes until the window's queue answers with Quit.
    void Run();
    EPass RunPass();

    // The duration of the previous frame in seconds: what the next frame's updates get.
    float GetFrameTime() const { return m_fFrameTime; }
    // The number the frame-rate counter shows.
    int GetShownSpeed() const;

  private:
    void RunFrame();
    void DrawSpeed();

    SShellObjects m_Objects;
    bool m_bShowSpeed;
    float m_fFrameTime = 0.0f;
    std::uint32_t m_FrameStart = 0;
    std::uint32_t m_FrameEnd = 0;
    std::array<float, 50> m_SpeedRing{};
    int m_iSpeedIndex = 0;
    float m_fSpeedAverage = 0.0f;
};

// Converts toward zero, saturating at the ends of int's range (and giving 0 for NaN).
int TruncToInt(float value);
