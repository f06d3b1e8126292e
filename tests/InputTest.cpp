#include "input/Input.h"
#include "TestSupport.h"
#include "platform/headless/HeadlessWindow.h"

#include <gtest/gtest.h>

namespace {

class Input : public ::testing::Test {
  protected:
    Input() : m_Window(800, 600) { m_Input.Init(&m_Window, 800, 600); }

    platform::SHeadlessScript& Script() { return m_Window.Script(); }

    test::CScratchDir m_Dir;
    platform::CHeadlessWindow m_Window;
    CInput m_Input;
};

TEST_F(Input, KeyPressedReportsEachPressOnce) {
    Script().keys[DIK_P] = 0x80;
    m_Input.Update();
    EXPECT_NE(m_Input.IsKeyDown(DIK_P), 0);
    EXPECT_TRUE(m_Input.KeyPressed(DIK_P));
    EXPECT_FALSE(m_Input.KeyPressed(DIK_P)); // a second caller in the same frame
    m_Input.Update();
    EXPECT_FALSE(m_Input.KeyPressed(DIK_P)); // still held
    Script().keys[DIK_P] = 0;
    m_Input.Update();
    EXPECT_FALSE(m_Input.KeyPressed(DIK_P));
    Script().keys[DIK_P] = 0x80;
    m_Input.Update();
    EXPECT_TRUE(m_Input.KeyPressed(DIK_P));
}

TEST_F(Input, PressAndReleaseBetweenQueriesIsNotSeen) {
    Script().keys[DIK_N] = 0x80;
    m_Input.Update();
    EXPECT_TRUE(m_Input.KeyPressed(DIK_N));
    Script().keys[DIK_N] = 0;
    m_Input.Update();
    Script().keys[DIK_N] = 0x80;
    m_Input.Update();
    EXPECT_FALSE(m_Input.KeyPressed(DIK_N)); // the latch was never cleared by a query
}

TEST_F(Input, KeysOutsideTheTableAreNeverDown) {
    EXPECT_EQ(m_Input.IsKeyDown(-1), 0);
    EXPECT_EQ(m_Input.IsKeyDown(256), 0);
    EXPECT_FALSE(m_Input.KeyPressed(1000));
    EXPECT_FALSE(m_Input.MouseButtonPressed(3));
}

TEST_F(Input, CursorMovesByOneAndAHalfTimesTheMotionWithinTheScreen) {
    Script().mouse.lX = 10;
    Script().mouse.lY = -3;
    m_Input.Update();
    EXPECT_EQ(m_Input.GetMouseX(), 15);
    EXPECT_EQ(m_Input.GetMouseY(), 0);
    EXPECT_EQ(m_Input.GetMouseMoveX(), 10.0f);
    Script().mouse.lX = 1000;
    Script().mouse.lY = 1000;
    m_Input.Update();
    EXPECT_EQ(m_Input.GetMouseX(), 800);
    EXPECT_EQ(m_Input.GetMouseY(), 600);
}

TEST_F(Input, CursorIsTruncatedButTheRawMotionIsNot) {
    Script().mouse.lX = 3;
    m_Input.Update();
    EXPECT_EQ(m_Input.GetMouseX(), 4); // 4.5
    EXPECT_EQ(m_Input.GetMouseMoveX(), 3.0f);
    m_Input.Update(); // the motion was read: no more of it
    EXPECT_EQ(m_Input.GetMouseMoveX(), 0.0f);
    EXPECT_EQ(m_Input.GetMouseX(), 4);
}

TEST_F(Input, HeldKeyStaysDownFrameAfterFrame) {
    Script().keys[DIK_RIGHT] = 0x80;
    for (int frame = 0; frame < 3; ++frame) {
        m_Input.Update();
        EXPECT_EQ(m_Input.IsKeyDown(DIK_RIGHT), 0x80);
    }
}

TEST_F(Input, WindowInTheBackgroundReleasesEveryKeyUntilItComesBack) {
    Script().keys[DIK_LEFT] = 0x80;
    Script().mouse.rgbButtons[0] = 0x80;
    m_Input.Update();
    EXPECT_NE(m_Input.IsKeyDown(DIK_LEFT), 0);
    Script().inForeground = false;
    m_Input.Update();
    EXPECT_EQ(m_Input.IsKeyDown(DIK_LEFT), 0);
    EXPECT_FALSE(m_Input.MouseButtonPressed(0));
    Script().inForeground = true;
    m_Input.Update(); // acquires again and reads
    EXPECT_NE(m_Input.IsKeyDown(DIK_LEFT), 0);
    EXPECT_TRUE(m_Input.MouseButtonPressed(0));
}

} // namespace
