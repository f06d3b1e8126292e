#include "EngineSupport.h"
#include "TestSupport.h"
#include "platform/Clock.h"
#include "platform/headless/HeadlessWindow.h"
#include "shell/Shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

// The game on a headless window and a test clock whose readings move on by a millisecond:
// a frame is drawn in about 2 ms, far faster than any display shows it.
class FrameLimit : public ::testing::Test {
  protected:
    FrameLimit() : m_Window(1024, 768), m_Shell(m_Window, m_Clock) { test::CopyTestSettings(); }

    void Start(std::optional<bool> vsync) {
        m_Shell.GetDirect3D().SetVSyncOverride(vsync);
        ASSERT_TRUE(m_Shell.Start());
        m_Clock.Set(1000000);
        m_Clock.SetStepPerReading(1000);
    }
    // Runs frames until they have lasted the seconds given, as the loop measured them, and
    // returns how many there were.
    int FramesIn(double seconds) {
        double passed = 0.0;
        int frames = 0;
        // (A loop that measures no time at all ends after a million frames.)
        while (passed < seconds - 1e-6 && frames < 1000000) {
            EXPECT_EQ(m_Shell.RunPass(), CFrameLoop::EPass::Frame);
            passed += m_Shell.GetLoop().GetMeasuredFrameTime();
            ++frames;
        }
        return frames;
    }
    // Taps a key for one frame.
    void Tap(int key) {
        m_Window.Script().keys[static_cast<std::size_t>(key)] = 0x80;
        m_Shell.RunPass();
        m_Window.Script().keys[static_cast<std::size_t>(key)] = 0;
    }
    std::vector<std::string>& Trace() { return m_Window.Script().trace; }
    long Count(const char* call) { return std::count(Trace().begin(), Trace().end(), call); }

    test::CScratchDir m_Dir;
    platform::CHeadlessWindow m_Window;
    platform::CManualClock m_Clock;
    CShell m_Shell;
};

TEST_F(FrameLimit, VSyncHoldsFramesToTheDisplaysRefreshRate) {
    for (const int rate : {60, 144, 0}) {
        SCOPED_TRACE(rate);
        m_Window.Script().refreshRate = rate; // 0: unknown, taken as 60
        if (rate == 60) {
            Start(true);
        }
        const int expected = rate == 144 ? 144 : 60;
        const int frames = FramesIn(2.0);
        EXPECT_GE(frames, 2 * expected - 2);
        EXPECT_LE(frames, 2 * expected + 1);
        // The wait counts: the updates get the whole frame, not the 2 ms of drawing.
        EXPECT_NEAR(m_Shell.GetLoop().GetFrameTime(), 1.0 / expected, 0.0011);
    }
    EXPECT_GT(m_Clock.Sleeps(), 0);
}

TEST_F(FrameLimit, WithoutVSyncFramesNeverWait) {
    Start(false);
    EXPECT_GE(FramesIn(1.0), 999);
    EXPECT_EQ(m_Clock.Sleeps(), 0);
    EXPECT_NEAR(m_Shell.GetLoop().GetFrameTime(), 0.001, 1e-6);
}

TEST_F(FrameLimit, AFrameSlowerThanTheDisplayDoesNotWait) {
    Start(true);
    m_Clock.SetStepPerReading(20000); // 20 ms of drawing, for a display of 60 Hz
    EXPECT_EQ(FramesIn(1.0), 50);
    EXPECT_EQ(m_Clock.Sleeps(), 0);
    EXPECT_NEAR(m_Shell.GetLoop().GetFrameTime(), 0.020, 1e-6);
}

TEST_F(FrameLimit, PausedPlayRestsAndDrawsOnlyWhatChanges) {
    Start(false); // even without VSync
    m_Shell.GetLoop().SetProgramState(PROGRAM_GAME);
    EXPECT_GT(FramesIn(0.5), 100);
    Tap(DIK_P);
    ASSERT_TRUE(m_Shell.GetGame().IsPaused());
    Trace().clear();
    const int frames = FramesIn(2.0);
    EXPECT_GE(frames, 19);
    EXPECT_LE(frames, 2 * CFrameLoop::kIdleFrameRate);
    EXPECT_NEAR(m_Shell.GetLoop().GetFrameTime(), 0.1, 1e-6); // the updates see the real time
    EXPECT_EQ(Count("Clear FF000000 1 0"), 0); // nothing moves: nothing is drawn or shown
    EXPECT_EQ(Count("Present"), 0);

    // Uncovered or resized, the window gets the last picture again, not a new one.
    m_Window.Post(platform::SMessage::EKind::Paint);
    EXPECT_EQ(m_Shell.RunPass(), CFrameLoop::EPass::Message);
    m_Shell.RunPass();
    EXPECT_EQ(Count("Present"), 1);
    EXPECT_EQ(Count("Clear FF000000 1 0"), 0);

    // The cursor moves and keys work: those frames are drawn, and kept to be shown again.
    m_Window.Script().mouse.lX = 40;
    m_Shell.RunPass();
    EXPECT_EQ(Count("Clear FF000000 1 0"), 1);
    EXPECT_EQ(Count("KeepFrame"), 1);
    m_Shell.RunPass();
    EXPECT_EQ(Count("Clear FF000000 1 0"), 1);

    Tap(DIK_P); // play goes on, at full speed again
    EXPECT_FALSE(m_Shell.GetGame().IsPaused());
    EXPECT_GT(FramesIn(0.5), 100);
}

TEST_F(FrameLimit, AHiddenWindowRestsAndDrawsNothing) {
    Start(true);
    m_Window.Script().hidden = true; // minimised
    Trace().clear();
    const int frames = FramesIn(2.0);
    EXPECT_GE(frames, 19);
    EXPECT_LE(frames, 2 * CFrameLoop::kIdleFrameRate);
    EXPECT_TRUE(Trace().empty());
    m_Window.Script().hidden = false;
    EXPECT_GE(FramesIn(1.0), 59);
    EXPECT_GE(Count("Present"), 59);
}

class VSyncSetting : public test::CEngineTest {
  protected:
    void Init(const std::string& videoMode) {
        WriteSettings("[VideoMode]\nWidth=640\nHeight=480\nDepth=32\n" + videoMode);
        ASSERT_TRUE(m_Direct3D.Init(&m_Window));
    }
};

TEST_F(VSyncSetting, AMissingKeyWaitsForTheDisplayAndLogsNothing) {
    Init("Windowed=1\n");
    EXPECT_TRUE(m_Direct3D.IsVSync());
    EXPECT_TRUE(m_Window.Script().presentParameters.vsync);
    EXPECT_EQ(test::LogRows().find("Fehler"), std::string::npos) << test::LogRows();
    EXPECT_EQ(test::LogRows().find("VSync"), std::string::npos);
}

TEST_F(VSyncSetting, ZeroShowsFramesAtOnceAndAnyOtherValueWaits) {
    Init("Windowed=1\nVSync=0\n");
    EXPECT_FALSE(m_Direct3D.IsVSync());
    EXPECT_FALSE(m_Window.Script().presentParameters.vsync);
    m_Direct3D.ReleaseAll();
    Init("Windowed=1\nVSync=-1\n");
    EXPECT_TRUE(m_Direct3D.IsVSync());
}

TEST_F(VSyncSetting, OverridesWinOverTheSettings) {
    m_Direct3D.SetWindowedOverride(false);
    m_Direct3D.SetVSyncOverride(false);
    Init("Windowed=1\nVSync=1\n");
    EXPECT_FALSE(m_Window.Script().presentParameters.windowed);
    EXPECT_FALSE(m_Window.Script().presentParameters.vsync);
    m_Direct3D.ReleaseAll();
    m_Direct3D.SetWindowedOverride(true);
    m_Direct3D.SetVSyncOverride(std::nullopt);
    Init("Windowed=0\nVSync=1\n"); // 640 x 480 need not be a display mode in a window
    EXPECT_TRUE(m_Window.Script().presentParameters.windowed);
    EXPECT_TRUE(m_Window.Script().presentParameters.vsync);
}

} // namespace
