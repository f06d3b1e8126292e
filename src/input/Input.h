#pragma once

#include "platform/InputDevices.h"
#include "platform/KeyCodes.h"
#include "platform/Window.h"

#include <array>
#include <cstdint>
#include <memory>

// Keyboard and mouse, read once per frame, and the game's own cursor.
class CInput {
  public:
    // The cursor starts at the top-left corner of the screen.
    CInput() = default;
    ~CInput();
    CInput(const CInput&) = delete;
    CInput& operator=(const CInput&) = delete;

    // Creates and acquires the keyboard and the mouse; the cursor stays on a
    // screen of the size given.
    void Init(platform::IDirectInput* directInput, int screenWidth, int screenHeight);
    // Reads both devices and moves the cursor by the mouse's motion × the sensitivity.
    void Update();

    // The key's state byte from the last Update: non-zero while down.
    std::uint8_t IsKeyDown(int key) const;
    // True once per press: when the key is down and this code's previous query while it
    // stayed down did not already report it.
    bool KeyPressed(int key);
    // The same for mouse buttons 0 (left), 1 (right) and 2.
    bool MouseButtonPressed(int button);

    int GetMouseX() const { return static_cast<int>(m_fMouseX); }
    int GetMouseY() const { return static_cast<int>(m_fMouseY); }
    // The mouse's own motion along x in this frame, without the sensitivity.
    float GetMouseMoveX() const { return static_cast<float>(m_MouseState.lX); }

  private:
    platform::IDirectInput* m_pDI = nullptr;
    std::unique_ptr<platform::IKeyboardDevice> m_pKeyboard;
    std::unique_ptr<platform::IMouseDevice> m_pMouse;
    platform::SMouseState m_MouseState;
    platform::KeyboardState m_Keys{};
    std::array<std::uint8_t, 3> m_ButtonLatch{};
    std::array<std::uint8_t, 256> m_KeyLatch{};
    float m_fMouseX = 0.0f;
    float m_fMouseY = 0.0f;
    float m_fSensitivity = 1.5f;
    int m_iScreenWidth = 0;
    int m_iScreenHeight = 0;
};
