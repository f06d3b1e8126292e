#include "FieldSupport.h"
#include "platform/D3DXMath.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

class Balls : public test::CFieldTest {
  protected:
    Balls() {
        InitField();
        WriteLayout(1, "");
        StartLevel(1);
        g_Log.Open();
    }
};

TEST_F(Balls, DirectionIsNormalisedAndTheBallSitsOnTheFloor) {
    m_Balls.Add({5, 7, 5}, {3, 0, 4});
    const CBall& ball = m_Balls.Get(0);
    EXPECT_EQ(ball.GetDirection(), D3DXVECTOR3(0.6f, 0, 0.8f));
    EXPECT_EQ(ball.GetPosition(), D3DXVECTOR3(5, 0.5f, 5)); // y is the radius
    EXPECT_EQ(ball.GetSpeed(), 10.0f);
}

TEST_F(Balls, NoBallIsMadeFlatterThanThePaddleSendsOne) {
    const float steepest = 1 / std::sqrt(26.0f); // 1 : 5, normalised
    m_Balls.Add({5, 0, 5}, {1, 0, 0});           // no z at all: away from the paddle
    m_Balls.Add({5, 0, 5}, {-1, 0, -0.1f});      // too flat: its sides are kept
    m_Balls.Add({5, 0, 5}, {0, 0, 0});           // no way to go: straight away
    const auto expect = [this](int ball, float x, float z) {
        EXPECT_FLOAT_EQ(m_Balls.Get(ball).GetDirection().x, x) << "ball " << ball;
        EXPECT_EQ(m_Balls.Get(ball).GetDirection().y, 0.0f) << "ball " << ball;
        EXPECT_FLOAT_EQ(m_Balls.Get(ball).GetDirection().z, z) << "ball " << ball;
    };
    expect(0, 5 * steepest, steepest);
    expect(1, -5 * steepest, -steepest);
    expect(2, 0, 1);
}

// Extra balls fly off in random directions, one in 200 of them once without any z, which
// then ran from side wall to side wall for ever. Now each comes back within the time its
// flattest course (1 : 5) takes from the far wall to the paddle's row.
TEST_F(Balls, EveryExtraBallReachesThePaddlesRowInTime) {
    WriteLayout(1, "2@\n");
    StartLevel(1);
    constexpr int kDraws = 2000;
    for (int i = 0; i < kDraws; ++i) {
        D3DXVECTOR3 position{1, 0.5f, 18.8f}; // in the extra-ball block at (1, 19)
        D3DXVECTOR3 direction{0, 0, 1};
        ASSERT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    }
    m_Blocks.Update(0); // the spent block goes
    ASSERT_EQ(m_Balls.Count(), kDraws);
    m_Paddel.Reset(2, {10, 0, 1}, 20, 20); // as wide as the board: no ball is lost
    const float row = m_Paddel.GetPosition().z + 0.5f;
    // From z = 18.5 up to 19.5 and down to the row at 10 units/s and the flattest slope.
    const float longest = (1 + 19.5f - row) / (10 / std::sqrt(26.0f));
    std::vector<float> reached(kDraws, -1);
    const float dt = 0.01f;
    for (float t = dt; t <= longest + 2 * dt; t += dt) {
        m_Balls.Update(dt);
        ASSERT_EQ(m_Balls.Count(), kDraws);
        for (int i = 0; i < kDraws; ++i) {
            if (reached[i] < 0 && m_Balls.Get(i).GetPosition().z <= row + 1e-3f) {
                reached[i] = t;
            }
        }
    }
    const auto late = std::find(reached.begin(), reached.end(), -1.0f);
    EXPECT_EQ(late, reached.end())
        << "ball " << late - reached.begin() << " at z "
        << m_Balls.Get(static_cast<int>(late - reached.begin())).GetPosition().z;
    EXPECT_GT(*std::max_element(reached.begin(), reached.end()), longest / 2);
}

TEST_F(Balls, EveryPaddleHitSpeedsUpToTwiceTheStartSpeed) {
    // Straight up and down between the far wall and the middle of the resting paddle.
    m_Balls.Add({10, 0, 5}, {0, 0, -1});
    std::vector<float> speeds{10.0f};
    for (int frame = 0; frame < 100000 && speeds.back() < 20.0f; ++frame) {
        m_Balls.Update(0.001f);
        if (m_Balls.Get(0).GetSpeed() != speeds.back()) {
            speeds.push_back(m_Balls.Get(0).GetSpeed());
        }
    }
    ASSERT_GE(speeds.size(), 9u);
    EXPECT_NEAR(speeds[1], 11.0f, 1e-4f);
    EXPECT_NEAR(speeds[2], 12.1f, 1e-4f);
    EXPECT_NEAR(speeds[3], 13.31f, 1e-4f);
    EXPECT_EQ(speeds.back(), 20.0f);
    EXPECT_EQ(m_Player.GetPaddleContacts(), static_cast<int>(speeds.size())); // 1 + hits
}

TEST_F(Balls, BallThatDoesNotMoveTouchesNothing) {
    // Put against the far wall by a bounce, then a frame of 0 ms: it stays turned away.
    m_Balls.Add({10, 0, 19.45f}, {0.6f, 0, 0.8f});
    m_Balls.Update(0.01f);
    const D3DXVECTOR3 direction = m_Balls.Get(0).GetDirection();
    ASSERT_LT(direction.z, 0.0f);
    m_Balls.Update(0.0f);
    EXPECT_EQ(m_Balls.Get(0).GetDirection(), direction);
}

TEST_F(Balls, WallsPutTheBallBackInsideWithTheDirectionTurned) {
    m_Balls.Add({0.3f, 0, 5}, {-1, 0, 0});
    m_Balls.Update(0.01f); // to x = 0.2, inside the wall
    EXPECT_FLOAT_EQ(m_Balls.Get(0).GetPosition().x, 0.5f);
    EXPECT_GT(m_Balls.Get(0).GetDirection().x, 0.0f);
}

TEST_F(Balls, TwoLostBallsGoInOneFrameWithSoundAndShake) {
    m_Balls.Add({5, 0, 0.3f}, {0, 0, -1});
    m_Balls.Add({15, 0, 0.3f}, {0, 0, -1});
    m_Balls.Update(0.1f);
    EXPECT_EQ(m_Balls.Count(), 0);
    EXPECT_EQ(m_fShake, 1.0f);
    const SSoundInfo* ball = m_Sound.GetSound("ball");
    EXPECT_TRUE(ball->pBuffer->IsPlaying());
    EXPECT_TRUE(ball->Duplicates[0]->IsPlaying());
}

TEST_F(Balls, BallsAfterLostAndReturnedOnesStartFresh) {
    // Sped up, then lost; one more returned to the stock: the next balls are new in every way.
    m_Balls.Add({10, 0, 5}, {0, 0, -1});
    for (int frame = 0; frame < 100000 && m_Balls.Get(0).GetSpeed() < 15.0f; ++frame) {
        m_Balls.Update(0.001f);
    }
    m_Balls.Add({5, 0, 0.3f}, {0, 0, -1});
    m_Balls.Update(0.1f);
    m_Balls.ReturnToStock();
    ASSERT_EQ(m_Balls.Count(), 0);
    for (int i = 0; i < 3; ++i) {
        m_Balls.Add({7, 3, 9}, {0, 0, 2});
        const CBall& ball = m_Balls.Get(i);
        EXPECT_EQ(ball.GetSpeed(), 10.0f);
        EXPECT_EQ(ball.GetPosition(), D3DXVECTOR3(7, 0.5f, 9));
        EXPECT_EQ(ball.GetDirection(), D3DXVECTOR3(0, 0, 1));
    }
}

TEST_F(Balls, ReturnToStockGivesEveryBallBack) {
    const int stock = m_Player.GetBalls();
    for (int i = 0; i < 3; ++i) {
        m_Balls.Add({5, 0, 10}, {0, 0, 1});
    }
    m_Balls.ReturnToStock();
    EXPECT_EQ(m_Balls.Count(), 0);
    EXPECT_EQ(m_Player.GetBalls(), stock + 3);
}

TEST_F(Balls, ReturnDuringTheUpdateEndsTheMovesOfThatFrame) {
    WriteLayout(1, "4@\n");
    StartLevel(1);
    const int stock = m_Player.GetBalls();
    m_Balls.Add({10, 0, 10}, {0, 0, 1});   // far from everything
    m_Balls.Add({1, 0, 18.4f}, {0, 0, 1}); // hits the random block
    m_Balls.Add({15, 0, 10}, {0, 0, 1});   // would move after it
    // 12 particles of 5 numbers, then effect 3: every ball back to the stock.
    ScriptRand({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3});
    m_Balls.Update(0.01f);
    EXPECT_EQ(m_Balls.Count(), 0);
    EXPECT_EQ(m_Player.GetBalls(), stock + 3);
    EXPECT_EQ(m_fShake, 0.0f); // returned, not lost
}

TEST_F(Balls, BallsAddedDuringTheUpdateMoveFromTheNextFrame) {
    WriteLayout(1, "2@\n");
    StartLevel(1);
    m_Balls.Add({1, 0, 18.4f}, {0, 0, 1});
    m_Balls.Update(0.01f);
    ASSERT_EQ(m_Balls.Count(), 2);
    const D3DXVECTOR3 start = m_Balls.Get(1).GetPosition();
    EXPECT_EQ(start.x, m_Balls.Get(0).GetPosition().x); // born where the hit was, unmoved
    m_Balls.Update(0.01f);
    EXPECT_NE(m_Balls.Get(1).GetPosition(), start);
}

class Paddle : public test::CFieldTest {
  protected:
    Paddle() {
        InitField();
        WriteLayout(1, "");
        StartLevel(1);
    }
};

TEST_F(Paddle, SidesBounceItBackSoftly) {
    m_Paddel.Reset(2, {18.5f - 0.1f * 4, 0, 1}, 4, 20);
    m_Paddel.SetVelocity(4);
    m_Paddel.Update(0.1f); // to 18.5, beyond the side at 20
    EXPECT_FLOAT_EQ(m_Paddel.GetPosition().x, 18.0f);
    EXPECT_NEAR(m_Paddel.GetVelocity().x, -0.25f * 4 * std::pow(0.2f, 0.1f), 1e-5f);
}

TEST_F(Paddle, HeldKeyAcceleratesTowardsTheDampedLimit) {
    m_Paddel.Reset(2, {10, 0, 1}, 4, 1000); // a board wide enough never to reach a side
    for (int frame = 0; frame < 100; ++frame) {
        m_Paddel.AccelerateRight(0.01f);
        m_Paddel.Update(0.01f);
    }
    EXPECT_NEAR(m_Paddel.GetVelocity().x, 14.8f, 0.1f);
    for (int frame = 0; frame < 2000; ++frame) {
        m_Paddel.AccelerateRight(0.01f);
        m_Paddel.Update(0.01f);
    }
    EXPECT_NEAR(m_Paddel.GetVelocity().x, 18.5f, 0.2f);
}

TEST_F(Paddle, GrowsToHalfTheBoardAtMost) {
    m_Paddel.Reset(2, {10, 0, 1}, 9.5f, 20);
    m_Paddel.Grow(1);
    EXPECT_EQ(m_Paddel.GetWidth(), 10.0f);
    m_Paddel.Grow(1);
    EXPECT_EQ(m_Paddel.GetWidth(), 10.0f);
    m_Paddel.Reset(2, {10, 0, 1}, -3, 20);
    m_Paddel.Grow(1);
    EXPECT_EQ(m_Paddel.GetWidth(), 0.5f);
}

TEST_F(Paddle, GhostLastsSevenAndAHalfSecondsOfPlayAtAnEighth) {
    m_Paddel.Ghost();
    Device().ClearDraws();
    m_Paddel.Render();
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_EQ(Draws()[0].State(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(Draws()[0].State(D3DRS_BLENDFACTOR), 0x20202020u);
    EXPECT_EQ(Device().GetRenderState(D3DRS_ALPHABLENDENABLE), 0u);
    for (int frame = 0; frame < 749; ++frame) {
        m_Paddel.Update(0.01f);
    }
    EXPECT_GT(m_Paddel.GetGhostTime(), 0.0f);
    m_Paddel.Update(0.02f);
    EXPECT_EQ(m_Paddel.GetGhostTime(), 0.0f);
    m_Paddel.Render();
    EXPECT_EQ(Draws().back().State(D3DRS_ALPHABLENDENABLE), 0u);
}

TEST_F(Paddle, LaunchPlacesTheBallByLevelOnesSizeAtItsOwnLevelsHeight) {
    WriteLayout(2, "");
    StartLevel(2);      // BallSize 0.25 here; level 1 has 0.5
    ScriptRand({1500}); // x direction 0.5
    m_Paddel.Launch();
    ASSERT_EQ(m_Balls.Count(), 1);
    const CBall& ball = m_Balls.Get(0);
    EXPECT_EQ(ball.GetPosition(), D3DXVECTOR3(10, 0.25f, 1.5f));
    EXPECT_NEAR(ball.GetDirection().x, 0.5f / std::sqrt(1.25f), 1e-5f);
    EXPECT_TRUE(Playing("launch"));
}

} // namespace
