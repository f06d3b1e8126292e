#pragma once

#include "platform/InputDevices.h"
#include "platform/KeyCodes.h"
#include "platform/Window.h"

#include <array>
#include <cstdint>
#include <memory>

// Keyboard, mouse and game controller, read once per frame, and the game's own cursor.
class CInput {
  public:
    // What the player asks for, the same from the keyboard and from the controller.
    enum class ECommand {
        Confirm, // Enter, Space; A
        Back,    // Escape; B, Back
        Pause,   // P; Start
        Up,      // the arrow keys; the D-pad
        Down,
        Left,
        Right,
        Launch,       // Space; A
        PreviousView, // the shoulder buttons
        NextView,
        Count
    };

    // The cursor starts at the top-left corner of the screen.
    CInput() = default;
    ~CInput();
    CInput(const CInput&) = delete;
    CInput& operator=(const CInput&) = delete;

    // Creates and acquires the keyboard and the mouse, and opens the controllers; the cursor
    // stays on a screen of the size given.
    void Init(platform::IDirectInput* directInput, int screenWidth, int screenHeight);
    // Reads the devices and moves the cursor by the mouse's motion × the sensitivity.
    void Update();

    // The key's state byte from the last Update: non-zero while down.
    std::uint8_t IsKeyDown(int key) const;
    // True once per press: when the key is down and this code's previous query while it
    // stayed down did not already report it.
    bool KeyPressed(int key);
    // The same for mouse buttons 0 (left), 1 (right) and 2.
    bool MouseButtonPressed(int button);
    // The same for a controller's button, and for a command from any of its keys and buttons
    // (each of them counted once, even when two go down together).
    bool PadButtonPressed(platform::EPadButton button);
    bool CommandPressed(ECommand command);
    bool IsPadButtonDown(platform::EPadButton button) const;
    // Steering held: the arrow key or the D-pad.
    bool IsLeftDown() const;
    bool IsRightDown() const;

    // The controller's left stick along x: from -1 (full left) to 1 (full right), 0 within a
    // dead zone around the centre that a resting stick never leaves; in between in
    // proportion.
    float GetStickX() const { return m_fStickX; }
    bool IsControllerConnected() const { return m_Controller.connected; }
    // True after the Update that found the controller unplugged.
    bool ControllerLost() const { return m_bControllerLost; }
    // The share of the stick's travel on either side of the centre that counts as resting.
    static constexpr float kStickDeadZone = 0.25f;

    int GetMouseX() const { return static_cast<int>(m_fMouseX); }
    int GetMouseY() const { return static_cast<int>(m_fMouseY); }
    // The mouse's own motion along x in this frame, without the sensitivity.
    float GetMouseMoveX() const { return static_cast<float>(m_MouseState.lX); }

  private:
    platform::IDirectInput* m_pDI = nullptr;
    std::unique_ptr<platform::IKeyboardDevice> m_pKeyboard;
    std::unique_ptr<platform::IMouseDevice> m_pMouse;
    std::unique_ptr<platform::IControllerDevice> m_pController;
    platform::SControllerState m_Controller;
    std::array<std::uint8_t, platform::kPadButtons> m_PadLatch{};
    float m_fStickX = 0.0f;
    bool m_bControllerLost = false;
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
