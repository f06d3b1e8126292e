#include "SdlShared.h"
#include "platform/Acquisition.h"
#include "platform/InputDevices.h"
#include "platform/KeyCodes.h"

#include <array>

namespace platform {
namespace {

// A mouse button's byte of the mouse state: 0x80 while it is down.
std::uint8_t Pressed(std::uint32_t buttons, std::uint32_t mask) {
    return (buttons & mask) != 0 ? std::uint8_t{0x80} : std::uint8_t{0};
}

// The key code of every SDL scancode that a PC keyboard has a DirectInput code for.
constexpr std::array<std::uint8_t, SDL_NUM_SCANCODES> MakeKeyTable() {
    std::array<std::uint8_t, SDL_NUM_SCANCODES> t{};
    t[SDL_SCANCODE_ESCAPE] = DIK_ESCAPE;
    t[SDL_SCANCODE_1] = DIK_1;
    t[SDL_SCANCODE_2] = DIK_2;
    t[SDL_SCANCODE_3] = DIK_3;
    t[SDL_SCANCODE_4] = DIK_4;
    t[SDL_SCANCODE_5] = DIK_5;
    t[SDL_SCANCODE_6] = DIK_6;
    t[SDL_SCANCODE_7] = DIK_7;
    t[SDL_SCANCODE_8] = DIK_8;
    t[SDL_SCANCODE_9] = DIK_9;
    t[SDL_SCANCODE_0] = DIK_0;
    t[SDL_SCANCODE_MINUS] = DIK_MINUS;
    t[SDL_SCANCODE_EQUALS] = DIK_EQUALS;
    t[SDL_SCANCODE_BACKSPACE] = DIK_BACK;
    t[SDL_SCANCODE_TAB] = DIK_TAB;
    t[SDL_SCANCODE_Q] = DIK_Q;
    t[SDL_SCANCODE_W] = DIK_W;
    t[SDL_SCANCODE_E] = DIK_E;
    t[SDL_SCANCODE_R] = DIK_R;
    t[SDL_SCANCODE_T] = DIK_T;
    t[SDL_SCANCODE_Y] = DIK_Y;
    t[SDL_SCANCODE_U] = DIK_U;
    t[SDL_SCANCODE_I] = DIK_I;
    t[SDL_SCANCODE_O] = DIK_O;
    t[SDL_SCANCODE_P] = DIK_P;
    t[SDL_SCANCODE_LEFTBRACKET] = DIK_LBRACKET;
    t[SDL_SCANCODE_RIGHTBRACKET] = DIK_RBRACKET;
    t[SDL_SCANCODE_RETURN] = DIK_RETURN;
    t[SDL_SCANCODE_LCTRL] = DIK_LCONTROL;
    t[SDL_SCANCODE_A] = DIK_A;
    t[SDL_SCANCODE_S] = DIK_S;
    t[SDL_SCANCODE_D] = DIK_D;
    t[SDL_SCANCODE_F] = DIK_F;
    t[SDL_SCANCODE_G] = DIK_G;
    t[SDL_SCANCODE_H] = DIK_H;
    t[SDL_SCANCODE_J] = DIK_J;
    t[SDL_SCANCODE_K] = DIK_K;
    t[SDL_SCANCODE_L] = DIK_L;
    t[SDL_SCANCODE_SEMICOLON] = DIK_SEMICOLON;
    t[SDL_SCANCODE_APOSTROPHE] = DIK_APOSTROPHE;
    t[SDL_SCANCODE_GRAVE] = DIK_GRAVE;
    t[SDL_SCANCODE_LSHIFT] = DIK_LSHIFT;
    t[SDL_SCANCODE_BACKSLASH] = DIK_BACKSLASH;
    t[SDL_SCANCODE_NONUSHASH] = DIK_BACKSLASH;
    t[SDL_SCANCODE_Z] = DIK_Z;
    t[SDL_SCANCODE_X] = DIK_X;
    t[SDL_SCANCODE_C] = DIK_C;
    t[SDL_SCANCODE_V] = DIK_V;
    t[SDL_SCANCODE_B] = DIK_B;
    t[SDL_SCANCODE_N] = DIK_N;
    t[SDL_SCANCODE_M] = DIK_M;
    t[SDL_SCANCODE_COMMA] = DIK_COMMA;
    t[SDL_SCANCODE_PERIOD] = DIK_PERIOD;
    t[SDL_SCANCODE_SLASH] = DIK_SLASH;
    t[SDL_SCANCODE_RSHIFT] = DIK_RSHIFT;
    t[SDL_SCANCODE_KP_MULTIPLY] = DIK_MULTIPLY;
    t[SDL_SCANCODE_LALT] = DIK_LMENU;
    t[SDL_SCANCODE_SPACE] = DIK_SPACE;
    t[SDL_SCANCODE_CAPSLOCK] = DIK_CAPITAL;
    t[SDL_SCANCODE_F1] = DIK_F1;
    t[SDL_SCANCODE_F2] = DIK_F2;
    t[SDL_SCANCODE_F3] = DIK_F3;
    t[SDL_SCANCODE_F4] = DIK_F4;
    t[SDL_SCANCODE_F5] = DIK_F5;
    t[SDL_SCANCODE_F6] = DIK_F6;
    t[SDL_SCANCODE_F7] = DIK_F7;
    t[SDL_SCANCODE_F8] = DIK_F8;
    t[SDL_SCANCODE_F9] = DIK_F9;
    t[SDL_SCANCODE_F10] = DIK_F10;
    t[SDL_SCANCODE_NUMLOCKCLEAR] = DIK_NUMLOCK;
    t[SDL_SCANCODE_SCROLLLOCK] = DIK_SCROLL;
    t[SDL_SCANCODE_KP_7] = DIK_NUMPAD7;
    t[SDL_SCANCODE_KP_8] = DIK_NUMPAD8;
    t[SDL_SCANCODE_KP_9] = DIK_NUMPAD9;
    t[SDL_SCANCODE_KP_MINUS] = DIK_SUBTRACT;
    t[SDL_SCANCODE_KP_4] = DIK_NUMPAD4;
    t[SDL_SCANCODE_KP_5] = DIK_NUMPAD5;
    t[SDL_SCANCODE_KP_6] = DIK_NUMPAD6;
    t[SDL_SCANCODE_KP_PLUS] = DIK_ADD;
    t[SDL_SCANCODE_KP_1] = DIK_NUMPAD1;
    t[SDL_SCANCODE_KP_2] = DIK_NUMPAD2;
    t[SDL_SCANCODE_KP_3] = DIK_NUMPAD3;
    t[SDL_SCANCODE_KP_0] = DIK_NUMPAD0;
    t[SDL_SCANCODE_KP_PERIOD] = DIK_DECIMAL;
    t[SDL_SCANCODE_NONUSBACKSLASH] = DIK_OEM_102;
    t[SDL_SCANCODE_F11] = DIK_F11;
    t[SDL_SCANCODE_F12] = DIK_F12;
    t[SDL_SCANCODE_F13] = DIK_F13;
    t[SDL_SCANCODE_F14] = DIK_F14;
    t[SDL_SCANCODE_F15] = DIK_F15;
    t[SDL_SCANCODE_INTERNATIONAL2] = DIK_KANA;
    t[SDL_SCANCODE_INTERNATIONAL4] = DIK_CONVERT;
    t[SDL_SCANCODE_INTERNATIONAL5] = DIK_NOCONVERT;
    t[SDL_SCANCODE_INTERNATIONAL3] = DIK_YEN;
    t[SDL_SCANCODE_KP_EQUALS] = DIK_NUMPADEQUALS;
    t[SDL_SCANCODE_AUDIOPREV] = DIK_PREVTRACK;
    t[SDL_SCANCODE_AUDIONEXT] = DIK_NEXTTRACK;
    t[SDL_SCANCODE_KP_ENTER] = DIK_NUMPADENTER;
    t[SDL_SCANCODE_RCTRL] = DIK_RCONTROL;
    t[SDL_SCANCODE_AUDIOMUTE] = DIK_MUTE;
    t[SDL_SCANCODE_MUTE] = DIK_MUTE;
    t[SDL_SCANCODE_AUDIOPLAY] = DIK_PLAYPAUSE;
    t[SDL_SCANCODE_AUDIOSTOP] = DIK_MEDIASTOP;
    t[SDL_SCANCODE_VOLUMEDOWN] = DIK_VOLUMEDOWN;
    t[SDL_SCANCODE_VOLUMEUP] = DIK_VOLUMEUP;
    t[SDL_SCANCODE_KP_COMMA] = DIK_NUMPADCOMMA;
    t[SDL_SCANCODE_KP_DIVIDE] = DIK_DIVIDE;
    t[SDL_SCANCODE_PRINTSCREEN] = DIK_SYSRQ;
    t[SDL_SCANCODE_SYSREQ] = DIK_SYSRQ;
    t[SDL_SCANCODE_RALT] = DIK_RMENU;
    t[SDL_SCANCODE_PAUSE] = DIK_PAUSE;
    t[SDL_SCANCODE_HOME] = DIK_HOME;
    t[SDL_SCANCODE_UP] = DIK_UP;
    t[SDL_SCANCODE_PAGEUP] = DIK_PRIOR;
    t[SDL_SCANCODE_LEFT] = DIK_LEFT;
    t[SDL_SCANCODE_RIGHT] = DIK_RIGHT;
    t[SDL_SCANCODE_END] = DIK_END;
    t[SDL_SCANCODE_DOWN] = DIK_DOWN;
    t[SDL_SCANCODE_PAGEDOWN] = DIK_NEXT;
    t[SDL_SCANCODE_INSERT] = DIK_INSERT;
    t[SDL_SCANCODE_DELETE] = DIK_DELETE;
    t[SDL_SCANCODE_LGUI] = DIK_LWIN;
    t[SDL_SCANCODE_RGUI] = DIK_RWIN;
    t[SDL_SCANCODE_APPLICATION] = DIK_APPS;
    t[SDL_SCANCODE_POWER] = DIK_POWER;
    t[SDL_SCANCODE_SLEEP] = DIK_SLEEP;
    return t;
}

constexpr std::array<std::uint8_t, SDL_NUM_SCANCODES> kKeyTable = MakeKeyTable();

class CSdlKeyboard final : public IKeyboardDevice {
  public:
    explicit CSdlKeyboard(std::shared_ptr<SSdlShared> shared)
        : m_Shared(std::move(shared)), m_Acquisition(m_Shared->inForeground) {}

    bool Acquire() override { return m_Acquisition.Acquire(); }
    void Unacquire() override { m_Acquisition.Unacquire(); }
    bool GetDeviceState(KeyboardState& state) override {
        if (!m_Acquisition.Check()) {
            return false;
        }
        int count = 0;
        const Uint8* keys = SDL_GetKeyboardState(&count);
        state.fill(0);
        for (int scancode = 0; scancode < count && scancode < SDL_NUM_SCANCODES; ++scancode) {
            const auto index = static_cast<std::size_t>(scancode);
            if ((keys[scancode] != 0 || m_Shared->keysPressed[index]) && kKeyTable[index] != 0 &&
                !m_Shared->keysTaken[index]) {
                state[kKeyTable[index]] = 0x80;
            }
        }
        m_Shared->keysPressed.fill(false);
        return true;
    }

  private:
    std::shared_ptr<SSdlShared> m_Shared;
    CAcquisition m_Acquisition;
};

// The mouse in relative mode while acquired: the system cursor is hidden and motion is
// reported without the limits of the screen; the game draws its own cursor.
class CSdlMouse final : public IMouseDevice {
  public:
    explicit CSdlMouse(std::shared_ptr<SSdlShared> shared)
        : m_Shared(std::move(shared)), m_Acquisition(m_Shared->inForeground) {}
    ~CSdlMouse() override { Unacquire(); }
    CSdlMouse(const CSdlMouse&) = delete;
    CSdlMouse& operator=(const CSdlMouse&) = delete;

    bool Acquire() override {
        if (m_Acquisition.Acquire()) {
            SDL_SetRelativeMouseMode(SDL_TRUE);
            SDL_GetRelativeMouseState(nullptr, nullptr); // forget motion from before
            return true;
        }
        return false;
    }
    void Unacquire() override {
        m_Acquisition.Unacquire();
        SDL_SetRelativeMouseMode(SDL_FALSE);
    }
    bool GetDeviceState(SMouseState& state) override {
        if (!m_Acquisition.Check()) {
            SDL_SetRelativeMouseMode(SDL_FALSE);
            return false;
        }
        int dx = 0;
        int dy = 0;
        const Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy) | m_Shared->buttonsPressed;
        m_Shared->buttonsPressed = 0;
        state.lX = dx;
        state.lY = dy;
        state.lZ = m_Shared->wheel * 120; // WHEEL_DELTA per notch
        m_Shared->wheel = 0;
        state.rgbButtons[0] = Pressed(buttons, SDL_BUTTON_LMASK);
        state.rgbButtons[1] = Pressed(buttons, SDL_BUTTON_RMASK);
        state.rgbButtons[2] = Pressed(buttons, SDL_BUTTON_MMASK);
        state.rgbButtons[3] = Pressed(buttons, SDL_BUTTON_X1MASK);
        return true;
    }

  private:
    std::shared_ptr<SSdlShared> m_Shared;
    CAcquisition m_Acquisition;
};

} // namespace

std::unique_ptr<IKeyboardDevice> CreateSdlKeyboard(std::shared_ptr<SSdlShared> shared) {
    return std::make_unique<CSdlKeyboard>(std::move(shared));
}

std::unique_ptr<IMouseDevice> CreateSdlMouse(std::shared_ptr<SSdlShared> shared) {
    return std::make_unique<CSdlMouse>(std::move(shared));
}

} // namespace platform
