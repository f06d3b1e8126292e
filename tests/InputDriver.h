#pragma once

#include "input/Input.h"
#include "platform/headless/HeadlessWindow.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>

namespace test {

// Scripted input through a headless window, around frames that its owner runs: a key or a
// mouse button held for one frame between two frames that see it up (a press counts only
// when a query saw it released before), the game's cursor moved to a point, and frames run
// until something happens. The frame function gets the game time of the frame, dt for the
// frame of a press and 0 for the frames around it; an owner whose clock sets the time
// ignores it. A frame function that returns false ends what the driver does.
class CInputDriver {
  public:
    using Frame = std::function<bool(float dt)>;

    CInputDriver(platform::SHeadlessScript& script, const CInput& input, Frame frame)
        : m_Script(script), m_Input(input), m_Frame(std::move(frame)) {}

    bool Tap(int key, float dt = 0.01f) {
        return Press(m_Script.keys[static_cast<std::size_t>(key)], dt);
    }
    bool Click(int button, float dt = 0.01f) {
        return Press(m_Script.mouse.rgbButtons[static_cast<std::size_t>(button)], dt);
    }

    // Moves the cursor towards (x, y), a frame for each move, until arrived() holds or the
    // moves are spent. The mouse moves the cursor by 1.5 × its motion, so each move gets it
    // to within a pixel or two unless an edge of the screen stops it.
    template <typename Arrived>
    bool MoveCursor(int x, int y, int moves, Arrived arrived) {
        for (int move = 0; move < moves && !arrived(); ++move) {
            m_Script.mouse.lX = static_cast<int>(std::lround((x - m_Input.GetMouseX()) / 1.5));
            m_Script.mouse.lY = static_cast<int>(std::lround((y - m_Input.GetMouseY()) / 1.5));
            if (!m_Frame(0)) {
                return false;
            }
        }
        return true;
    }

    // Runs frames of dt until done() holds, or spent() says that the budget is over; false
    // when a frame failed or done() did not come to hold.
    template <typename Done, typename Spent>
    bool RunUntil(Done done, Spent spent, float dt) {
        while (!done()) {
            if (spent() || !m_Frame(dt)) {
                return done();
            }
        }
        return true;
    }

  private:
    bool Press(std::uint8_t& state, float dt) {
        if (!m_Frame(0)) {
            return false;
        }
        state = 0x80;
        const bool down = m_Frame(dt);
        state = 0;
        return down && m_Frame(0);
    }

    platform::SHeadlessScript& m_Script;
    const CInput& m_Input;
    Frame m_Frame;
};

} // namespace test
