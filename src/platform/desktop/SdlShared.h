#pragma once

#include "platform/GraphicsDevice.h"
#include "platform/InputDevices.h"

#include <SDL.h>

#include <array>
#include <memory>
#include <string>

namespace platform {

// What the SDL window shares with the devices it creates. The devices may outlive the
// window object; the SDL window itself lives as long as the last of them.
struct SSdlShared {
    SDL_Window* window = nullptr;
    bool inForeground = true; // cleared when the window loses the keyboard focus
    int wheel = 0;            // wheel steps not yet read by the mouse device
    // Keys and buttons that went down since the devices' last reading: a tap shorter than a
    // frame still shows as down once.
    std::array<bool, SDL_NUM_SCANCODES> keysPressed{};
    Uint32 buttonsPressed = 0;
    Uint32 padButtonsPressed = 0; // of any controller, a bit for each SDL_GameControllerButton
    // Keys that went down as the window's own shortcuts (full screen on and off): the
    // keyboard device leaves them out until they are released.
    std::array<bool, SDL_NUM_SCANCODES> keysTaken{};

    SSdlShared() = default;
    SSdlShared(const SSdlShared&) = delete; // a copy would destroy the window twice
    SSdlShared& operator=(const SSdlShared&) = delete;
    ~SSdlShared();
};

// vsync: presenting waits for the vertical retrace where the display allows it.
std::unique_ptr<IGraphicsDevice> CreateGlDevice(std::shared_ptr<SSdlShared> shared, int width,
                                                int height, bool vsync, std::string& error);
std::unique_ptr<IKeyboardDevice> CreateSdlKeyboard(std::shared_ptr<SSdlShared> shared);
std::unique_ptr<IMouseDevice> CreateSdlMouse(std::shared_ptr<SSdlShared> shared);
// Null shared: SDL is initialised and ended by the caller (tests without a window).
std::unique_ptr<IControllerDevice> CreateSdlController(std::shared_ptr<SSdlShared> shared);

} // namespace platform
