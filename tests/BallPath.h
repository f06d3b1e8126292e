#pragma once

// Where the balls of a game come down at the paddle: what an autopilot needs to stand under
// them. Used by the soak test and the frame benchmark.
#include "game/Game.h"

#include <algorithm>
#include <cmath>

namespace test {

// Where a ball of radius r at x ends up on a board of the width when it travels on along x,
// with the side walls turning it back; flipped tells whether it then moves the other way.
inline float Fold(float x, float r, float width, bool* flipped = nullptr) {
    const float span = width - 2 * r;
    if (span <= 0) {
        return width / 2;
    }
    const float t = (x - r) / span;
    const float n = std::floor(t);
    const bool odd = std::fmod(n, 2.0f) != 0;
    if (flipped != nullptr) {
        *flipped = odd;
    }
    return r + (odd ? 1 - (t - n) : t - n) * span;
}

// Where a ball at p moving along d (towards the paddle, d.z < 0) meets the front of the
// paddle's row, its centre a radius r in front of the paddle at pz: the way it travels
// until then (0 when it is in the row already) and its x and x direction there, the side
// walls of the board of the width turning it back.
struct SRowCrossing {
    float way = 0;
    float x = 0;
    float dx = 0;
};
inline SRowCrossing CrossRow(const D3DXVECTOR3& p, const D3DXVECTOR3& d, float r, float pz,
                             float width) {
    SRowCrossing crossing;
    crossing.way = std::max(0.0f, (p.z - (pz + r)) / -d.z);
    bool flipped = false;
    crossing.x = Fold(p.x + d.x * crossing.way, r, width, &flipped);
    crossing.dx = flipped ? -d.x : d.x;
    return crossing;
}

// Where, in how many seconds and with which direction a ball that comes towards the paddle
// reaches its row; ball is -1 when none does.
struct SContact {
    int ball = -1;
    float seconds = 0;
    float x = 0;
    float dx = 0;
    float dz = 0;
};

// The ball of the game that reaches the paddle's row first. A ball in the row reaches it
// now; one behind the row is past saving and does not count.
inline SContact NextContact(CGame& game) {
    const CBalls& balls = game.GetBalls();
    const float pz = game.GetPaddel().GetPosition().z;
    const float width = game.GetBoard().GetSizeX();
    SContact best;
    for (int i = 0; i < balls.Count(); ++i) {
        const CBall& ball = balls.Get(i);
        const D3DXVECTOR3& p = ball.GetPosition();
        const D3DXVECTOR3& d = ball.GetDirection();
        const float r = ball.GetRadius();
        if (d.z >= 0 || ball.GetSpeed() <= 0 || p.z < pz - r) {
            continue;
        }
        const SRowCrossing crossing = CrossRow(p, d, r, pz, width);
        const float seconds = crossing.way / ball.GetSpeed();
        if (best.ball < 0 || seconds < best.seconds) {
            best = SContact{i, seconds, crossing.x, crossing.dx, d.z};
        }
    }
    return best;
}

// The paddle velocity that counts of mouse motion in a frame of dt seconds give when the
// player holds nothing back from earlier frames (the mouse steering, within the speed
// limit), and the counts that come nearest the velocity v. In a frame short enough that one
// count already reaches the limit, that count is still given for a v beyond half the limit:
// rounding the counts alone would leave the paddle standing at high frame rates.
inline float MouseVelocity(int counts, float dt, float sensitivity, float limit) {
    if (!(dt > 0)) {
        return 0;
    }
    const float v = static_cast<float>(counts) * sensitivity * (CPlayer::kMouseFrame / dt);
    return std::clamp(v, -limit, limit);
}
inline int MouseCountsFor(float v, float dt, float sensitivity, float limit) {
    if (!(dt > 0) || std::isnan(v)) {
        return 0;
    }
    const float clamped = std::clamp(v, -limit, limit);
    const int counts =
        static_cast<int>(std::lround(clamped * dt / (sensitivity * CPlayer::kMouseFrame)));
    if (counts == 0 && clamped != 0) {
        const int one = clamped < 0 ? -1 : 1;
        if (std::abs(MouseVelocity(one, dt, sensitivity, limit) - clamped) < std::abs(clamped)) {
            return one;
        }
    }
    return counts;
}

} // namespace test
