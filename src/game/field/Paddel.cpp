#include "Paddel.h"

#include "Ball.h"
#include "Random.h"
#include "audio/Sound.h"
#include "settings/Settings.h"

#include <cmath>
#include <string>

void CPaddel::Init(platform::IGraphicsDevice* device, const SGameContext& links) {
    m_pDevice = device;
    m_Links = links;
    m_Model.Load(device, "paddel.mdl");
    if (m_Links.pSound != nullptr) {
        m_Links.pSound->LoadSound("launch", 4);
        m_Links.pSound->LoadSound("paddel", 8);
    }
}

void CPaddel::Reset(int, const D3DXVECTOR3& position, float width, float limit) {
    m_vPosition = position;
    m_fWidth = width;
    m_fLimit = limit;
    m_vVelocity = D3DXVECTOR3(0, 0, 0);
    m_fGhostTime = 0.0f;
    const int level = m_Links.pLevelnummer != nullptr ? *m_Links.pLevelnummer : 1;
    m_fSpeed = ReadIniFloat(LevelSection(level).c_str(), "PaddelSpeed");
}

void CPaddel::Update(float dt) {
    m_vPosition += m_vVelocity * dt;
    m_vVelocity.x *= std::pow(0.2f, dt); // a fifth of the speed is left after a second
    if (m_vPosition.x - m_fWidth / 2 < 0) {
        m_vPosition.x = m_fWidth / 2;
        m_vVelocity.x *= -0.25f;
    }
    if (m_vPosition.x + m_fWidth / 2 > m_fLimit) {
        m_vPosition.x = m_fLimit - m_fWidth / 2;
        m_vVelocity.x *= -0.25f;
    }
    m_fGhostTime -= dt;
    if (m_fGhostTime < 0) {
        m_fGhostTime = 0;
    }
}

void CPaddel::Launch() {
    const float ballSize = ReadIniFloat("Level1", "BallSize");
    const D3DXVECTOR3 position{m_vPosition.x, 0, m_vPosition.z + ballSize};
    const D3DXVECTOR3 direction{static_cast<float>(Rand() % 2000) / 1000.0f - 1.0f, 0, 1};
    if (m_Links.pBalls != nullptr) {
        m_Links.pBalls->Add(position, direction);
    }
    if (m_Links.pSound != nullptr) {
        m_Links.pSound->Play("launch", false);
    }
}

void CPaddel::Grow(int n) {
    m_fWidth += static_cast<float>(n);
    if (m_fWidth > m_fLimit / 2) {
        m_fWidth = m_fLimit / 2;
    }
    if (m_fWidth < 0) {
        m_fWidth = 0.5f;
    }
}

bool CPaddel::Collide(D3DXVECTOR3& position, float r, D3DXVECTOR3& direction) {
    const float px = m_vPosition.x;
    const float pz = m_vPosition.z;
    const float half = m_fWidth / 2;
    if (!(position.z - r <= pz && position.z - r >= pz - 2 * r)) {
        return false;
    }
    // A ball on its way up is leaving the paddle: an end hit turns it without moving it out
    // of the paddle's row. Caught again there, it would count a contact and speed up once
    // more at every test while it is still level, the more often the higher the frame rate.
    if (direction.z > 0) {
        return false;
    }
    if (px - half <= position.x && position.x <= px + half) {
        position.z = pz + r;
        direction.z = -direction.z;
        direction.x = direction.x - 0.1f * m_vVelocity.x;
        // Never flatter than 1 : 5 from the x axis.
        if (direction.x < 0 && direction.z / direction.x > -kFlattestSlope) {
            direction = D3DXVECTOR3(-1 / kFlattestSlope, 0, 1);
        } else if (direction.x >= 0 && direction.z / direction.x < kFlattestSlope) {
            direction = D3DXVECTOR3(1 / kFlattestSlope, 0, 1);
        }
    } else if (px - half - r <= position.x && position.x < px - half) {
        direction = D3DXVECTOR3(-1, 0, 1);
    } else if (px + half < position.x && position.x <= px + half + r) {
        direction = D3DXVECTOR3(1, 0, 1);
    } else {
        return false;
    }
    if (m_Links.pSound != nullptr) {
        m_Links.pSound->Play("paddel", false);
    }
    if (m_Links.pEvents != nullptr) {
        m_Links.pEvents->PaddleContact();
    }
    return true;
}

void CPaddel::Render() {
    if (m_pDevice == nullptr) {
        return;
    }
    const bool ghost = m_fGhostTime > 0;
    if (ghost) {
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BLENDFACTOR);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVBLENDFACTOR);
        m_pDevice->SetRenderState(D3DRS_BLENDFACTOR, 0x20202020u);
    }
    m_Model.Render(m_vPosition.x, 0, m_vPosition.z, m_fWidth / 4, 1, 1);
    if (ghost) {
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    }
}
