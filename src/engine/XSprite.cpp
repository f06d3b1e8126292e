#include "XSprite.h"

#include <cmath>

platform::SScreenQuad CXSprite::Corners(int width, int height, const D3DXVECTOR2& scaling,
                                        const D3DXVECTOR2& center, float rotation,
                                        const D3DXVECTOR2& translation) {
    const float c = std::cos(rotation);
    const float s = std::sin(rotation);
    const auto place = [&](float px, float py, float u, float v) {
        const float dx = px * scaling.x - center.x;
        const float dy = py * scaling.y - center.y;
        return platform::SScreenVertex{center.x + dx * c - dy * s + translation.x,
                                       center.y + dx * s + dy * c + translation.y, u, v};
    };
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    return platform::SScreenQuad{
        {place(0, 0, 0, 0), place(w, 0, 1, 0), place(0, h, 0, 1), place(w, h, 1, 1)}};
}

bool CXSprite::Draw(platform::ITexture* texture, const D3DXVECTOR2& scaling,
                    const D3DXVECTOR2& center, float rotation, const D3DXVECTOR2& translation,
                    D3DCOLOR color) {
    if (texture == nullptr || m_pDevice == nullptr) {
        return false;
    }
    const platform::SScreenQuad quad =
        Corners(texture->GetWidth(), texture->GetHeight(), scaling, center, rotation, translation);
    m_pDevice->DrawScreenQuads(texture, &quad, 1, color);
    return true;
}
