#pragma once

#include "Window.h"

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

    // Graphics: every device call in order, and whether Present should fail.
    std::vector<std::string> trace;
    bool failPresent = false;
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
    int GetWidth() const override { return m_iWidth; }
    int GetHeight() const override { return m_iHeight; }
    std::unique_ptr<IGraphicsDevice> CreateDevice() override;
    std::unique_ptr<IKeyboardDevice> CreateKeyboard() override;
    std::unique_ptr<IMouseDevice> CreateMouse() override;

  private:
    int m_iWidth;
    int m_iHeight;
    bool m_bDestroyed = false;
    bool m_bQuitPosted = false;
    std::deque<SMessage> m_Queue;
    std::shared_ptr<SHeadlessScript> m_Script;
};

} // namespace platform
