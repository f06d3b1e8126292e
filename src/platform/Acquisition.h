#pragma once

namespace platform {

// Acquisition as DirectInput has it: a device delivers its state only while acquired; it
// loses the acquisition when its window leaves the foreground, and does not get it back by
// itself when the window returns: the next Acquire does that.
class CAcquisition {
  public:
    // inForeground is the window's flag; it must outlive this object.
    explicit CAcquisition(const bool& inForeground) : m_InForeground(inForeground) {}

    bool Acquire() {
        m_bAcquired = m_InForeground;
        return m_bAcquired;
    }
    void Unacquire() { m_bAcquired = false; }
    // True while the device may be read.
    bool Check() {
        if (!m_InForeground) {
            m_bAcquired = false;
        }
        return m_bAcquired;
    }

  private:
    const bool& m_InForeground;
    bool m_bAcquired = false;
};

} // namespace platform
