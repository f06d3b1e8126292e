#pragma once

#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"

// The device's one sprite object: draws a texture as a picture on the screen, scaled,
// turned about a centre and moved, as the D3DX sprite's draw of the old form does.
class CXSprite {
  public:
    explicit CXSprite(platform::IGraphicsDevice* device) : m_pDevice(device) {}

    // Maps an image pixel p (from its top-left corner) to the screen: p scaled by scaling,
    // turned about center by rotation (radians; clockwise, since y points down), then moved
    // by translation. False when there is nothing to draw (no texture).
    bool Draw(platform::ITexture* texture, const D3DXVECTOR2& scaling, const D3DXVECTOR2& center,
              float rotation, const D3DXVECTOR2& translation, D3DCOLOR color);

    // The screen corners of a width × height image drawn so: top-left, top-right,
    // bottom-left, bottom-right.
    static platform::SScreenQuad Corners(int width, int height, const D3DXVECTOR2& scaling,
                                         const D3DXVECTOR2& center, float rotation,
                                         const D3DXVECTOR2& translation);

  private:
    platform::IGraphicsDevice* m_pDevice;
};
