// The keyboard alone and the controller alone through the game: the commands, the stick's
// steering at any frame rate, the level selection, help and statistics, pause and views.
#include "GameSupport.h"

#include <cmath>

namespace {

using S = CGame::EGameState;
using platform::EPadButton;
using Command = CInput::ECommand;

class Controls : public test::CGameTest {
  protected:
    Controls() {
        WriteScoreFile(File("Daten.dat"), 3);
        Init();
        Pad().connected = true;
    }
    platform::SControllerState& Pad() { return m_Window.Script().controller; }
    std::uint8_t& Button(EPadButton button) {
        return Pad().buttons[static_cast<std::size_t>(button)];
    }
    // A controller button pressed for one frame, between frames that see it up.
    void Press(EPadButton button) {
        Frame();
        Button(button) = 0x80;
        Frame();
        Button(button) = 0;
        Frame();
    }
    // A new game at the level selection, turned in.
    void ToSelection() {
        m_Game.NewGame();
        ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
        ASSERT_TRUE(m_Game.IsLevelSelect());
    }
    // From the level selection into play at the level shown, past its help text.
    void StartWith(int key) {
        Tap(key);
        if (m_Game.GetGameState() == S::STATE_HELP) {
            Tap(key);
        }
        ASSERT_FALSE(m_Game.IsLevelSelect());
        ASSERT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
    }
    // How far the paddle goes in the seconds given at the frame time given, the stick held
    // at the axis value given from the paddle's rest in the middle.
    float StickTravel(std::int16_t axis, float seconds, float dt) {
        CPaddel& paddle = m_Game.GetPaddel();
        paddle.SetVelocity(0);
        const float start = paddle.GetPosition().x;
        Pad().leftX = axis;
        const int frames = static_cast<int>(std::lround(seconds / dt));
        for (int i = 0; i < frames; ++i) {
            Frame(dt);
        }
        Pad().leftX = 0;
        Frame(0);
        const float travel = paddle.GetPosition().x - start;
        paddle.Reset(2, D3DXVECTOR3(m_Game.GetBoard().GetSizeX() / 2, 0, 1), 4,
                     m_Game.GetBoard().GetSizeX());
        return travel;
    }
};

TEST_F(Controls, EachKeyAndButtonOfACommandCountsOncePerPress) {
    // Enter and A together: one confirmation now, none in the next frames while held.
    m_Window.Script().keys[DIK_RETURN] = 0x80;
    Button(EPadButton::A) = 0x80;
    m_Input.Update();
    EXPECT_TRUE(m_Input.CommandPressed(Command::Confirm));
    EXPECT_FALSE(m_Input.CommandPressed(Command::Confirm));
    EXPECT_FALSE(m_Input.CommandPressed(Command::Launch)); // A was counted with Confirm
    m_Input.Update();
    EXPECT_FALSE(m_Input.CommandPressed(Command::Confirm));
    m_Window.Script().keys[DIK_RETURN] = 0;
    Button(EPadButton::A) = 0;
    m_Input.Update();
    EXPECT_FALSE(m_Input.CommandPressed(Command::Confirm));
    // B and Back both mean Escape; a button of no command is nothing.
    Button(EPadButton::Back) = 0x80;
    m_Input.Update();
    EXPECT_TRUE(m_Input.CommandPressed(Command::Back));
    EXPECT_FALSE(m_Input.PadButtonPressed(EPadButton::Count));
    EXPECT_FALSE(m_Input.CommandPressed(Command::Count));
    // An unplugged controller holds nothing down, and its loss shows for one reading.
    Pad().connected = false;
    m_Input.Update();
    EXPECT_TRUE(m_Input.ControllerLost());
    EXPECT_FALSE(m_Input.IsPadButtonDown(EPadButton::Back));
    m_Input.Update();
    EXPECT_FALSE(m_Input.ControllerLost());
    EXPECT_FALSE(m_Input.IsControllerConnected());
}

TEST_F(Controls, TheStickRestsInItsDeadZoneAndIsProportionalBeyond) {
    const auto stick = [this](int axis) {
        Pad().leftX = static_cast<std::int16_t>(axis);
        m_Input.Update();
        return m_Input.GetStickX();
    };
    EXPECT_EQ(stick(0), 0.0f);
    EXPECT_EQ(stick(8000), 0.0f); // a worn stick at rest
    EXPECT_EQ(stick(-8000), 0.0f);
    EXPECT_NEAR(stick(16384 + 8192), 2.0f / 3.0f, 1e-3f);
    EXPECT_NEAR(stick(-16384), -1.0f / 3.0f, 1e-3f);
    EXPECT_EQ(stick(32767), 1.0f);
    EXPECT_EQ(stick(-32768), -1.0f);
}

TEST_F(Controls, TheKeyboardAlonePlaysFromTheSelectionToTheNextLevel) {
    ToSelection();
    // Right and Left choose among the levels reached, Enter starts with the help text.
    Tap(DIK_RIGHT);
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    EXPECT_EQ(m_Game.GetLevelnummer(), 2);
    Tap(DIK_LEFT);
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    ASSERT_EQ(m_Game.GetLevelnummer(), 1);
    Tap(DIK_RETURN);
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_HELP);
    Tap(DIK_SPACE); // on from the help text; this press launches nothing
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
    EXPECT_EQ(m_Game.GetPlayer().GetBalls(), 3);

    // With Control=1 the arrows steer too, and Space launches.
    CPaddel& paddle = m_Game.GetPaddel();
    const float middle = paddle.GetPosition().x;
    m_Window.Script().keys[DIK_LEFT] = 0x80;
    for (int i = 0; i < 20; ++i) {
        Frame();
    }
    m_Window.Script().keys[DIK_LEFT] = 0;
    EXPECT_LT(paddle.GetPosition().x, middle - 0.1f);
    Tap(DIK_SPACE);
    EXPECT_EQ(m_Game.GetPlayer().GetBalls(), 2);
    EXPECT_EQ(m_Game.GetBalls().Count(), 1);

    // Cleared: Enter goes on from the statistics to level 2.
    for (const SBlock& block : m_Game.GetBlocks().GetBlocks()) {
        const_cast<SBlock&>(block).Hitpoints = 0;
    }
    Frame();
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_STATISTICS);
    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    EXPECT_EQ(m_Game.GetLevelnummer(), 2);
}

TEST_F(Controls, TheControllerAlonePlaysAndTheStickSetsTheVelocityAtAnyFrameRate) {
    ToSelection();
    // The D-pad chooses the level and A starts it; A goes on from the help text.
    Press(EPadButton::Right);
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    EXPECT_EQ(m_Game.GetLevelnummer(), 2);
    Press(EPadButton::Left);
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    ASSERT_EQ(m_Game.GetLevelnummer(), 1);
    Press(EPadButton::A);
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_HELP);
    Press(EPadButton::A);
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
    ASSERT_EQ(m_Game.GetBalls().Count(), 0);

    // The deflection beyond the dead zone is the share of PaddelSpeed (30), the same at 10
    // and at 2,000 frames a second; a third of the way takes the paddle a third as far.
    for (const float dt : {0.1f, 1.0f / 60.0f, 0.0005f}) {
        EXPECT_NEAR(StickTravel(32767, 0.2f, dt), 6.0f, 0.01f) << dt;
        EXPECT_NEAR(StickTravel(-(8192 + 8192), 0.2f, dt), -2.0f, 0.01f) << dt;
    }
    // Back at rest, the paddle stops at once.
    Pad().leftX = 20000;
    Frame();
    Pad().leftX = 0;
    Frame();
    EXPECT_EQ(m_Game.GetPaddel().GetVelocity().x, 0.0f);
    // The D-pad steers as the arrow keys do.
    const float x = m_Game.GetPaddel().GetPosition().x;
    Button(EPadButton::Right) = 0x80;
    for (int i = 0; i < 10; ++i) {
        Frame();
    }
    Button(EPadButton::Right) = 0;
    EXPECT_GT(m_Game.GetPaddel().GetPosition().x, x + 0.1f);

    // A launches; the shoulders go round the views; Start pauses and goes on.
    Press(EPadButton::A);
    EXPECT_EQ(m_Game.GetBalls().Count(), 1);
    EXPECT_EQ(m_Game.GetPlayer().GetBalls(), 2);
    Press(EPadButton::LeftShoulder);
    EXPECT_EQ(m_Game.GetCamera(), 4);
    Press(EPadButton::RightShoulder);
    Press(EPadButton::RightShoulder);
    EXPECT_EQ(m_Game.GetCamera(), 2);
    Press(EPadButton::Start);
    ASSERT_TRUE(m_Game.IsPaused());
    const D3DXVECTOR3 ball = m_Game.GetBalls().Get(0).GetPosition();
    Frame(0.5f);
    EXPECT_EQ(m_Game.GetBalls().Get(0).GetPosition().z, ball.z);
    Press(EPadButton::Start);
    EXPECT_FALSE(m_Game.IsPaused());
    // B is Escape: the game ends, and Back leads from its end to the menu.
    Press(EPadButton::B);
    ASSERT_TRUE(m_Game.GetGameState() == S::STATE_GAME_OVER ||
                m_Game.GetGameState() == S::STATE_HIGHSCORE);
    Press(EPadButton::Back);
    EXPECT_EQ(m_iProgramState, PROGRAM_MENU);
}

TEST_F(Controls, ControlZeroLeavesTheMouseOutButKeepsKeysAndController) {
    std::string settings = test::kFieldSettings;
    settings.replace(settings.find("Control=1"), 9, "Control=0");
    settings.insert(settings.find("[Block0]"), kGameOptions);
    WriteSettings(settings + kGameSections);
    CGame game;
    game.Init(&m_Direct3D, &m_Input, &m_Sound);
    game.NewGame();
    const auto frame = [&](float dt) {
        m_Input.Update();
        game.Update(dt);
    };
    for (int i = 0; i < 300 && game.GetGameState() != S::STATE_PLAYING; ++i) {
        frame(0.01f);
    }
    m_Window.Script().keys[DIK_RETURN] = 0x80; // out of the selection, past the help
    frame(0.01f);
    m_Window.Script().keys[DIK_RETURN] = 0;
    frame(0.01f);
    m_Window.Script().keys[DIK_RETURN] = 0x80;
    frame(0.01f);
    m_Window.Script().keys[DIK_RETURN] = 0;
    frame(0.01f);
    ASSERT_EQ(game.GetGameState(), S::STATE_PLAYING);
    ASSERT_FALSE(game.IsLevelSelect());
    const float x = game.GetPaddel().GetPosition().x;
    m_Window.Script().mouse.lX = 200;
    m_Window.Script().mouse.rgbButtons[0] = 0x80;
    frame(0.01f);
    m_Window.Script().mouse.rgbButtons[0] = 0;
    EXPECT_EQ(game.GetPaddel().GetPosition().x, x);
    EXPECT_EQ(game.GetBalls().Count(), 0);
    Pad().leftX = 32767;
    frame(0.1f);
    EXPECT_GT(game.GetPaddel().GetPosition().x, x);
}

} // namespace
