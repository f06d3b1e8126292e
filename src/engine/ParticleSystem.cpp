#include "ParticleSystem.h"

#include "TextureLoader.h"
#include "platform/D3DXMath.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>

void CParticleSystem::LoadTexture(platform::IGraphicsDevice* device, const char* fileName) {
    // Room for what play usually has in flight, so that bursts do not allocate.
    m_ParticleList.reserve(kReserved);
    m_Vertices.reserve(kReserved * 6);
    m_pDevice = device;
    m_pTexture = D3DXCreateTextureFromFile(m_pDevice, DataFilePath(fileName));
    if (!m_pTexture) {
        LogError("SpriteTextur konnte nicht geladen werden!");
    }
}

void CParticleSystem::Update(float seconds) {
    for (SParticle& particle : m_ParticleList) {
        particle.fAge += seconds;
    }
    std::erase_if(m_ParticleList,
                  [](const SParticle& particle) { return particle.fAge >= particle.fLifeTime; });
}

void CParticleSystem::Render(D3DXMATRIX view, D3DXMATRIX world) {
    if (m_ParticleList.empty() || m_pDevice == nullptr) {
        return;
    }
    D3DXVECTOR3 right{view.m[0][0], view.m[1][0], view.m[2][0]};
    D3DXVECTOR3 up{view.m[0][1], view.m[1][1], view.m[2][1]};
    D3DXVec3Normalize(&right, &right);
    D3DXVec3Normalize(&up, &up);

    m_Vertices.clear();
    for (const SParticle& p : m_ParticleList) {
        const float angle = p.Progress() * p.fRotationChange + p.fRotation;
        const float size = p.Size();
        const D3DXVECTOR3 centre = p.Centre();
        const D3DXVECTOR3 a =
            (right * std::cos(angle) * size + up * std::sin(-angle) * size) * 0.5f;
        const D3DXVECTOR3 b = (right * std::sin(angle) * size + up * std::cos(angle) * size) * 0.5f;
        const float uL = p.vTexTopLeft.x;
        const float vT = p.vTexTopLeft.y;
        const float uR = p.vTexBottomRight.x;
        const float vB = p.vTexBottomRight.y;
        m_Vertices.push_back({centre - a + b, uL, vT});
        m_Vertices.push_back({centre + a + b, uR, vT});
        m_Vertices.push_back({centre - a - b, uL, vB});
        m_Vertices.push_back({centre + a + b, uR, vT});
        m_Vertices.push_back({centre + a - b, uR, vB});
        m_Vertices.push_back({centre - a - b, uL, vB});
    }

    m_pDevice->SetTransform(D3DTS_WORLD, world);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 0);
    m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    m_pDevice->SetTexture(0, m_pTexture.get());
    m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<int>(m_ParticleList.size() * 2),
                               m_Vertices.data(), sizeof(SVertex));
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 1);
}
