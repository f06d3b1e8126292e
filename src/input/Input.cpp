#include "Input.h"

#include "settings/Log.h"

#include <algorithm>
#include <cmath>

namespace {

// A stick's axis reading as a deflection from -1 to 1 beyond the dead zone.
float StickDeflection(std::int16_t axis) {
    const float full = axis < 0 ? 32768.0f : 32767.0f;
    const float x = static_cast<float>(axis) / full;
    const float beyond = (std::abs(x) - CInput::kStickDeadZone) / (1.0f - CInput::kStickDeadZone);
    return beyond <= 0.0f ? 0.0f : std::copysign(std::min(beyond, 1.0f), x);
}

} // namespace

CInput::~CInput() {
    m_pController.reset();
    m_pMouse.reset();
    if (m_pKeyboard) {
        m_pKeyboard->Unacquire();
        m_pKeyboard.reset();
    }
    m_pDI = nullptr;
}

void CInput::Init(platform::IDirectInput* directInput, int screenWidth, int screenHeight) {
    m_iScreenWidth = screenWidth;
    m_iScreenHeight = screenHeight;
    m_pDI = directInput;
    if (m_pDI == nullptr) {
        LogError("Direct X Input: Objekt konnte nicht erzeugt werden!");
    }
    m_pKeyboard = m_pDI != nullptr ? m_pDI->CreateKeyboard() : nullptr;
    if (m_pKeyboard) {
        m_pKeyboard->Acquire();
    } else {
        LogError("Direct XInput: Tastaturdevice konnte nicht angelegt werden!");
    }
    m_pMouse = m_pDI != nullptr ? m_pDI->CreateMouse() : nullptr;
    if (m_pMouse) {
        m_pMouse->Acquire();
    } else {
        LogError("Direct X Input: Mausdevice konnte nicht angelegt werden!");
    }
    // Without a controller device the game is played with the keyboard and mouse alone.
    m_pController = m_pDI != nullptr ? m_pDI->CreateController() : nullptr;
}

void CInput::Update() {
    if (m_pDI == nullptr) {
        LogError("Direct Input wurde nicht initialisiert!");
    }
    // A device that cannot be read even after acquiring it again (the window is in the
    // background) reports nothing held and no motion, so that no key stays down.
    if (m_pKeyboard && !m_pKeyboard->GetDeviceState(m_Keys)) {
        m_pKeyboard->Acquire();
        if (!m_pKeyboard->GetDeviceState(m_Keys)) {
            m_Keys.fill(0);
        }
    }
    if (m_pMouse && !m_pMouse->GetDeviceState(m_MouseState)) {
        m_pMouse->Acquire();
        if (!m_pMouse->GetDeviceState(m_MouseState)) {
            m_MouseState = platform::SMouseState{};
        }
    }
    const bool wasConnected = m_Controller.connected;
    if (m_pController) {
        m_pController->GetDeviceState(m_Controller);
    }
    m_bControllerLost = wasConnected && !m_Controller.connected;
    m_fStickX = StickDeflection(m_Controller.leftX);
    m_fMouseX += static_cast<float>(m_MouseState.lX) * m_fSensitivity;
    m_fMouseY += static_cast<float>(m_MouseState.lY) * m_fSensitivity;
    if (m_fMouseX < 0.0f) {
        m_fMouseX = 0.0f;
    }
    if (m_fMouseX > static_cast<float>(m_iScreenWidth)) {
        m_fMouseX = static_cast<float>(m_iScreenWidth);
    }
    if (m_fMouseY < 0.0f) {
        m_fMouseY = 0.0f;
    }
    if (m_fMouseY > static_cast<float>(m_iScreenHeight)) {
        m_fMouseY = static_cast<float>(m_iScreenHeight);
    }
}

std::uint8_t CInput::IsKeyDown(int key) const {
    return key >= 0 && key < 256 ? m_Keys[static_cast<std::size_t>(key)] : 0;
}

namespace {

bool WentDown(std::uint8_t state, std::uint8_t& latch) {
    if (state == 0) {
        latch = 0;
        return false;
    }
    if (latch == 0) {
        latch = 1;
        return true;
    }
    return false;
}

} // namespace

bool CInput::KeyPressed(int key) {
    if (key < 0 || key >= 256) {
        return false;
    }
    const auto index = static_cast<std::size_t>(key);
    return WentDown(m_Keys[index], m_KeyLatch[index]);
}

bool CInput::MouseButtonPressed(int button) {
    if (button < 0 || button >= 3) {
        return false;
    }
    const auto index = static_cast<std::size_t>(button);
    return WentDown(m_MouseState.rgbButtons[index], m_ButtonLatch[index]);
}

namespace {

using platform::EPadButton;

// The keys and controller buttons of each command, in the order of CInput::ECommand; 0 and
// Count fill the rows.
struct SCommandInputs {
    std::array<int, 3> keys;
    std::array<EPadButton, 2> buttons;
};
constexpr EPadButton kNone = EPadButton::Count;
constexpr std::array<SCommandInputs, static_cast<std::size_t>(CInput::ECommand::Count)> kCommands =
    {{
        {{DIK_RETURN, DIK_NUMPADENTER, DIK_SPACE}, {EPadButton::A, kNone}},
        {{DIK_ESCAPE, 0, 0}, {EPadButton::B, EPadButton::Back}},
        {{DIK_P, 0, 0}, {EPadButton::Start, kNone}},
        {{DIK_UP, 0, 0}, {EPadButton::Up, kNone}},
        {{DIK_DOWN, 0, 0}, {EPadButton::Down, kNone}},
        {{DIK_LEFT, 0, 0}, {EPadButton::Left, kNone}},
        {{DIK_RIGHT, 0, 0}, {EPadButton::Right, kNone}},
        {{DIK_SPACE, 0, 0}, {EPadButton::A, kNone}},
        {{0, 0, 0}, {EPadButton::LeftShoulder, kNone}},
        {{0, 0, 0}, {EPadButton::RightShoulder, kNone}},
    }};

} // namespace

bool CInput::PadButtonPressed(platform::EPadButton button) {
    const auto index = static_cast<std::size_t>(button);
    if (index >= platform::kPadButtons) {
        return false;
    }
    return WentDown(m_Controller.buttons[index], m_PadLatch[index]);
}

bool CInput::IsPadButtonDown(platform::EPadButton button) const {
    const auto index = static_cast<std::size_t>(button);
    return index < platform::kPadButtons && m_Controller.buttons[index] != 0;
}

bool CInput::CommandPressed(ECommand command) {
    const auto index = static_cast<std::size_t>(command);
    if (index >= kCommands.size()) {
        return false;
    }
    // Every key and button is asked, so that each one's press is counted now and not later.
    bool pressed = false;
    for (const int key : kCommands[index].keys) {
        pressed = (key != 0 && KeyPressed(key)) || pressed;
    }
    for (const EPadButton button : kCommands[index].buttons) {
        pressed = PadButtonPressed(button) || pressed;
    }
    return pressed;
}

bool CInput::IsLeftDown() const {
    return IsKeyDown(DIK_LEFT) != 0 || IsPadButtonDown(EPadButton::Left);
}

bool CInput::IsRightDown() const {
    return IsKeyDown(DIK_RIGHT) != 0 || IsPadButtonDown(EPadButton::Right);
}
