#include "Sprite.h"

#include "Direct3D.h"
#include "TextureLoader.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <cstdio>

namespace {

void LogErrorWithName(const char* format, const char* name) {
    char row[512];
    std::snprintf(row, sizeof row, format, name);
    LogError(row);
}

} // namespace

bool CSprite::Load(const char* fileName, CDirect3D* direct3D, std::uint32_t colorKey) {
    const std::string path = DataFilePath(fileName);
    m_pDirect3D = direct3D;
    if (m_pDirect3D == nullptr) {
        LogError("CSprite hat keinen gültiger Direct3D-Zeiger!");
        return false;
    }
    m_pDevice = m_pDirect3D->GetDevice();
    m_pSprite = m_pDirect3D->GetSprite();
    if (m_pSprite == nullptr) {
        LogError("XSprite nicht initialisiert!");
        return false;
    }
    if (!D3DXGetImageInfoFromFile(path, &m_Info)) {
        LogErrorWithName("Fehler beim Laden der Bildinformationen: %s", fileName);
        return false;
    }
    m_pTexture = D3DXCreateTextureFromFileEx(m_pDevice, path, m_Info.width, m_Info.height, 1,
                                             ETextureFilter::None, colorKey,
                                             platform::ETextureAddress::Clamp);
    if (!m_pTexture) {
        LogErrorWithName("Fehler beim Anlegen der Sprite Textur: %s", fileName);
        return false;
    }
    m_vCenter = D3DXVECTOR2{static_cast<float>(m_Info.width) / 2.0f,
                            static_cast<float>(m_Info.height) / 2.0f};
    return true;
}

bool CSprite::DrawAt(int x, int y) {
    return m_pSprite != nullptr &&
           m_pSprite->Draw(m_pTexture.get(), m_vScale, m_vCenter, m_fRotation,
                           D3DXVECTOR2{static_cast<float>(x), static_cast<float>(y)}, m_Color);
}

void CSprite::Draw(int x, int y, int centred) {
    if (centred == 1) {
        const int screenWidth = m_pDirect3D != nullptr ? m_pDirect3D->GetScreenWidth() : 0;
        x = (screenWidth - GetWidth()) / 2;
    }
    if (!DrawAt(x, y)) {
        LogError("Sprite konnte nicht angezeigt werden!");
    }
}

void CSprite::SetRotation(float degrees) {
    m_fRotation = degrees * 3.1415927f / 180.0f;
}

void CSprite::SetScale(float sx, float sy) {
    m_vScale = D3DXVECTOR2{sx, sy};
    m_vCenter = D3DXVECTOR2{m_vCenter.x * sx, m_vCenter.y * sy};
}

bool CSpriteButton::IsInside(int x, int y) const {
    return m_iPosX <= x && x <= m_iPosX + GetWidth() && m_iPosY <= y && y <= m_iPosY + GetHeight();
}

void CSpriteButton::Draw() {
    if (!DrawAt(m_iPosX, m_iPosY)) {
        LogError("SpriteButton konnte nicht angezeigt werden!");
    }
}
