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

// Where, in how many frames and with which direction a ball that comes towards the paddle
// reaches it; ball is -1 when none does.
struct SContact {
    int ball = -1;
    long frames = 0;
    float x = 0;
    float dx = 0;
    float dz = 0;
};

// The ball of the game that reaches the paddle first, with frames of the given seconds.
inline SContact NextContact(CGame& game, float frameTime) {
    const CBalls& balls = game.GetBalls();
    const float pz = game.GetPaddel().GetPosition().z;
    const float width = game.GetBoard().GetSizeX();
    SContact best;
    for (int i = 0; i < balls.Count(); ++i) {
        const CBall& ball = balls.Get(i);
        const D3DXVECTOR3& p = ball.GetPosition();
        const D3DXVECTOR3& d = ball.GetDirection();
        const float step = ball.GetSpeed() * frameTime;
        if (d.z >= 0 || step <= 0) {
            continue;
        }
        const float r = ball.GetRadius();
        const float above = p.z - (pz + r);
        const long frames =
            above <= 0 ? 1 : std::max(1L, std::lround(std::ceil(above / (-d.z * step))));
        if (best.ball < 0 || frames < best.frames) {
            bool flipped = false;
            best.ball = i;
            best.frames = frames;
            best.x = Fold(p.x + d.x * step * static_cast<float>(frames), r, width, &flipped);
            best.dx = flipped ? -d.x : d.x;
            best.dz = d.z;
        }
    }
    return best;
}

// The mouse counts in a frame of dt seconds that give the paddle the velocity v, within its
// speed limit, and the velocity that counts give (the player's mouse steering).
inline int MouseCountsFor(float v, float dt, float sensitivity, float limit) {
    const float clamped = std::clamp(v, -limit, limit);
    return static_cast<int>(std::lround(clamped * dt / (sensitivity * CPlayer::kMouseFrame)));
}
inline float MouseVelocity(int counts, float dt, float sensitivity, float limit) {
    if (!(dt > 0)) {
        return 0;
    }
    const float v = static_cast<float>(counts) * sensitivity * (CPlayer::kMouseFrame / dt);
    return std::clamp(v, -limit, limit);
}

} // namespace test
