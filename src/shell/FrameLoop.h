#pragma once

#include "game/ProgramState.h"
#include "platform/Clock.h"
#include "platform/Window.h"

#include <array>
#include <cstdint>
#include <string>

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
// the menu or the game, the frame-rate counter, present.
//
// A frame that is done early waits on the clock until it has lasted its shortest duration
// (ShortestFrame): with "VSync" a refresh of the display, so that frames come no faster
// than the display shows them even where presenting does not wait for it; while play is
// paused or the window cannot be seen, a tenth of a second, so that the game idles. Without
// "VSync" frames follow each other at once.
//
// While the window cannot be seen nothing is drawn. While play is paused nothing moves: a
// frame is drawn anew only when a key is down or the cursor has moved; otherwise the last
// one stays, and is only shown again (scaled anew) when the window asks to be painted.
//
// Each frame's updates get the duration of the previous frame, measured in microseconds,
// but never more than kLongestFrame: after a stall (a busy system, a suspended laptop, a
// debugger) play goes on as after a short pause instead of jumping ahead by the stall.
class CFrameLoop {
  public:
    enum class EPass { Message, Frame, Quit };
    static constexpr float kLongestFrame = 0.1f;
    // Frames a second while play is paused or the window is minimised or hidden.
    static constexpr int kIdleFrameRate = 10;
    // What a display counts as when it does not say its refresh rate.
    static constexpr int kUnknownRefreshRate = 60;

    CFrameLoop(const SShellObjects& objects, bool showSpeed);

    // Runs passes until the window's queue answers with Quit.
    void Run();
    EPass RunPass();

    // What the next frame's updates get: the duration of the previous frame in seconds, at
    // most kLongestFrame.
    float GetFrameTime() const { return m_fFrameTime; }
    // The duration of the previous frame as measured, for the frame-rate counter.
    float GetMeasuredFrameTime() const { return m_fMeasuredFrameTime; }
    // The number the frame-rate counter shows.
    int GetShownSpeed() const;
    void SetShowSpeed(bool showSpeed) { m_bShowSpeed = showSpeed; }
    // How long the frame about to end lasts at least, in microseconds: 0 when it may end
    // at once.
    std::uint64_t ShortestFrame() const;

    // Which part of the program the frames run: the menu first, then what the menu and the
    // game return; a window's close request or a failed present end it.
    int GetProgramState() const { return m_iProgramState; }
    void SetProgramState(int state) { m_iProgramState = state; }

    // How long the line of a changed volume ("Effekte: 70 %") stays after the last change.
    static constexpr float kVolumeLineTime = 1.0f;
    // The line shown now; empty when none is.
    std::string GetVolumeLine() const;

  private:
    enum class EDrawing { Draw, PresentAgain, Nothing };

    void RunFrame();
    EDrawing ChooseDrawing();
    void DrawSpeed();
    // Q/A and W/S change the volumes of the effects and of the music; a line shows the new
    // one, and when it goes the volumes are kept for the next start.
    void ChangeVolumes(float d);
    void DrawVolumeLine();

    SShellObjects m_Objects;
    bool m_bShowSpeed;
    int m_iProgramState = PROGRAM_MENU;
    float m_fFrameTime = 0.0f;
    float m_fMeasuredFrameTime = 0.0f;
    std::uint64_t m_FrameStart = 0;
    std::uint64_t m_FrameEnd = 0;
    std::array<float, 50> m_SpeedRing{};
    int m_iSpeedIndex = 0;
    float m_fSpeedAverage = 0.0f;
    bool m_bPausedDrawn = false; // a frame has been drawn since play was paused
    bool m_bRepaint = false;     // the window has asked to be painted since the last frame
    int m_iDrawnMouseX = 0;      // where the cursor was in the frame drawn last
    int m_iDrawnMouseY = 0;
    float m_fVolumeLineLeft = 0.0f; // seconds the volume line stays
    float m_fEffectsCarry = 0.0f;   // the part of a volume step held over to the next frame
    float m_fMusicCarry = 0.0f;
    bool m_bMusicLine = false;      // the line is the music's, else the effects'
    bool m_bVolumeLineGone = false; // the line went since the last frame drawn
    bool m_bVolumeColorRead = false;
    std::uint32_t m_VolumeColor = 0;
};
