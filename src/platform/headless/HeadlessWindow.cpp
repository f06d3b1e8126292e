#include "HeadlessWindow.h"

#include "platform/Acquisition.h"

namespace platform {
namespace {

class CScriptedKeyboard final : public IKeyboardDevice {
  public:
    explicit CScriptedKeyboard(std::shared_ptr<SHeadlessScript> script)
        : m_Script(std::move(script)), m_Acquisition(m_Script->inForeground) {}

    bool Acquire() override { return m_Acquisition.Acquire(); }
    void Unacquire() override { m_Acquisition.Unacquire(); }
    bool GetDeviceState(KeyboardState& state) override {
        if (!m_Acquisition.Check()) {
            return false;
        }
        state = m_Script->keys;
        return true;
    }

  private:
    std::shared_ptr<SHeadlessScript> m_Script;
    CAcquisition m_Acquisition;
};

class CScriptedMouse final : public IMouseDevice {
  public:
    explicit CScriptedMouse(std::shared_ptr<SHeadlessScript> script)
        : m_Script(std::move(script)), m_Acquisition(m_Script->inForeground) {}

    bool Acquire() override { return m_Acquisition.Acquire(); }
    void Unacquire() override { m_Acquisition.Unacquire(); }
    bool GetDeviceState(SMouseState& state) override {
        if (!m_Acquisition.Check()) {
            return false;
        }
        state = m_Script->mouse;
        m_Script->mouse.lX = m_Script->mouse.lY = m_Script->mouse.lZ = 0;
        return true;
    }

  private:
    std::shared_ptr<SHeadlessScript> m_Script;
    CAcquisition m_Acquisition;
};

// The controller as the script holds it: plugged in while connected is set.
class CScriptedController final : public IControllerDevice {
  public:
    explicit CScriptedController(std::shared_ptr<SHeadlessScript> script)
        : m_Script(std::move(script)) {}

    void GetDeviceState(SControllerState& state) override {
        state = m_Script->controller.connected ? m_Script->controller : SControllerState{};
    }

  private:
    std::shared_ptr<SHeadlessScript> m_Script;
};

} // namespace

CHeadlessWindow::CHeadlessWindow(int width, int height)
    : m_iWidth(width), m_iHeight(height), m_Script(std::make_shared<SHeadlessScript>()) {}

bool CHeadlessWindow::PeekMessage(SMessage& message) {
    if (!m_Queue.empty()) {
        message = m_Queue.front();
        m_Queue.pop_front();
        return true;
    }
    if (m_bQuitPosted) {
        message = SMessage{SMessage::EKind::Quit};
        return true;
    }
    return false;
}

void CHeadlessWindow::Destroy() {
    m_bDestroyed = true;
    m_bQuitPosted = true;
}

std::unique_ptr<IGraphicsDevice> CHeadlessWindow::CreateDevice(const SPresentParameters& parameters,
                                                               std::string& error) {
    m_Script->presentParameters = parameters;
    if (m_Script->failCreateDevice) {
        error = "Das Gerät wurde für den Test verweigert.";
        return nullptr;
    }
    auto device = std::make_unique<CRecordingDevice>(m_Script, parameters.width, parameters.height);
    m_pDevice = device.get();
    return device;
}

std::unique_ptr<IKeyboardDevice> CHeadlessWindow::CreateKeyboard() {
    return std::make_unique<CScriptedKeyboard>(m_Script);
}

std::unique_ptr<IMouseDevice> CHeadlessWindow::CreateMouse() {
    return std::make_unique<CScriptedMouse>(m_Script);
}

std::unique_ptr<IControllerDevice> CHeadlessWindow::CreateController() {
    return std::make_unique<CScriptedController>(m_Script);
}

} // namespace platform
