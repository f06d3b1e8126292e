#include "Sprite.h"

bool CSprite::Load(const char*, CDirect3D*, std::uint32_t) {
    return false;
}

void CSprite::Draw(int, int, int) {}

void CSprite::SetRotation(float) {}

void CSprite::SetScale(float, float) {}
