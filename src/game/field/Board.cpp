#include "Board.h"

#include "settings/Log.h"
#include "settings/Settings.h"

#include <string>

void CBoard::Init(platform::IGraphicsDevice* device) {
    m_pDevice = device;
    m_Board.Load(device, "Board.mdl");
    m_Board2.Load(device, "Board2.mdl");
}

void CBoard::LoadLevel(int level) {
    g_Log << LOG_INFO << "Datein laden"; // spelt so on purpose: the log's rows stay as they are
    const std::string section = LevelSection(level);
    m_fSizeX = static_cast<float>(ReadIniInt(section.c_str(), "SizeX"));
    m_fSizeZ = static_cast<float>(ReadIniInt(section.c_str(), "SizeZ"));
    m_bTop = ReadIniInt(section.c_str(), "TOP") == 1;
    m_bRightWall = true;
    m_bLeftWall = true;
    m_bNearWall = false;
    m_bExited = false;
    g_Log << LOG_INFO << "Datein geladen";
}

EWallHit CBoard::TestWalls(float x, float, float z, float r) {
    if (z + r >= m_fSizeZ) {
        if (m_bTop) {
            return WALL_FAR;
        }
        m_bExited = true;
        return WALL_NONE;
    }
    if (x + r >= m_fSizeX) {
        return m_bRightWall ? WALL_RIGHT : WALL_LOST;
    }
    if (z - r <= 0) {
        return m_bNearWall ? WALL_NEAR : WALL_LOST;
    }
    if (x - r <= 0) {
        return m_bLeftWall ? WALL_LEFT : WALL_LOST;
    }
    return WALL_NONE;
}

void CBoard::Render(bool blend) {
    if (m_pDevice == nullptr) {
        return;
    }
    if (blend) {
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BLENDFACTOR);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVBLENDFACTOR);
        m_pDevice->SetRenderState(D3DRS_BLENDFACTOR, 0xAAAAAAAAu);
    }
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, 0);
    (m_bTop ? m_Board : m_Board2).Render(0, 0, 0, m_fSizeX / 10, 1, m_fSizeZ / 10);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, 1);
}

void CBoard::Release() {
    m_Board = CModel();
    m_Board2 = CModel();
}
