#include "shell/FrameLoop.h"
#include "TestSupport.h"
#include "audio/Sound.h"
#include "platform/Numeric.h"
#include "platform/SoundDevice.h"
#include "platform/headless/HeadlessWindow.h"
#include "settings/Settings.h"
#include "shell/Shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The game started on a headless window and a test clock, with the tests' settings and no
// data directory: the menu has no pictures, and the frames draw no background.
class FrameLoop : public ::testing::Test {
  protected:
    FrameLoop() : m_Window(1024, 768), m_Shell(m_Window, m_Clock) {
        test::CopyTestSettings();
        m_bStarted = m_Shell.Start();
        Trace().clear();
    }

    CFrameLoop& MakeLoop(bool showSpeed) {
        EXPECT_TRUE(m_bStarted);
        m_Shell.GetLoop().SetShowSpeed(showSpeed);
        return m_Shell.GetLoop();
    }
    std::vector<std::string>& Trace() { return m_Window.Script().trace; }
    long Presents() { return std::count(Trace().begin(), Trace().end(), "Present"); }

    test::CScratchDir m_Dir; // the loop's log rows and files go here
    platform::CHeadlessWindow m_Window;
    platform::CManualClock m_Clock;
    CShell m_Shell;
    bool m_bStarted = false;
};

TEST_F(FrameLoop, FirstFrameGetsZeroAndEachFrameItsPredecessorsDuration) {
    CFrameLoop& loop = MakeLoop(false);
    m_Clock.Script({1000000, 1016000, 1016000, 1049000});
    EXPECT_EQ(loop.GetFrameTime(), 0.0f);
    EXPECT_EQ(loop.RunPass(), CFrameLoop::EPass::Frame);
    EXPECT_FLOAT_EQ(loop.GetFrameTime(), 0.016f);
    EXPECT_EQ(loop.RunPass(), CFrameLoop::EPass::Frame);
    EXPECT_FLOAT_EQ(loop.GetFrameTime(), 0.033f);
}

TEST_F(FrameLoop, FrameDrawsClearSceneAndPresentInOrder) {
    CFrameLoop& loop = MakeLoop(false);
    loop.RunPass();
    EXPECT_EQ(Trace(), (std::vector<std::string>{"Clear FF000000 1 0", "BeginScene", "EndScene",
                                                 "Present"}));
}

TEST_F(FrameLoop, PlayPausesByItselfBehindAnotherWindowAndStaysPaused) {
    CFrameLoop& loop = MakeLoop(false);
    CGame& game = m_Shell.GetGame();
    game.NewGame();
    loop.SetProgramState(PROGRAM_GAME);
    loop.RunPass();
    EXPECT_FALSE(game.IsPaused());
    // The keyboard focus goes to another window: paused, and still paused when it returns.
    m_Window.Script().inForeground = false;
    loop.RunPass();
    EXPECT_TRUE(game.IsPaused());
    m_Window.Script().inForeground = true;
    loop.RunPass();
    loop.RunPass();
    EXPECT_TRUE(game.IsPaused());
    // P goes on; minimised, it pauses again.
    m_Window.Script().keys[DIK_P] = 0x80;
    loop.RunPass();
    m_Window.Script().keys[DIK_P] = 0;
    EXPECT_FALSE(game.IsPaused());
    m_Window.Script().hidden = true;
    loop.RunPass();
    EXPECT_TRUE(game.IsPaused());
    // The menu goes on behind another window: only play pauses.
    m_Window.Script().hidden = false;
    loop.SetProgramState(PROGRAM_MENU);
    m_Window.Script().inForeground = false;
    EXPECT_EQ(loop.RunPass(), CFrameLoop::EPass::Frame);
    EXPECT_EQ(loop.GetProgramState(), PROGRAM_MENU);
}

TEST_F(FrameLoop, UnpluggingTheControllerInPlayPausesAndStartGoesOn) {
    CFrameLoop& loop = MakeLoop(false);
    CGame& game = m_Shell.GetGame();
    platform::SControllerState& pad = m_Window.Script().controller;
    std::uint8_t& start = pad.buttons[static_cast<std::size_t>(platform::EPadButton::Start)];
    pad.connected = true;
    game.NewGame();
    loop.SetProgramState(PROGRAM_GAME);
    loop.RunPass();
    pad.connected = false;
    loop.RunPass();
    EXPECT_TRUE(game.IsPaused());
    loop.RunPass();
    EXPECT_TRUE(game.IsPaused()); // plugged in again, it waits for the player
    pad.connected = true;
    loop.RunPass();
    EXPECT_TRUE(game.IsPaused());
    start = 0x80;
    loop.RunPass();
    start = 0;
    loop.RunPass();
    EXPECT_FALSE(game.IsPaused());
    // Unplugged in the menu, nothing waits for play to begin.
    loop.SetProgramState(PROGRAM_MENU);
    pad.connected = false;
    loop.RunPass();
    loop.SetProgramState(PROGRAM_GAME);
    loop.RunPass();
    EXPECT_FALSE(game.IsPaused());
}

TEST_F(FrameLoop, AVolumeLineShowsForASecondThenTheVolumesAreKept) {
    CFrameLoop& loop = MakeLoop(false);
    m_Clock.Set(1000000);
    m_Clock.SetStepPerReading(25000); // frames of about 50 ms
    // Runs frames for the seconds given, as the loop measured them.
    const auto run = [&loop](float seconds) {
        for (float passed = 0.0f; passed < seconds; passed += loop.GetMeasuredFrameTime()) {
            loop.RunPass();
        }
    };
    EXPECT_EQ(loop.GetVolumeLine(), "");
    m_Window.Script().keys[DIK_A] = 0x80; // the effects quieter for a third of a second
    run(0.33f);
    m_Window.Script().keys[DIK_A] = 0;
    const int volume = m_Shell.GetSound().GetVolume();
    EXPECT_LT(volume, -200);
    EXPECT_GT(volume, -500);
    EXPECT_EQ(loop.GetVolumeLine(), "Effekte: " + std::to_string(VolumePercent(volume)) + " %");
    run(0.8f);
    EXPECT_NE(loop.GetVolumeLine(), "");
    EXPECT_EQ(ReadIniIntOr("Options", "Effektlautstaerke", 1), 1); // not kept yet
    run(0.3f);
    EXPECT_EQ(loop.GetVolumeLine(), "");
    EXPECT_EQ(ReadIniIntOr("Options", "Effektlautstaerke", 1), volume);
    EXPECT_EQ(ReadIniIntOr("Options", "Musiklautstaerke", 1), 0);

    // The music's line; and the next start takes both volumes.
    m_Window.Script().keys[DIK_W] = 0x80;
    loop.RunPass();
    m_Window.Script().keys[DIK_W] = 0;
    EXPECT_EQ(loop.GetVolumeLine(), "Musik: 100 %");
    CSound next;
    next.Init(&m_Window);
    EXPECT_EQ(next.GetVolume(), volume);
    EXPECT_EQ(next.GetMusicVolume(), 0);
}

TEST(Volume, PercentOfTheRangeFromSilentToFull) {
    EXPECT_EQ(VolumePercent(0), 100);
    EXPECT_EQ(VolumePercent(-10000), 0);
    EXPECT_EQ(VolumePercent(-3000), 70);
    EXPECT_EQ(VolumePercent(-3049), 70);
    EXPECT_EQ(VolumePercent(-20000), 0); // kept in the range
    EXPECT_EQ(VolumePercent(500), 100);
}

TEST_F(FrameLoop, FramesAreMeasuredToTheMicrosecond) {
    // Frames of a fast graphics card: 0.4 ms and 1.7 ms, not 0 and 1 (or 2).
    CFrameLoop& loop = MakeLoop(false);
    m_Clock.Script({5000, 5400, 5400, 7100});
    loop.RunPass();
    EXPECT_FLOAT_EQ(loop.GetFrameTime(), 0.0004f);
    loop.RunPass();
    EXPECT_FLOAT_EQ(loop.GetFrameTime(), 0.0017f);
}

TEST_F(FrameLoop, AStallCountsAsTheLongestFrameButShowsAsItWas) {
    CFrameLoop& loop = MakeLoop(false);
    m_Clock.Script({0, 3000000, 3000000, 3100000, 3100000, 3100001});
    loop.RunPass(); // held up for 3 s
    EXPECT_EQ(loop.GetFrameTime(), CFrameLoop::kLongestFrame);
    EXPECT_FLOAT_EQ(loop.GetMeasuredFrameTime(), 3.0f);
    loop.RunPass(); // exactly the longest frame
    EXPECT_FLOAT_EQ(loop.GetFrameTime(), 0.1f);
    loop.RunPass();
    EXPECT_FLOAT_EQ(loop.GetFrameTime(), 0.000001f);
}

TEST_F(FrameLoop, ScreenshotIsOfTheFrameDrawnAndSavingItDoesNotCount) {
    CFrameLoop& loop = MakeLoop(false);
    m_Window.Script().keys[DIK_E] = 0x80;
    // Start, before and after saving, end: 300 ms of which saving took 250.
    m_Clock.Script({100000, 130000, 380000, 400000});
    Trace().clear();
    loop.RunPass();
    EXPECT_FLOAT_EQ(loop.GetFrameTime(), 0.050f);
    const auto kept = std::find(Trace().begin(), Trace().end(), "KeepFrame");
    ASSERT_NE(kept, Trace().end()) << "the frame is kept for the screenshot";
    EXPECT_EQ(std::find(kept, Trace().end(), "Present") - kept, 1);
    EXPECT_TRUE(std::filesystem::exists("Standard/Screenshot.bmp") ||
                std::filesystem::exists("Screenshot.bmp"));
    // Held down, the key takes no second screenshot: the clock is read twice.
    m_Clock.Script({500000, 520000});
    loop.RunPass();
    EXPECT_FLOAT_EQ(loop.GetFrameTime(), 0.020f);
}

TEST_F(FrameLoop, VolumeKeysStepByATruncatedThousandthOfTheFrameTime) {
    // One sound of a second: 8000 frames of 16-bit mono silence.
    std::string wav = "RIFF";
    const auto le32 = [&wav](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            wav += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    le32(36 + 16000);
    wav += "WAVEfmt ";
    le32(16);
    wav += std::string("\x01\x00\x01\x00", 4);
    le32(8000);
    le32(16000);
    wav += std::string("\x02\x00\x10\x00", 4);
    wav += "data";
    le32(16000);
    wav += std::string(16000, '\0');
    std::filesystem::create_directory("Standard");
    test::WriteFile("Standard/ball.wav", wav);
    CSound& sound = m_Shell.GetSound();
    sound.LoadSound("ball", 0);
    ASSERT_NE(sound.GetSound("ball")->pBuffer, nullptr);
    platform::ISoundBuffer& buffer = *sound.GetSound("ball")->pBuffer;
    buffer.SetVolume(-1000);

    CFrameLoop& loop = MakeLoop(false);
    m_Clock.Script({0, 17000}); // the first frame takes 17 ms, the next ones 0 ms
    m_Window.Script().keys[DIK_A] = 0x80;
    loop.RunPass(); // first frame: time 0, no change
    EXPECT_EQ(buffer.GetVolume(), -1000);
    loop.RunPass(); // trunc(-1000 × 0.017) = -17
    EXPECT_EQ(buffer.GetVolume(), -1017);
    m_Window.Script().keys[DIK_A] = 0;
    m_Window.Script().keys[DIK_Q] = 0x80;
    loop.RunPass(); // the second frame took 0 ms
    loop.RunPass();
    EXPECT_EQ(buffer.GetVolume(), -1017);
}

// Holding a volume key moves it by 1000 a second of the frames' time at any frame rate, also
// where a frame is shorter than a thousandth of a second.
TEST_F(FrameLoop, AHeldVolumeKeyMovesTheVolumeAlikeAtEveryFrameRate) {
    for (const int fps : {10, 60, 2000, 5000}) {
        CFrameLoop& loop = MakeLoop(false);
        CSound& sound = m_Shell.GetSound();
        const int before = sound.GetMusicVolume();
        m_Window.Script().keys[DIK_S] = 0x80;
        m_Clock.SetStepPerReading(1000000u / static_cast<std::uint64_t>(fps));
        double seconds = 0;
        for (int i = 0; i < fps / 2; ++i) {
            seconds += loop.GetFrameTime(); // the time this pass's updates get
            loop.RunPass();
        }
        m_Window.Script().keys[DIK_S] = 0;
        EXPECT_GT(seconds, 0.4) << fps << " fps";
        EXPECT_NEAR(sound.GetMusicVolume() - before, -1000 * seconds, 1.0) << fps << " fps";
        sound.ChangeMusicVolume(before - sound.GetMusicVolume());
    }
}

TEST_F(FrameLoop, MessagePassRunsNoFrameAndPollsNoInput) {
    CFrameLoop& loop = MakeLoop(false);
    m_Window.Post(platform::SMessage::EKind::Other);
    m_Window.Script().mouse.lX = 5;
    m_Clock.Script({10000, 20000});
    EXPECT_EQ(loop.RunPass(), CFrameLoop::EPass::Message);
    EXPECT_TRUE(Trace().empty());
    EXPECT_EQ(m_Window.Script().mouse.lX, 5); // not read
    EXPECT_EQ(loop.GetFrameTime(), 0.0f);     // not a frame: no time measured
    EXPECT_EQ(loop.RunPass(), CFrameLoop::EPass::Frame);
    EXPECT_EQ(m_Window.Script().mouse.lX, 0);
}

TEST_F(FrameLoop, ShowSpeedIsZeroFor49FramesThenTheMeanOfFifty) {
    CFrameLoop& loop = MakeLoop(true);
    m_Clock.SetStepPerReading(20000); // every frame takes 20 ms: 50 frames per second
    for (int frame = 1; frame <= 49; ++frame) {
        loop.RunPass();
        ASSERT_EQ(loop.GetShownSpeed(), 0) << "frame " << frame;
    }
    loop.RunPass();
    // The first frame measured 0 ms and counts as rate 0 in the first mean.
    EXPECT_EQ(loop.GetShownSpeed(), 49);
    for (int frame = 51; frame < 100; ++frame) {
        loop.RunPass();
        ASSERT_EQ(loop.GetShownSpeed(), 49) << "frame " << frame;
    }
    loop.RunPass();
    EXPECT_EQ(loop.GetShownSpeed(), 50);
}

TEST_F(FrameLoop, ZeroMillisecondFramesDoNotBreakTheCounter) {
    CFrameLoop& loop = MakeLoop(true);
    for (int frame = 0; frame < 100; ++frame) {
        loop.RunPass(); // the clock stands still
    }
    EXPECT_EQ(loop.GetShownSpeed(), 0);
}

TEST_F(FrameLoop, StateMinusOneDestroysTheWindowAndEndsTheLoop) {
    CFrameLoop& loop = MakeLoop(false);
    loop.RunPass();
    loop.SetProgramState(PROGRAM_END);
    EXPECT_EQ(loop.RunPass(), CFrameLoop::EPass::Frame);
    EXPECT_TRUE(m_Window.IsDestroyed());
    EXPECT_EQ(loop.RunPass(), CFrameLoop::EPass::Quit);
}

TEST_F(FrameLoop, CloseRequestLeadsThroughStateMinusOne) {
    CFrameLoop& loop = MakeLoop(false);
    loop.SetProgramState(PROGRAM_GAME);
    m_Window.Post(platform::SMessage::EKind::CloseRequest);
    EXPECT_EQ(loop.RunPass(), CFrameLoop::EPass::Message);
    EXPECT_EQ(loop.GetProgramState(), PROGRAM_END);
    EXPECT_FALSE(m_Window.IsDestroyed());
    loop.Run(); // one frame that destroys the window, then the quit message
    EXPECT_TRUE(m_Window.IsDestroyed());
    EXPECT_EQ(Presents(), 1);
}

TEST_F(FrameLoop, FailedPresentEndsTheProgram) {
    CFrameLoop& loop = MakeLoop(false);
    m_Window.Script().failPresent = true;
    loop.Run();
    EXPECT_EQ(loop.GetProgramState(), PROGRAM_END);
    EXPECT_TRUE(m_Window.IsDestroyed());
    EXPECT_EQ(Presents(), 1);
    m_Shell.GetGame().Release(); // once more, as after the loop
}

TEST(TruncToInt, RoundsTowardZeroAndSaturates) {
    using platform::TruncToInt;
    EXPECT_EQ(TruncToInt(16.9f), 16);
    EXPECT_EQ(TruncToInt(-16.9f), -16);
    EXPECT_EQ(TruncToInt(1e20f), std::numeric_limits<int>::max());
    EXPECT_EQ(TruncToInt(-1e20f), std::numeric_limits<int>::min());
    EXPECT_EQ(TruncToInt(std::numeric_limits<float>::infinity()), std::numeric_limits<int>::max());
    EXPECT_EQ(TruncToInt(std::nanf("")), 0);
}

} // namespace
