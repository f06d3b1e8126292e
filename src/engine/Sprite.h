#pragma once

#include "XSprite.h"
#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"
#include "platform/Image.h"

#include <cstdint>
#include <memory>

class CDirect3D;

// A 2D image drawn in screen pixels through the device's sprite object, with its own
// scale, rotation about its centre and modulation colour.
class CSprite {
  public:
    // Loads the image (from the data directory, else from "Standard"); pixels of exactly the
    // colour key become transparent (0: no key). Failures are logged; false then.
    bool Load(const char* fileName, CDirect3D* direct3D, std::uint32_t colorKey);
    // Top-left corner at (x, y); centred 1 centres the image horizontally on the screen.
    void Draw(int x, int y, int centred);
    void SetRotation(float degrees);
    // The colour the image's pixels are multiplied with; white shows them as they are.
    void SetColor(D3DCOLOR color) { m_Color = color; }
    // Scales the image and, with it, the rotation centre (so scales compound on the centre).
    void SetScale(float sx, float sy);
    // The image's size in pixels as read from the file, unscaled.
    int GetWidth() const { return static_cast<int>(m_Info.width); }
    int GetHeight() const { return static_cast<int>(m_Info.height); }

  protected:
    // Draws at (x, y); false when nothing could be drawn.
    bool DrawAt(int x, int y);

  private:
    CDirect3D* m_pDirect3D = nullptr;
    CXSprite* m_pSprite = nullptr;
    platform::IGraphicsDevice* m_pDevice = nullptr;
    std::unique_ptr<platform::ITexture> m_pTexture;
    platform::SImageInfo m_Info;
    float m_fRotation = 0.0f;
    D3DXVECTOR2 m_vCenter;
    D3DXVECTOR2 m_vScale{1.0f, 1.0f};
    D3DCOLOR m_Color = 0xFFFFFFFFu;
};

// A sprite at a fixed screen position that can be hit by the mouse.
class CSpriteButton : public CSprite {
  public:
    void SetPosition(int x, int y) {
        m_iPosX = x;
        m_iPosY = y;
    }
    // True when (x, y) lies on the unscaled image at its position, both edges included.
    bool IsInside(int x, int y) const;
    // Draws the image at its position, never centred.
    void Draw();

  private:
    int m_iPosX = 0;
    int m_iPosY = 0;
};
