// The real SDL controller device with a virtual controller that SDL makes in software: no
// hardware and no display needed. SDL's events are pumped before each reading, as the
// window's message loop does in the game.
#include "GameSupport.h"
#include "menu/Menu.h"
#include "platform/desktop/SdlShared.h"

#include <SDL.h>

#include <cmath>

namespace {

using platform::EPadButton;
using S = CGame::EGameState;

// A controller plugged in by software: SDL's own mapping for virtual controllers names its
// buttons and axes in SDL's order.
class CVirtualPad {
  public:
    CVirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Virtual test pad";
        m_iIndex = SDL_JoystickAttachVirtualEx(&desc);
        m_pJoystick = m_iIndex >= 0 ? SDL_JoystickOpen(m_iIndex) : nullptr;
    }
    ~CVirtualPad() { Unplug(); }
    CVirtualPad(const CVirtualPad&) = delete;
    CVirtualPad& operator=(const CVirtualPad&) = delete;

    bool IsPlugged() const { return m_pJoystick != nullptr; }
    void Stick(int x) {
        SDL_JoystickSetVirtualAxis(m_pJoystick, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x));
    }
    void Hold(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(m_pJoystick, button, down ? 1 : 0);
    }
    void Unplug() {
        if (m_pJoystick != nullptr) {
            SDL_JoystickClose(m_pJoystick);
            SDL_JoystickDetachVirtual(m_iIndex);
            m_pJoystick = nullptr;
        }
    }

  private:
    int m_iIndex = -1;
    SDL_Joystick* m_pJoystick = nullptr;
};

// The headless window's keyboard and mouse with SDL's controllers.
class CPadInput final : public platform::IDirectInput {
  public:
    explicit CPadInput(platform::CHeadlessWindow& window) : m_Window(window) {}
    std::unique_ptr<platform::IKeyboardDevice> CreateKeyboard() override {
        return m_Window.CreateKeyboard();
    }
    std::unique_ptr<platform::IMouseDevice> CreateMouse() override {
        return m_Window.CreateMouse();
    }
    std::unique_ptr<platform::IControllerDevice> CreateController() override {
        return platform::CreateSdlController(nullptr);
    }

  private:
    platform::CHeadlessWindow& m_Window;
};

class SdlController : public ::testing::Test {
  protected:
    SdlController() : m_bSdl(SDL_Init(SDL_INIT_EVENTS) == 0) {}
    ~SdlController() override { SDL_Quit(); }
    SdlController(const SdlController&) = delete;
    SdlController& operator=(const SdlController&) = delete;

    platform::SControllerState Read(platform::IControllerDevice& device) {
        SDL_PumpEvents();
        platform::SControllerState state;
        device.GetDeviceState(state);
        return state;
    }

    bool m_bSdl;
};

TEST_F(SdlController, AControllerComesAndGoesAndReadsAsItsStickAndButtons) {
    ASSERT_TRUE(m_bSdl) << SDL_GetError();
    const std::unique_ptr<platform::IControllerDevice> device =
        platform::CreateSdlController(nullptr);
    EXPECT_FALSE(Read(*device).connected);
    {
        CVirtualPad pad;
        ASSERT_TRUE(pad.IsPlugged()) << SDL_GetError();
        pad.Stick(-20000);
        pad.Hold(SDL_CONTROLLER_BUTTON_START, true);
        pad.Hold(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
        const platform::SControllerState state = Read(*device);
        ASSERT_TRUE(state.connected);
        EXPECT_EQ(state.leftX, -20000);
        for (std::size_t i = 0; i < platform::kPadButtons; ++i) {
            const bool down = i == static_cast<std::size_t>(EPadButton::Start) ||
                              i == static_cast<std::size_t>(EPadButton::Right);
            EXPECT_EQ(state.buttons[i], down ? 0x80 : 0) << i;
        }
        pad.Unplug();
        EXPECT_FALSE(Read(*device).connected);
        EXPECT_FALSE(Read(*device).connected);
    }
    // Plugged in again during play: found without a restart.
    CVirtualPad again;
    again.Hold(SDL_CONTROLLER_BUTTON_A, true);
    const platform::SControllerState state = Read(*device);
    EXPECT_TRUE(state.connected);
    EXPECT_EQ(state.buttons[static_cast<std::size_t>(EPadButton::A)], 0x80);
}

// The game on the headless window, its controller a virtual one through SDL.
class SdlControllerGame : public test::CGameTest {
  protected:
    SdlControllerGame() : m_bSdl(SDL_Init(SDL_INIT_EVENTS) == 0) {
        WriteScoreFile(File("Daten.dat"), 3);
        m_Input.Init(&m_PadInput, 640, 480);
        Init();
    }
    ~SdlControllerGame() override {
        m_Pad.reset();
        m_Input.Init(&m_Window, 640, 480); // closes SDL's controller before SDL ends
        SDL_Quit();
    }
    SdlControllerGame(const SdlControllerGame&) = delete;
    SdlControllerGame& operator=(const SdlControllerGame&) = delete;

    void PadFrame(float dt = 0.01f) {
        SDL_PumpEvents();
        Frame(dt);
    }
    void Press(SDL_GameControllerButton button) {
        PadFrame();
        m_Pad->Hold(button, true);
        PadFrame();
        m_Pad->Hold(button, false);
        PadFrame();
    }
    bool PadRunUntil(std::int16_t state) {
        for (int i = 0; i < 500 && m_Game.GetGameState() != state; ++i) {
            PadFrame();
        }
        return m_Game.GetGameState() == state;
    }

    bool m_bSdl;
    CPadInput m_PadInput{m_Window};
    std::unique_ptr<CVirtualPad> m_Pad = std::make_unique<CVirtualPad>();
};

TEST_F(SdlControllerGame, TheDpadChoosesAStartsTheStickSteersStartPausesUnpluggingPauses) {
    ASSERT_TRUE(m_bSdl && m_Pad->IsPlugged()) << SDL_GetError();
    m_Game.NewGame();
    ASSERT_TRUE(PadRunUntil(S::STATE_PLAYING));
    Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    ASSERT_TRUE(PadRunUntil(S::STATE_TURNING_IN));
    ASSERT_TRUE(PadRunUntil(S::STATE_PLAYING));
    EXPECT_EQ(m_Game.GetLevelnummer(), 2);
    Press(SDL_CONTROLLER_BUTTON_A); // level 2 has no help text
    ASSERT_FALSE(m_Game.IsLevelSelect());
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);

    // Full and half deflection beyond the dead zone: the paddle's speed (20) and half of it.
    CPaddel& paddle = m_Game.GetPaddel();
    const auto travel = [&](int axis) {
        paddle.Reset(2, D3DXVECTOR3(10, 0, 1), 4, 20);
        m_Pad->Stick(axis);
        for (int i = 0; i < 10; ++i) {
            PadFrame(0.02f);
        }
        m_Pad->Stick(0);
        PadFrame(0);
        return paddle.GetPosition().x - 10.0f;
    };
    EXPECT_NEAR(travel(32767), 4.0f, 0.01f);
    EXPECT_NEAR(travel(-(8192 + 12288)), -2.0f, 0.01f);

    Press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(m_Game.GetBalls().Count(), 1);
    Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(m_Game.IsPaused());
    Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_FALSE(m_Game.IsPaused());
    const float z = m_Game.GetBalls().Get(0).GetPosition().z;
    m_Pad->Unplug();
    PadFrame();
    EXPECT_TRUE(m_Game.IsPaused());
    PadFrame(0.5f);
    EXPECT_EQ(m_Game.GetBalls().Get(0).GetPosition().z, z);
}

TEST_F(SdlControllerGame, TheControllerAlonePlaysFromTheMenuToTheNextLevel) {
    ASSERT_TRUE(m_bSdl && m_Pad->IsPlugged()) << SDL_GetError();
    // The menu: the D-pad moves the focus down to the end button and back up to start, and
    // A takes it.
    CMenu menu;
    menu.Init(&m_Direct3D, &m_Input, &m_Sound, &m_Game);
    const auto menuFrame = [&](float dt) {
        SDL_PumpEvents();
        m_Input.Update();
        return menu.Update(dt);
    };
    const auto menuPress = [&](SDL_GameControllerButton button) {
        menuFrame(0.01f);
        m_Pad->Hold(button, true);
        menuFrame(0.01f);
        m_Pad->Hold(button, false);
        menuFrame(0.01f);
    };
    menuFrame(0.01f);
    for (const SDL_GameControllerButton button :
         {SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
          SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_UP}) {
        menuPress(button);
    }
    EXPECT_EQ(menu.GetFocus(), 1);
    menuPress(SDL_CONTROLLER_BUTTON_DPAD_UP);
    menuPress(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(menu.GetState(), CMenu::MENU_STARTING);
    EProgramState next = PROGRAM_MENU;
    for (int i = 0; i < 300 && next == PROGRAM_MENU; ++i) {
        next = menuFrame(0.01f);
    }
    ASSERT_EQ(next, PROGRAM_GAME);

    // The level selection, the help text, then play: the autopilot holds the stick towards
    // the ball nearest to the paddle's row until it comes close, and A launches when no ball
    // is in play.
    ASSERT_TRUE(PadRunUntil(S::STATE_PLAYING));
    ASSERT_TRUE(m_Game.IsLevelSelect());
    Press(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_HELP);
    Press(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
    SeedRand(7);
    for (int frame = 0; frame < 100000 && m_Game.GetGameState() == S::STATE_PLAYING; ++frame) {
        const float dx = AutopilotOffset();
        m_Pad->Stick(static_cast<int>(std::clamp(dx * 20000.0f, -32767.0f, 32767.0f)));
        m_Pad->Hold(SDL_CONTROLLER_BUTTON_A, m_Game.GetBalls().Count() == 0);
        PadFrame();
        m_Pad->Hold(SDL_CONTROLLER_BUTTON_A, false);
        PadFrame(0);
    }
    m_Pad->Stick(0);
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_STATISTICS);
    Press(SDL_CONTROLLER_BUTTON_A);
    ASSERT_TRUE(PadRunUntil(S::STATE_TURNING_IN));
    EXPECT_EQ(m_Game.GetLevelnummer(), 2);
}

} // namespace
