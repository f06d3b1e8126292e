#include "MenuSupport.h"

#include <limits>

namespace {

using M = CMenu::EMenuState;

using Menu = test::CMenuTest;

TEST_F(Menu, ButtonFliesStraightAndTurnsEvenly) {
    Start(kExample);
    EXPECT_EQ(m_Menu.GetState(), M::MENU_FLY_IN);
    Frame(1.0f);
    EXPECT_EQ(m_Menu.GetButtonX(0), 256);
    EXPECT_EQ(m_Menu.GetButtonY(0), 192);
    EXPECT_FLOAT_EQ(m_Menu.GetButtonTurn(0), 180.0f);
    Frame(1.0f);
    EXPECT_EQ(m_Menu.GetButtonX(0), 512);
    EXPECT_EQ(m_Menu.GetButtonY(0), 384);
    EXPECT_FLOAT_EQ(m_Menu.GetButtonTurn(0), 360.0f);
    EXPECT_EQ(m_Menu.GetState(), M::MENU_IDLE);
}

TEST_F(Menu, DelayedButtonComesAlongItsPathsExtension) {
    std::string delayed = kExample;
    delayed.replace(delayed.find("Verzoegerung=0"), 14, "Verzoegerung=1");
    Start(delayed);
    Frame(0.5f);
    EXPECT_EQ(m_Menu.GetButtonX(0), -128);
    EXPECT_EQ(m_Menu.GetButtonY(0), -96);
    EXPECT_FLOAT_EQ(m_Menu.GetButtonTurn(0), -90.0f);
    Frame(0.5f);
    EXPECT_EQ(m_Menu.GetButtonX(0), 0);
    Frame(1.5f); // 2.5 s
    EXPECT_EQ(m_Menu.GetState(), M::MENU_FLY_IN);
    Frame(0.5f); // 3 s: at its end
    EXPECT_EQ(m_Menu.GetButtonX(0), 512);
    EXPECT_EQ(m_Menu.GetState(), M::MENU_IDLE);
}

TEST_F(Menu, AButtonWithoutTimeWaitsOutItsDelayAtAnEdgeThenStandsAtItsEnd) {
    // Its path divides by a time of 0: no x movement (0 / 0), a y movement (x / 0).
    Start("[Button0]\nStartPosX=0.5\nStartPosY=0\nEndPosX=0.5\nEndPosY=0.5\nRotation=0\n"
          "Verzoegerung=1\n");
    Frame(0.5f);
    EXPECT_EQ(m_Menu.GetButtonX(0), 0);
    EXPECT_EQ(m_Menu.GetButtonY(0), std::numeric_limits<int>::min());
    Frame(0.5f);
    EXPECT_EQ(m_Menu.GetButtonX(0), 512);
    EXPECT_EQ(m_Menu.GetButtonY(0), 384);
    EXPECT_EQ(m_Menu.GetState(), M::MENU_IDLE);
}

TEST_F(Menu, WithoutIntroTheButtonsJumpToTheirEndsAtOnce) {
    Start(kExample, 0);
    Frame(0.01f);
    EXPECT_EQ(m_Menu.GetState(), M::MENU_IDLE);
    EXPECT_EQ(m_Menu.GetButtonX(0), 512);
    EXPECT_FLOAT_EQ(m_Menu.GetButtonTurn(0), 360.0f);
    EXPECT_EQ(m_Menu.GetButtonX(2), 716); // trunc(0.7 × 1024)
}

TEST_F(Menu, StartBeginsTheGameAfterTwoSeconds) {
    Start(kExample, 0);
    Frame(0.01f);
    ClickAt(600, 400); // the start button at (512, 384)
    EXPECT_EQ(m_Menu.GetState(), M::MENU_STARTING);
    EXPECT_EQ(Lines(), std::vector<std::string>{"Spiel startet..."});
    ClickAt(600, 400); // a second click restarts the countdown and the line once
    EXPECT_EQ(Lines(), std::vector<std::string>{"Spiel startet..."});
    Frame(1.99f);
    EXPECT_EQ(m_iProgramState, PROGRAM_MENU);
    Frame(0.02f);
    EXPECT_EQ(m_iProgramState, PROGRAM_GAME);
    EXPECT_EQ(m_Menu.GetState(), M::MENU_IDLE);
    EXPECT_TRUE(m_Game.IsLevelSelect());
    EXPECT_TRUE(Lines().empty());
}

TEST_F(Menu, InfoDuringTheCountdownStopsTheStart) {
    Start(kExample, 0);
    Frame(0.01f);
    ClickAt(600, 400);
    ClickAt(800, 330); // info at (716, 307)
    EXPECT_EQ(m_Menu.GetState(), M::MENU_INFO);
    ASSERT_EQ(Lines().size(), 15u);
    EXPECT_EQ(Lines()[0], "Zantor:");
    EXPECT_EQ(Lines()[4], "");
    Frame(2.5f);
    EXPECT_EQ(m_iProgramState, PROGRAM_MENU);
    EXPECT_TRUE(Lines().empty()); // the countdown ran out: the column is cleared
    EXPECT_EQ(m_Menu.GetState(), M::MENU_INFO);
}

TEST_F(Menu, EndQuitsAfterTwoSecondsWithAFarewell) {
    Start(kExample, 0);
    Frame(0.01f);
    ClickAt(716 + 256, 460 + 96); // the bottom right corner of end at (716, 460) counts
    EXPECT_EQ(m_Menu.GetState(), M::MENU_QUITTING);
    EXPECT_EQ(Lines(), std::vector<std::string>{"Bis bald!"});
    Frame(2.0f);
    EXPECT_EQ(m_iProgramState, PROGRAM_END);
}

TEST_F(Menu, ClicksDuringTheFlyInAreIgnored) {
    Start(kExample);
    ClickAt(300, 300);
    EXPECT_EQ(m_Menu.GetState(), M::MENU_FLY_IN);
}

TEST_F(Menu, CameraAngleWrapsAtAFullTurn) {
    Start(kExample);
    for (int i = 0; i < 1000; ++i) {
        Frame(0.01f);
    }
    EXPECT_NEAR(m_Menu.GetAngle(), 80.0f, 0.05f);
}

TEST_F(Menu, WelcomeLinesAndTheHighscore) {
    WriteScoreFile(File("Highscore.dat"), 4711);
    Start(kExample);
    EXPECT_EQ(Lines().size(), 3u);
    EXPECT_EQ(Lines()[0], "Willkommen bei Zantor 0.95");
    EXPECT_EQ(m_Menu.GetHighscore(), 4711);
}

TEST_F(Menu, TextLinesSlideInOneSecondApart) {
    Start(kExample);
    CTextDisplay text;
    text.Init(&m_Direct3D2);
    text.AddLine("eins");
    text.AddLine("zwei");
    text.AddLine("drei");
    EXPECT_EQ(text.GetX(0), 32 - 300);
    EXPECT_EQ(text.GetX(1), 32 - 600);
    EXPECT_EQ(text.GetX(2), 32 - 900);
    EXPECT_EQ(text.GetY(2), 384 + 32);
    text.Update(1.0f);
    EXPECT_EQ(text.GetX(0), 32);
    EXPECT_EQ(text.GetX(1), 32 - 300);
    text.Update(5.0f);
    EXPECT_EQ(text.GetLines()[2].fDelay, 0.0f);
    text.Clear();
    text.AddLine("neu");
    EXPECT_EQ(text.GetLines()[0].fDelay, 1.0f);
}

TEST_F(Menu, WithoutSlidingLinesStandInPlace) {
    Start(kExample, 1, 0);
    CTextDisplay text;
    text.Init(&m_Direct3D2);
    text.AddLine("eins");
    text.AddLine("zwei");
    EXPECT_EQ(text.GetX(1), 32);
}

TEST_F(Menu, BackdropIsDrawnWithoutMirrorImages) {
    Start(kExample);
    m_Screen.GetRecordingDevice()->ClearDraws();
    m_Menu.Render();
    int blocks = 0;
    for (const platform::SRecordedDraw& draw : m_Screen.GetRecordingDevice()->GetDraws()) {
        if (draw.kind == platform::SRecordedDraw::EKind::Indexed) {
            ++blocks;
            EXPECT_EQ(draw.State(D3DRS_CULLMODE), D3DCULL_CCW);
        }
    }
    EXPECT_EQ(blocks, 4);
    // The light is read anew in every frame: an edit shows at the next one.
    EXPECT_FLOAT_EQ(m_Screen.GetRecordingDevice()->GetLight().Diffuse.g, 0.9f);
}

TEST_F(Menu, KeysAndTheControllerMoveAVisibleFocusAndTakeItsButton) {
    Start(kExample, 0);
    Frame(0.01f);
    platform::SHeadlessScript& script = m_Screen.Script();
    const auto tap = [&](std::uint8_t& state) {
        state = 0x80;
        Frame(0.01f);
        state = 0;
        Frame(0.01f);
    };
    // The colour of each button as drawn: dimmed but the one with the focus.
    const auto colours = [this] {
        m_Screen.GetRecordingDevice()->ClearDraws();
        m_Menu.Render();
        std::vector<std::uint32_t> buttons;
        for (const platform::SRecordedDraw& draw : m_Screen.GetRecordingDevice()->GetDraws()) {
            if (draw.kind == platform::SRecordedDraw::EKind::ScreenQuads &&
                draw.quads.size() == 1 && buttons.size() < 3) {
                buttons.push_back(draw.color);
            }
        }
        return buttons;
    };
    constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
    constexpr std::uint32_t kDim = CMenu::kUnfocusedColor;
    EXPECT_EQ(m_Menu.GetFocus(), -1);
    EXPECT_EQ(colours(), (std::vector<std::uint32_t>{kWhite, kWhite, kWhite}));
    tap(script.keys[DIK_DOWN]);
    EXPECT_EQ(m_Menu.GetFocus(), 0);
    EXPECT_EQ(colours(), (std::vector<std::uint32_t>{kWhite, kDim, kDim}));
    tap(script.keys[DIK_TAB]);
    EXPECT_EQ(m_Menu.GetFocus(), 1);
    script.keys[DIK_LSHIFT] = 0x80;
    tap(script.keys[DIK_TAB]);
    script.keys[DIK_LSHIFT] = 0;
    EXPECT_EQ(m_Menu.GetFocus(), 0);
    tap(script.keys[DIK_UP]); // round to the last
    EXPECT_EQ(m_Menu.GetFocus(), 2);
    tap(script.controller.buttons[static_cast<std::size_t>(platform::EPadButton::Up)]);
    EXPECT_EQ(m_Menu.GetFocus(), 2); // no controller plugged in
    script.controller.connected = true;
    tap(script.controller.buttons[static_cast<std::size_t>(platform::EPadButton::Up)]);
    EXPECT_EQ(m_Menu.GetFocus(), 1);
    EXPECT_EQ(colours(), (std::vector<std::uint32_t>{kDim, kWhite, kDim}));
    tap(script.controller.buttons[static_cast<std::size_t>(platform::EPadButton::A)]);
    EXPECT_EQ(m_Menu.GetState(), M::MENU_INFO);
    // The mouse moves: the focus goes, and Enter takes the start button.
    script.mouse.lX = 5;
    Frame(0.01f);
    EXPECT_EQ(m_Menu.GetFocus(), -1);
    EXPECT_EQ(colours(), (std::vector<std::uint32_t>{kWhite, kWhite, kWhite}));
    tap(script.keys[DIK_RETURN]);
    EXPECT_EQ(m_Menu.GetState(), M::MENU_STARTING);
    Frame(2.0f);
    EXPECT_EQ(m_iProgramState, PROGRAM_GAME);
}

} // namespace
