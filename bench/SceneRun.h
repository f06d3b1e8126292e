#pragma once

#include "FrameStats.h"
#include "InputDriver.h"
#include "platform/Clock.h"
#include "platform/headless/HeadlessWindow.h"
#include "shell/Shell.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

// How the scenes are run.
struct SSceneSettings {
    int frames = 3000; // measured frames per scene
    int warmup = 300;  // frames before them
    int playLevel = 22;
    int statisticsLevel = 1;
    const char* device = "";  // for the allocation trace's labels
    int traceAllocations = 0; // backtraces of the first allocations of each scene
};

// What the game scene went through besides its frame times.
struct SPlayNotes {
    int restarts = 0; // the level was cleared and entered anew
    double meanBlocks = 0.0;
    double meanBalls = 0.0;
    double meanParticles = 0.0;
    std::size_t maxParticles = 0;
    long launches = 0;
    int topUps = 0;
};

struct SSceneResults {
    SFrameStats menu;
    SFrameStats game;
    SFrameStats statistics;
    SPlayNotes play;
    long framesRun = 0;  // every frame, getting to the scenes and warm-up included
    int screenWidth = 0; // the size the game drew at
    int screenHeight = 0;
};

// The game started on one window as the program starts it, and driven by its frame loop
// on a manual clock, with the input of the window's script: the menu after its
// fly-in, play on a full level with an autopilot at the mouse, and the statistics panel of
// a cleared level.
class CSceneRun {
  public:
    // window is what the game draws into; script the headless window whose script feeds
    // the keyboard and the mouse (window itself, or the input half of a split window).
    CSceneRun(platform::IWindow& window, platform::CHeadlessWindow& script,
              const SSceneSettings& settings);
    ~CSceneRun();
    CSceneRun(const CSceneRun&) = delete;
    CSceneRun& operator=(const CSceneRun&) = delete;

    // False, with the reason in GetError, when a scene could not be reached or left its
    // state while it was measured.
    bool Run(SSceneResults& results);
    const std::string& GetError() const { return m_Error; }

  private:
    bool Start();
    bool MenuScene(SFrameStats& stats);
    bool PlayScene(SFrameStats& stats, SPlayNotes& notes);
    bool StatisticsScene(SFrameStats& stats);

    bool Fail(const std::string& what);
    std::string Where() const;
    platform::SHeadlessScript& Script() { return m_Script.Script(); }
    void UseFastClock(bool fast);

    // One frame of the loop (and the messages before it); measured ones are timed and
    // their allocations counted into stats.
    bool Frame(SFrameStats* stats = nullptr);
    bool Click(int button);
    bool Tap(int key);
    bool MoveCursor(int x, int y);
    template <typename Condition>
    bool RunUntil(Condition condition, const char* what, long budget);
    // Labels the scene's frames from now on and starts its records.
    void BeginMeasuring(const char* scene, SFrameStats& stats);
    // The warm-up, then the measured frames of a scene that stands still: after each,
    // still() must hold, else the run fails with lost.
    template <typename Still>
    bool MeasureStill(const char* scene, SFrameStats& stats, Still still, const char* lost);

    // From a new game's level selection into play on the level.
    bool EnterLevel(int level);
    // The autopilot's input for the next frame of play, and the balls it keeps in play.
    void Steer();
    void TopUp(SPlayNotes& notes);

    platform::IWindow& m_Window;
    platform::CHeadlessWindow& m_Script;
    SSceneSettings m_Settings;
    std::string m_Error;
    const char* m_Scene = "start-up";
    char m_Label[64] = {};
    long m_lFrames = 0;
    long m_lMeasured = 0;
    std::uint32_t m_iStepMs = 16;

    platform::CManualClock m_Clock;
    CShell m_Shell;
    CFrameLoop& m_Loop = m_Shell.GetLoop();
    CInput& m_Input = m_Shell.GetInput();
    CGame& m_Game = m_Shell.GetGame();
    CMenu& m_Menu = m_Shell.GetMenu();
    test::CInputDriver m_Driver;

    float m_fSensitivity = 1.0f;
    bool m_bLaunchPressed = false;
    std::mt19937 m_Rng{20261208};
};
