#include "FieldSupport.h"
#include "platform/D3DXMath.h"

namespace {

class Collision : public test::CFieldTest {
  protected:
    Collision() {
        InitField();
        WriteLayout(1, "");
        StartLevel(1);
        g_Log.Open();
    }
};

TEST_F(Collision, NearFaceHitReflectsAndWearsTheBlock) {
    // A block at (5, 0, 4): column 2 of row 15.
    WriteLayout(1, std::string(15, '\n') + "..0@\n");
    StartLevel(1);
    ASSERT_EQ(m_Blocks.GetBlocks().at(0).Position, D3DXVECTOR3(5, 0, 4));
    m_Balls.Add({5, 0, 3.9f}, {0, 0, 1}); // the ball in play
    D3DXVECTOR3 position{5, 0.5f, 3.9f};
    D3DXVECTOR3 direction{0, 0, 1};
    EXPECT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    EXPECT_FLOAT_EQ(position.z, 3.5f);
    EXPECT_EQ(direction, D3DXVECTOR3(0, 0, -1));
    EXPECT_EQ(m_Blocks.GetBlocks()[0].Hitpoints, 0.0f);
    EXPECT_TRUE(Playing("ploing"));
    EXPECT_EQ(m_Player.GetBlocksHit(), 1);
    EXPECT_EQ(m_Blocks.GetParticles().GetParticles().size(), 12u);
}

TEST_F(Collision, SideFaceWinsOnlyWhenStrictlyFurther) {
    WriteLayout(1, std::string(15, '\n') + "..0@\n"); // x 4..6, z 4..5
    StartLevel(1);
    // Centre 0.45 left of the left face and 0.4 before the near face: the left face.
    D3DXVECTOR3 position{3.55f, 0.5f, 3.6f};
    D3DXVECTOR3 direction{1, 0, 1};
    ASSERT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    EXPECT_EQ(direction, D3DXVECTOR3(-1, 0, 1));
    EXPECT_FLOAT_EQ(position.x, 3.5f);
    // Equal distances: the near face.
    StartLevel(1);
    position = D3DXVECTOR3(3.6f, 0.5f, 3.6f);
    direction = D3DXVECTOR3(1, 0, 1);
    ASSERT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    EXPECT_EQ(direction, D3DXVECTOR3(1, 0, -1));
    EXPECT_FLOAT_EQ(position.z, 3.5f);
}

TEST_F(Collision, FirstPlacedOfOverlappingBlocksIsHit) {
    WriteLayout(1, "\n1@\n0@\n");
    StartLevel(1);
    // Blocks at z 18..19 (type 1, first in the file) and 17..18 (type 0): a ball at z 17.6
    // with radius 0.5 touches both.
    D3DXVECTOR3 position{1, 0.5f, 17.6f};
    D3DXVECTOR3 direction{0, 0, 1};
    ASSERT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    EXPECT_EQ(m_Blocks.GetBlocks()[0].Hitpoints, 1.0f); // the type-1 block, from the first line
    EXPECT_EQ(m_Blocks.GetBlocks()[1].Hitpoints, 1.0f);
}

TEST_F(Collision, MetalBlocksNeitherWearNorScore) {
    WriteLayout(1, "3@\n");
    StartLevel(1);
    D3DXVECTOR3 position{1, 0.5f, 18.6f};
    D3DXVECTOR3 direction{0, 0, 1};
    ASSERT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    EXPECT_EQ(m_Blocks.GetBlocks()[0].Hitpoints, 1.0f);
    EXPECT_EQ(m_Player.GetBlocksHit(), 0);
    EXPECT_TRUE(m_Blocks.GetParticles().GetParticles().empty());
    EXPECT_TRUE(Playing("wall"));
}

TEST_F(Collision, ExtraBallBlockRedrawsADirectionOfNoLength) {
    WriteLayout(1, "2@\n");
    StartLevel(1);
    // 12 particles of 5 numbers each; then x, y, z: (0, 0.5, 0) has no length once y is 0,
    // so a second draw follows: (0.5, 0, -0.5).
    ScriptRand({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   0,   0,   0,   0, 0,
                0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   0,   0,   0,   0, 0,
                0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 150, 100, 150, 0, 50});
    D3DXVECTOR3 position{1, 0.5f, 18.6f};
    D3DXVECTOR3 direction{0, 0, 1};
    ASSERT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    ASSERT_EQ(m_Balls.Count(), 1);
    const D3DXVECTOR3 d = m_Balls.Get(0).GetDirection();
    EXPECT_NEAR(d.x, 0.7071f, 1e-4f);
    EXPECT_EQ(d.y, 0.0f);
    EXPECT_NEAR(d.z, -0.7071f, 1e-4f);
    EXPECT_EQ(m_Balls.Get(0).GetPosition().x, position.x);
    EXPECT_TRUE(Playing("newball"));
    EXPECT_EQ(m_Player.GetBlocksHit(), 0);
}

TEST_F(Collision, RandomEffects) {
    WriteLayout(1, "4444@\n");
    const auto hit = [this](int effect) {
        StartLevel(1);
        D3DXVECTOR3 position{1, 0.5f, 18.6f};
        D3DXVECTOR3 direction{0, 0, 1};
        // 12 particles of 5 numbers each, then the effect.
        ScriptRand({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,     0, 0,
                    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,     0, 0,
                    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, effect});
        return m_Blocks.Collide(position, 0.5f, direction);
    };
    ASSERT_TRUE(hit(0));
    EXPECT_EQ(m_Paddel.GetWidth(), 5.0f);
    ASSERT_TRUE(hit(1));
    EXPECT_EQ(m_Paddel.GetGhostTime(), 7.5f);
    const int balls = m_Player.GetBalls();
    ASSERT_TRUE(hit(2));
    EXPECT_EQ(m_Player.GetBalls(), balls + 1);
    ASSERT_TRUE(hit(4)); // two launches from the stock
    EXPECT_EQ(m_Balls.Count(), 2);
    EXPECT_EQ(m_Player.GetBalls(), balls - 1);
    ASSERT_TRUE(hit(3)); // StartLevel returned them already; none in play now
    EXPECT_EQ(m_Player.GetBalls(), balls + 1);
}

TEST_F(Collision, WallTestOrderDecidesTheCorners) {
    // SizeX 20, SizeZ 20, far wall closed.
    EXPECT_EQ(m_Board.TestWalls(19.8f, 0, 19.8f, 0.5f), WALL_FAR);
    EXPECT_EQ(m_Board.TestWalls(19.8f, 0, 0.2f, 0.5f), WALL_RIGHT);
    EXPECT_EQ(m_Board.TestWalls(0.2f, 0, 0.2f, 0.5f), WALL_LOST);
    EXPECT_EQ(m_Board.TestWalls(0.2f, 0, 10, 0.5f), WALL_LEFT);
    EXPECT_EQ(m_Board.TestWalls(10, 0, 10, 0.5f), WALL_NONE);
    EXPECT_FALSE(m_Board.HasExited());
    // Level 2 has an open far edge: the ball flies on and the board notes it.
    m_Board.LoadLevel(2);
    EXPECT_EQ(m_Board.TestWalls(10, 0, 11.9f, 0.25f), WALL_NONE);
    EXPECT_TRUE(m_Board.HasExited());
    m_Board.LoadLevel(2);
    EXPECT_FALSE(m_Board.HasExited());
}

TEST_F(Collision, PaddleMiddleHitTurnsWithThePaddlesMotion) {
    // Paddle at (10, 0, 1), width 4.
    m_Paddel.SetVelocity(10);
    D3DXVECTOR3 position{10, 0.5f, 1.3f};
    D3DXVECTOR3 direction{0, 0, -1};
    ASSERT_TRUE(m_Paddel.Collide(position, 0.5f, direction));
    EXPECT_EQ(direction, D3DXVECTOR3(-1, 0, 1));
    EXPECT_FLOAT_EQ(position.z, 1.5f);
    EXPECT_TRUE(Playing("paddel"));
    EXPECT_EQ(m_Player.GetPaddleContacts(), 2);
}

TEST_F(Collision, PaddleKeepsTheBallSteep) {
    D3DXVECTOR3 position{10, 0.5f, 1.3f};
    D3DXVECTOR3 direction{0.99f, 0, -0.14f};
    ASSERT_TRUE(m_Paddel.Collide(position, 0.5f, direction));
    EXPECT_EQ(direction, D3DXVECTOR3(5, 0, 1));
    direction = D3DXVECTOR3(-0.99f, 0, -0.14f);
    ASSERT_TRUE(m_Paddel.Collide(position, 0.5f, direction));
    EXPECT_EQ(direction, D3DXVECTOR3(-5, 0, 1));
}

TEST_F(Collision, PaddleEndsThrowTheBallOutwardWithoutMovingIt) {
    D3DXVECTOR3 position{7.7f, 0.5f, 1.3f}; // 0.3 beyond the left end at 8
    D3DXVECTOR3 direction{0, 0, -1};
    ASSERT_TRUE(m_Paddel.Collide(position, 0.5f, direction));
    EXPECT_EQ(direction, D3DXVECTOR3(-1, 0, 1));
    EXPECT_FLOAT_EQ(position.z, 1.3f);
    // On its way up, still level with the paddle, it is not caught a second time.
    EXPECT_FALSE(m_Paddel.Collide(position, 0.5f, direction));
    EXPECT_EQ(m_Player.GetPaddleContacts(), 2);
    position = D3DXVECTOR3(12.4f, 0.5f, 1.3f);
    direction = D3DXVECTOR3(0, 0, -1);
    ASSERT_TRUE(m_Paddel.Collide(position, 0.5f, direction));
    EXPECT_EQ(direction, D3DXVECTOR3(1, 0, 1));
    direction = D3DXVECTOR3(0, 0, -1);
    position = D3DXVECTOR3(12.6f, 0.5f, 1.3f); // beyond the end and the radius
    EXPECT_FALSE(m_Paddel.Collide(position, 0.5f, direction));
    position = D3DXVECTOR3(10, 0.5f, 2.0f); // not level with the paddle
    EXPECT_FALSE(m_Paddel.Collide(position, 0.5f, direction));
}

} // namespace
