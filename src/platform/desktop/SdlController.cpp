#include "SdlShared.h"
#include "platform/InputDevices.h"

#include <memory>

namespace platform {
namespace {

struct SControllerCloser {
    void operator()(SDL_GameController* controller) const { SDL_GameControllerClose(controller); }
};

// The SDL buttons behind the game's, in the order of EPadButton.
constexpr SDL_GameControllerButton kButtons[kPadButtons] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};

// Every joystick that SDL's controller database (built in, with what SDL_GAMECONTROLLERCONFIG
// and SDL_GAMECONTROLLERCONFIG_FILE add) knows as a game controller. The window's message loop
// pumps SDL's events, which also brings controllers in and out and updates their state.
class CSdlController final : public IControllerDevice {
  public:
    explicit CSdlController(std::shared_ptr<SSdlShared> shared)
        : m_Shared(std::move(shared)),
          m_bSubsystem(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {}
    ~CSdlController() override {
        m_pController.reset();
        if (m_bSubsystem) {
            SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        }
    }
    CSdlController(const CSdlController&) = delete;
    CSdlController& operator=(const CSdlController&) = delete;

    void GetDeviceState(SControllerState& state) override {
        state = SControllerState{};
        if (!m_bSubsystem) {
            return;
        }
        if (m_pController && SDL_GameControllerGetAttached(m_pController.get()) == SDL_FALSE) {
            m_pController.reset();
            m_iJoysticksSeen = -1; // another one may have come meanwhile
        }
        if (!m_pController) {
            Open();
        }
        SDL_GameController* controller = m_pController.get();
        if (controller == nullptr) {
            return;
        }
        state.connected = true;
        state.leftX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
        // A press shorter than a frame still shows as down once.
        const Uint32 pressed = m_Shared ? m_Shared->padButtonsPressed : 0;
        if (m_Shared) {
            m_Shared->padButtonsPressed = 0;
        }
        for (std::size_t i = 0; i < kPadButtons; ++i) {
            const bool down = SDL_GameControllerGetButton(controller, kButtons[i]) != 0 ||
                              (pressed & (1u << kButtons[i])) != 0;
            state.buttons[i] = down ? 0x80 : 0;
        }
    }

  private:
    // The first game controller among the joysticks, looked for again only when their number
    // changed since the last look.
    void Open() {
        const int joysticks = SDL_NumJoysticks();
        if (joysticks == m_iJoysticksSeen) {
            return;
        }
        m_iJoysticksSeen = joysticks;
        for (int i = 0; i < joysticks && !m_pController; ++i) {
            if (SDL_IsGameController(i) == SDL_TRUE) {
                m_pController.reset(SDL_GameControllerOpen(i));
            }
        }
    }

    std::shared_ptr<SSdlShared> m_Shared; // SDL stays initialised while the device lives
    bool m_bSubsystem;
    std::unique_ptr<SDL_GameController, SControllerCloser> m_pController;
    int m_iJoysticksSeen = -1;
};

} // namespace

std::unique_ptr<IControllerDevice> CreateSdlController(std::shared_ptr<SSdlShared> shared) {
    return std::make_unique<CSdlController>(std::move(shared));
}

} // namespace platform
