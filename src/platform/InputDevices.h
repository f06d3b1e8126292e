#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace platform {

// The keyboard as one state byte per key code (KeyCodes.h): 0x80 while the key is down.
using KeyboardState = std::array<std::uint8_t, 256>;

// The mouse as movement since the previous reading and the state of four buttons
// (0x80 while pressed): left, right, middle, fourth.
struct SMouseState {
    std::int32_t lX = 0;
    std::int32_t lY = 0;
    std::int32_t lZ = 0;
    std::array<std::uint8_t, 4> rgbButtons{};
};

// The buttons of a game controller that the game reads, named as SDL's controller database
// names them on the usual layout: A below, B to the right of the four face buttons.
enum class EPadButton : std::uint8_t {
    A,
    B,
    Back,
    Start,
    LeftShoulder,
    RightShoulder,
    Up, // the D-pad
    Down,
    Left,
    Right,
    Count
};
constexpr std::size_t kPadButtons = static_cast<std::size_t>(EPadButton::Count);

// The game controller in use: whether there is one, its left stick along x from -32768 (full
// left) to 32767 (full right), and its buttons (0x80 while down).
struct SControllerState {
    bool connected = false;
    std::int16_t leftX = 0;
    std::array<std::uint8_t, kPadButtons> buttons{};
};

// A keyboard or mouse device. A device delivers its state only while acquired; it loses the
// acquisition when the window leaves the foreground, and the next reading then fails until
// Acquire succeeds again.
class IKeyboardDevice {
  public:
    virtual ~IKeyboardDevice() = default;
    virtual bool Acquire() = 0;
    virtual void Unacquire() = 0;
    virtual bool GetDeviceState(KeyboardState& state) = 0;
};

class IMouseDevice {
  public:
    virtual ~IMouseDevice() = default;
    virtual bool Acquire() = 0;
    virtual void Unacquire() = 0;
    virtual bool GetDeviceState(SMouseState& state) = 0;
};

// The game controllers as they come and go. A reading describes the first one plugged in that
// is still there, or none. Controllers need no acquisition: while the window is in the
// background the reading may keep the last state.
class IControllerDevice {
  public:
    virtual ~IControllerDevice() = default;
    virtual void GetDeviceState(SControllerState& state) = 0;
};

} // namespace platform
