#pragma once

#include <array>
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

} // namespace platform
