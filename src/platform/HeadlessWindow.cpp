#include "HeadlessWindow.h"

#include "Acquisition.h"

#include <cstdio>

namespace platform {
namespace {

class CRecordingDevice final : public IGraphicsDevice {
  public:
    explicit CRecordingDevice(std::shared_ptr<SHeadlessScript> script)
        : m_Script(std::move(script)) {}

    void Clear(std::uint32_t color, float z, std::uint32_t stencil) override {
        char text[64];
        std::snprintf(text, sizeof text, "Clear %08X %g %u", color, static_cast<double>(z),
                      stencil);
        m_Script->trace.emplace_back(text);
    }
    void BeginScene() override { m_Script->trace.emplace_back("BeginScene"); }
    void EndScene() override { m_Script->trace.emplace_back("EndScene"); }
    bool Present() override {
        m_Script->trace.emplace_back("Present");
        return !m_Script->failPresent;
    }

  private:
    std::shared_ptr<SHeadlessScript> m_Script;
};

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

std::unique_ptr<IGraphicsDevice> CHeadlessWindow::CreateDevice() {
    return std::make_unique<CRecordingDevice>(m_Script);
}

std::unique_ptr<IKeyboardDevice> CHeadlessWindow::CreateKeyboard() {
    return std::make_unique<CScriptedKeyboard>(m_Script);
}

std::unique_ptr<IMouseDevice> CHeadlessWindow::CreateMouse() {
    return std::make_unique<CScriptedMouse>(m_Script);
}

} // namespace platform
