#include "FieldSupport.h"
#include "platform/D3DXMath.h"

#include <algorithm>
#include <cmath>

namespace {

// A whole level played with an autopilot that keeps the paddle under the nearest ball,
// at frames of 10 ms, until the level is cleared; the field must stay sound every frame.
class Autopilot : public test::CFieldTest {
  protected:
    Autopilot() {
        InitField();
        WriteLayout(1, ".........@\n0120104010@\n1013101031@\n.0.0.0.0.0@\n");
        StartLevel(1);
        m_Player.AddBalls(100); // the autopilot is not perfect
        g_Log.Open();
    }
};

TEST_F(Autopilot, PlaysALevelUntilItIsCleared) {
    SeedRand(20261208);
    const float dt = 0.01f;
    std::size_t blocks = m_Blocks.GetBlocks().size();
    int frame = 0;
    for (; frame < 60 * 100 * 10 && !m_Blocks.IsCleared(); ++frame) {
        if (m_Balls.Count() == 0) {
            m_Player.Launch();
        }
        // The paddle follows the ball nearest to it.
        float target = m_Board.GetSizeX() / 2;
        float nearest = 1e9f;
        for (int i = 0; i < m_Balls.Count(); ++i) {
            const D3DXVECTOR3& p = m_Balls.Get(i).GetPosition();
            if (p.z < nearest) {
                nearest = p.z;
                target = p.x;
            }
        }
        // Towards the ball, and still when it comes close, so that it leaves steeply.
        const float speed = m_Paddel.GetSpeed();
        const float v = nearest < m_Paddel.GetPosition().z + 2
                            ? 0.0f
                            : std::clamp((target - m_Paddel.GetPosition().x) * 10, -speed, speed);
        m_Paddel.SetVelocity(v);
        m_Paddel.Update(dt);
        m_Blocks.Update(dt);
        m_Balls.Update(dt);
        m_Blocks.Update(dt);

        ASSERT_LE(m_Blocks.GetBlocks().size(), blocks) << "frame " << frame;
        blocks = m_Blocks.GetBlocks().size();
        for (int i = 0; i < m_Balls.Count(); ++i) {
            const CBall& ball = m_Balls.Get(i);
            const D3DXVECTOR3& p = ball.GetPosition();
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.z)) << "frame " << frame;
            ASSERT_GE(p.x, 0.0f) << "frame " << frame;
            ASSERT_LE(p.x, m_Board.GetSizeX()) << "frame " << frame;
            ASSERT_LE(p.z, m_Board.GetSizeZ()) << "frame " << frame;
            ASSERT_GT(ball.GetSpeed(), 0.0f);
            ASSERT_LE(ball.GetSpeed(), 20.0f);
            ASSERT_NEAR(D3DXVec3Length(&ball.GetDirection()), 1.0f, 1e-3f);
        }
        ASSERT_LE(m_Blocks.GetParticles().GetParticles().size(), 12u * 400u);
    }
    EXPECT_TRUE(m_Blocks.IsCleared()) << "after " << frame << " frames";
    EXPECT_EQ(m_Blocks.GetBlocks().size(), 2u); // the two metal blocks stay
    EXPECT_GT(m_Player.GetBlocksHit(), 0);
}

} // namespace
