#include "FieldSupport.h"

#include "platform/D3DXMath.h"

#include <cmath>

namespace {

class BlockDrawing : public test::CFieldTest {
  protected:
    BlockDrawing() {
        InitField();
        WriteLayout(1, "0111@\n");
        StartLevel(1);
        Device().ClearDraws();
    }
    D3DXMATRIX View() {
        D3DXMATRIX view;
        return *D3DXMatrixIdentity(&view);
    }
    std::vector<SBlock>& Blocks() { return const_cast<std::vector<SBlock>&>(m_Blocks.GetBlocks()); }
};

TEST_F(BlockDrawing, CracksOnlyOnTypeOneWithExactlyOneHitpoint) {
    Blocks()[2].Hitpoints = 1.0f;
    Blocks()[3].Hitpoints = 0.5f;
    m_Blocks.Render(View(), false);
    ASSERT_EQ(Draws().size(), 4u);
    EXPECT_EQ(Draws()[0].stage1ColorOp, D3DTOP_DISABLE);  // type 0
    EXPECT_EQ(Draws()[1].stage1ColorOp, D3DTOP_DISABLE);  // type 1 with 2
    EXPECT_EQ(Draws()[2].stage1ColorOp, D3DTOP_MODULATE); // type 1 with 1
    EXPECT_EQ(Draws()[3].stage1ColorOp, D3DTOP_DISABLE);  // type 1 with 0.5
    EXPECT_NE(Draws()[2].texture1, nullptr);
    EXPECT_EQ(Device().GetTextureStageState(1, D3DTSS_COLOROP), D3DTOP_DISABLE);
}

TEST_F(BlockDrawing, MirrorPassDrawsEveryBlockAgainBelowTheFloorCullingClockwise) {
    m_Blocks.Render(View(), true);
    ASSERT_EQ(Draws().size(), 8u);
    for (std::size_t i = 4; i < 8; ++i) {
        const platform::SRecordedDraw& draw = Draws()[i];
        EXPECT_EQ(draw.State(D3DRS_CULLMODE), D3DCULL_CW);
        D3DXVECTOR3 top;
        const D3DXVECTOR3 up{0, 1, 0};
        D3DXVec3TransformCoord(&top, &up, &draw.world);
        EXPECT_FLOAT_EQ(top.y, -1.0f);
        EXPECT_FLOAT_EQ(top.x, Draws()[i - 4].world.m[3][0]);
    }
    EXPECT_EQ(Device().GetRenderState(D3DRS_CULLMODE), D3DCULL_CCW);
}

TEST_F(BlockDrawing, NoMirrorForTheMenuBackdrop) {
    m_Blocks.Render(View(), false);
    EXPECT_EQ(Draws().size(), 4u);
}

TEST_F(BlockDrawing, ParticlesTakeTheirBlocksQuarterOfTheAtlas) {
    WriteLayout(1, "2@\n");
    StartLevel(1);
    D3DXVECTOR3 position{1, 0.5f, 18.6f};
    D3DXVECTOR3 direction{0, 0, 1};
    ASSERT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    const std::vector<SParticle>& particles = m_Blocks.GetParticles().GetParticles();
    ASSERT_EQ(particles.size(), 12u);
    for (const SParticle& p : particles) {
        EXPECT_EQ(p.vTexTopLeft.x, 0.0f);
        EXPECT_EQ(p.vTexTopLeft.y, 0.5f);
        EXPECT_EQ(p.vTexBottomRight.x, 0.5f);
        EXPECT_EQ(p.vTexBottomRight.y, 1.0f);
        EXPECT_EQ(p.vPos, position);
        EXPECT_EQ(p.fSize, 0.3f);
        EXPECT_EQ(p.fSizeChange, 0.3f);
        EXPECT_GE(p.fLifeTime, 1.0f);
        EXPECT_LE(p.fLifeTime, 4.0f);
        EXPECT_GE(p.vDrift.y, position.y); // never below its start height
        EXPECT_EQ(std::fmod(p.fRotationChange / 3.1415927f, 1.0f), 0.0f);
    }
    Device().ClearDraws();
    m_Blocks.Render(View(), false);
    EXPECT_EQ(Draws().back().kind, platform::SRecordedDraw::EKind::FromMemory);
    EXPECT_EQ(Draws().back().primitiveCount, 24);
}

TEST_F(BlockDrawing, EmissionDrawsItsNumbersInOrder) {
    WriteLayout(1, "0@\n");
    StartLevel(1);
    ScriptRand({10, 20, 30, 2, 7, /* the other eleven particles */});
    D3DXVECTOR3 position{1, 0.5f, 18.6f};
    D3DXVECTOR3 direction{0, 0, 1};
    ASSERT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    const SParticle& first = m_Blocks.GetParticles().GetParticles().at(0);
    // oz = 10 - 50, oy = 20, ox = 30 - 50, life 1 + 2, spin (7 - 6) π.
    EXPECT_EQ(first.vDrift, position + D3DXVECTOR3(-20, 20, -40));
    EXPECT_EQ(first.fLifeTime, 3.0f);
    EXPECT_FLOAT_EQ(first.fRotationChange, 3.1415927f);
}

class BlockDrawingWithoutParticles : public test::CFieldTest {
  protected:
    BlockDrawingWithoutParticles() {
        std::string settings = test::kFieldSettings;
        settings.replace(settings.find("Partikeleffekte=1"), 17, "Partikeleffekte=0");
        WriteSettings(settings); // read by the block field's Init
        InitField();
        WriteLayout(1, "0@\n");
        StartLevel(1);
    }
};

TEST_F(BlockDrawingWithoutParticles, NothingIsEmittedOrDrawn) {
    D3DXVECTOR3 position{1, 0.5f, 18.6f};
    D3DXVECTOR3 direction{0, 0, 1};
    ASSERT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    EXPECT_TRUE(m_Blocks.GetParticles().GetParticles().empty());
    Device().ClearDraws();
    D3DXMATRIX view;
    m_Blocks.Render(*D3DXMatrixIdentity(&view), false);
    for (const platform::SRecordedDraw& draw : Draws()) {
        EXPECT_NE(draw.kind, platform::SRecordedDraw::EKind::FromMemory);
    }
}

} // namespace
