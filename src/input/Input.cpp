#include "Input.h"

#include "settings/Log.h"

CInput::~CInput() {
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
