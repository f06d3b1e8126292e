#pragma once

#include "GraphicsDevice.h"
#include "InputDevices.h"
#include "SoundDevice.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

// What a pass of the message loop can take from the window's queue.
struct SMessage {
    enum class EKind {
        Other,        // any other event: input, focus
        Paint,        // the window shows more or other than before (uncovered, resized)
        CloseRequest, // the window's close box, SIGTERM or SIGINT
        Quit,         // the window has been destroyed and the loop should end
    };
    EKind kind = EKind::Other;
};

// The display and the graphics devices on it, as the Direct3D object offers them.
class IDirect3D {
  public:
    virtual ~IDirect3D() = default;

    // The display modes of the first display, and the display's description.
    virtual std::vector<SDisplayMode> GetDisplayModes() const = 0;
    virtual std::string GetAdapterDescription() const = 0;
    // The desktop's size: a window of this size or less fits on it.
    virtual int GetDesktopWidth() const = 0;
    virtual int GetDesktopHeight() const = 0;
    // How often the display the window is on shows a new picture, in Hz; 0 when unknown.
    virtual int GetRefreshRate() const { return 0; }

    // A graphics device drawing into the window with a back buffer of the given size: in a
    // window of that size, or on the whole screen at the desktop's resolution, the picture
    // scaled to fit with its proportions kept. Null, with the reason in error, when it
    // cannot be created.
    virtual std::unique_ptr<IGraphicsDevice> CreateDevice(const SPresentParameters& parameters,
                                                          std::string& error) = 0;
};

// The window's keyboard and mouse, as the DirectInput object makes them, and the game
// controllers.
class IDirectInput {
  public:
    virtual ~IDirectInput() = default;

    // Each returns null when the device cannot be created.
    virtual std::unique_ptr<IKeyboardDevice> CreateKeyboard() = 0;
    virtual std::unique_ptr<IMouseDevice> CreateMouse() = 0;
    virtual std::unique_ptr<IControllerDevice> CreateController() = 0;
};

// The game's one window and its message queue, and the gateway to the devices that draw
// into it, play its sound and read input for it (as the window handle is on Windows).
class IWindow : public IDirect3D, public IDirectInput {
  public:
    ~IWindow() override = default;

    // Takes one message off the queue if there is one. After Destroy, once every other
    // message is taken, the queue answers with Quit.
    virtual bool PeekMessage(SMessage& message) = 0;
    // Hides the window for good and posts Quit. Calling it again does nothing.
    virtual void Destroy() = 0;
    virtual bool IsDestroyed() const = 0;

    // The picture the desktop shows for the window (title bar, task list).
    virtual void SetIcon(const SImage& icon) = 0;

    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    // True while nothing of the window can be seen: minimised or hidden.
    virtual bool IsHidden() const { return false; }
    // True while the window has the keyboard focus.
    virtual bool HasFocus() const { return true; }

    // The sound device for the program's sounds and music; null, with the reason, when
    // there is no sound output.
    virtual std::unique_ptr<IDirectSound> CreateSoundDevice(std::string& error) = 0;
};

} // namespace platform
