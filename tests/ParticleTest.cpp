#include "EngineSupport.h"
#include "engine/ParticleSystem.h"
#include "platform/D3DXMath.h"

#include <cmath>
#include <cstring>

namespace {

struct SVertex {
    float x, y, z, u, v;
};

class ParticleSystem : public test::CEngineTest {
  protected:
    ParticleSystem() {
        InitDevice();
        m_System.LoadTexture(m_Direct3D.GetDevice(), "sprite.png");
        Device().ClearDraws();
        g_Log.Open();
    }

    std::vector<SVertex> DrawnVertices() {
        const platform::SRecordedDraw& draw = Draws().back();
        std::vector<SVertex> vertices(draw.vertices.size() / sizeof(SVertex));
        std::memcpy(vertices.data(), draw.vertices.data(), draw.vertices.size());
        return vertices;
    }
    D3DXMATRIX Identity() {
        D3DXMATRIX m;
        return *D3DXMatrixIdentity(&m);
    }

    CParticleSystem m_System;
};

SParticle Rising() {
    SParticle p;
    p.fLifeTime = 2.0f;
    p.vDrift = D3DXVECTOR3(0, 4, 0);
    p.fSize = 2.0f;
    p.vTexTopLeft = {0.25f, 0.5f};
    p.vTexBottomRight = {0.5f, 0.75f};
    return p;
}

TEST_F(ParticleSystem, MissingTextureIsReported) {
    CParticleSystem other;
    other.LoadTexture(m_Direct3D.GetDevice(), "none.png");
    EXPECT_EQ(test::LogRows(), test::ErrorRow("SpriteTextur konnte nicht geladen werden!"));
}

TEST_F(ParticleSystem, ParticleDriftsOverItsLifetimeAndGoes) {
    m_System.Add(Rising());
    m_System.Update(0.5f);
    m_System.Render(Identity(), Identity());
    std::vector<SVertex> v = DrawnVertices();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ((v[0].y + v[2].y) / 2, 1.0f); // centre at (0, 1, 0)
    m_System.Update(0.5f);
    m_System.Render(Identity(), Identity());
    v = DrawnVertices();
    EXPECT_FLOAT_EQ((v[0].y + v[2].y) / 2, 2.0f);
    m_System.Update(1.0f);
    EXPECT_TRUE(m_System.GetParticles().empty());
}

TEST_F(ParticleSystem, CornersFaceTheCameraWithTheirTextureCoordinates) {
    m_System.Add(Rising());
    m_System.Render(Identity(), Identity());
    const std::vector<SVertex> v = DrawnVertices();
    const float expected[6][5] = {{-1, 1, 0, 0.25f, 0.5f},   {1, 1, 0, 0.5f, 0.5f},
                                  {-1, -1, 0, 0.25f, 0.75f}, {1, 1, 0, 0.5f, 0.5f},
                                  {1, -1, 0, 0.5f, 0.75f},   {-1, -1, 0, 0.25f, 0.75f}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, expected[i][1]) << i;
        EXPECT_FLOAT_EQ(v[i].z, expected[i][2]) << i;
        EXPECT_FLOAT_EQ(v[i].u, expected[i][3]) << i;
        EXPECT_FLOAT_EQ(v[i].v, expected[i][4]) << i;
    }
    const platform::SRecordedDraw& draw = Draws().back();
    EXPECT_EQ(draw.fvf, D3DFVF_XYZ | D3DFVF_TEX1);
    EXPECT_EQ(draw.State(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(draw.primitiveCount, 2);
    EXPECT_EQ(Device().GetRenderState(D3DRS_LIGHTING), 1u); // on again afterwards
}

TEST_F(ParticleSystem, SizeGrowsOverTheLifetime) {
    SParticle p = Rising();
    p.vDrift = D3DXVECTOR3(0, 0, 0);
    p.fSize = 0.3f;
    p.fSizeChange = 0.3f;
    p.fAge = 2.0f - 1e-6f;
    m_System.Add(p);
    m_System.Render(Identity(), Identity());
    const std::vector<SVertex> v = DrawnVertices();
    EXPECT_NEAR(v[1].x - v[0].x, 0.6f, 1e-5f);
}

TEST_F(ParticleSystem, AllExpiredParticlesGoInOneUpdateAndTheRestKeepOrder) {
    for (int i = 0; i < 5; ++i) {
        SParticle p = Rising();
        p.fLifeTime = i % 2 == 0 ? 1.0f : 3.0f;
        p.fSize = static_cast<float>(i);
        m_System.Add(p);
    }
    m_System.Update(1.0f);
    ASSERT_EQ(m_System.GetParticles().size(), 2u);
    EXPECT_EQ(m_System.GetParticles()[0].fSize, 1.0f);
    EXPECT_EQ(m_System.GetParticles()[1].fSize, 3.0f);
}

TEST_F(ParticleSystem, AllParticlesInOneDrawAndNoStateChangeWhenEmpty) {
    for (int i = 0; i < 100; ++i) {
        m_System.Add(Rising());
    }
    m_System.Render(Identity(), Identity());
    EXPECT_EQ(Draws().size(), 1u);
    EXPECT_EQ(Draws().back().primitiveCount, 200);
    m_System.Update(5.0f);
    const int changes = Device().GetStateChangeCount();
    m_System.Render(Identity(), Identity());
    EXPECT_EQ(Device().GetStateChangeCount(), changes);
    EXPECT_EQ(Draws().size(), 1u);
}

TEST_F(ParticleSystem, ZeroLifetimeDrawsFiniteAndGoesAtTheNextUpdate) {
    SParticle p = Rising();
    p.fLifeTime = 0.0f;
    m_System.Add(p);
    m_System.Render(Identity(), Identity());
    for (const SVertex& v : DrawnVertices()) {
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
    }
    m_System.Update(0.0f);
    EXPECT_TRUE(m_System.GetParticles().empty());
}

} // namespace
