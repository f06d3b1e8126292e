#pragma once

#include "RecordingDevice.h"
#include "platform/SoundDevice.h"
#include "platform/Window.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// What the devices of a headless window share with the test that drives them.
struct SHeadlessScript {
    // Input: the state the keyboard and mouse deliver at their next reading. The mouse
    // movement is consumed by a reading, as a real mouse's is.
    KeyboardState keys{};
    SMouseState mouse{};
    bool inForeground = true; // false: devices lose their acquisition, readings fail
    // A game controller: none until connected is set; unplugged when it is cleared.
    SControllerState controller{};

    // Graphics: every frame call of the device in order, and what should fail. With record
    // off the device still keeps its state but neither records draws nor writes the trace,
    // so that a long run costs neither time nor memory for them.
    std::vector<std::string> trace;
    bool record = true;
    bool failPresent = false;
    bool failCreateDevice = false;

    // The display: its modes, its name and the desktop's size.
    std::vector<SDisplayMode> displayModes = {
        {640, 480, 16, 60}, {800, 600, 16, 60},  {1024, 768, 16, 60}, {640, 480, 32, 60},
        {800, 600, 32, 60}, {1024, 768, 32, 60}, {1024, 768, 32, 75}, {1280, 1024, 32, 60},
    };
    std::string adapterDescription = "Headless display";
    int iconWidth = 0; // the width of the icon set last

    // Sound: the clock in seconds on which silent buffers and music play, and whether the
    // sound device should be missing (a machine without a sound card).
    double audioClock = 0.0;
    bool noSoundDevice = false;
    int desktopWidth = 1280;
    int desktopHeight = 1024;
    int refreshRate = 60; // of the display the window is on; 0: unknown
    bool hidden = false;  // the window minimised or hidden

    // What the last device was created with.
    SPresentParameters presentParameters;
};

// A window without a screen, for tests: its queue holds what the test posts, its devices
// record what is drawn and deliver the scripted input.
class CHeadlessWindow final : public IWindow {
  public:
    CHeadlessWindow(int width, int height);

    void Post(SMessage::EKind kind) { m_Queue.push_back(SMessage{kind}); }
    SHeadlessScript& Script() { return *m_Script; }

    bool PeekMessage(SMessage& message) override;
    void Destroy() override;
    bool IsDestroyed() const override { return m_bDestroyed; }
    void SetIcon(const SImage& icon) override { m_Script->iconWidth = icon.width; }
    int GetWidth() const override { return m_iWidth; }
    int GetHeight() const override { return m_iHeight; }
    std::vector<SDisplayMode> GetDisplayModes() const override { return m_Script->displayModes; }
    std::string GetAdapterDescription() const override { return m_Script->adapterDescription; }
    int GetDesktopWidth() const override { return m_Script->desktopWidth; }
    int GetDesktopHeight() const override { return m_Script->desktopHeight; }
    int GetRefreshRate() const override { return m_Script->refreshRate; }
    bool IsHidden() const override { return m_Script->hidden; }
    bool HasFocus() const override { return m_Script->inForeground; }
    std::unique_ptr<IGraphicsDevice> CreateDevice(const SPresentParameters& parameters,
                                                  std::string& error) override;
    std::unique_ptr<IDirectSound> CreateSoundDevice(std::string& error) override;
    // The device made last, while it lives.
    CRecordingDevice* GetRecordingDevice() const { return m_pDevice; }
    std::unique_ptr<IKeyboardDevice> CreateKeyboard() override;
    std::unique_ptr<IMouseDevice> CreateMouse() override;
    std::unique_ptr<IControllerDevice> CreateController() override;

  private:
    int m_iWidth;
    int m_iHeight;
    bool m_bDestroyed = false;
    bool m_bQuitPosted = false;
    std::deque<SMessage> m_Queue;
    CRecordingDevice* m_pDevice = nullptr;
    std::shared_ptr<SHeadlessScript> m_Script;
};

} // namespace platform
