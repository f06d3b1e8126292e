#pragma once

#include <cstdint>

class CDirect3D;

// A 2D image drawn in screen pixels through the device's sprite object.
class CSprite {
  public:
    bool Load(const char* fileName, CDirect3D* direct3D, std::uint32_t colorKey);
    void Draw(int x, int y, int centred);
    void SetRotation(float degrees);
    void SetScale(float sx, float sy);
    int GetWidth() const { return m_iWidth; }
    int GetHeight() const { return m_iHeight; }

  private:
    int m_iWidth = 0;
    int m_iHeight = 0;
};
