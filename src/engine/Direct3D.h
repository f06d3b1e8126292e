#pragma once

#include "XFont.h"
#include "XSprite.h"
#include "platform/GraphicsDevice.h"
#include "platform/Window.h"

#include <cstdint>
#include <memory>

// What every 3D scene of the game (the play field, the menu's backdrop) is drawn with: the
// material of every lit mesh, and the projection, a quarter turn of view across the screen's
// height with depth from 1 to 500 units.
D3DMATERIAL9 SceneMaterial();
void SetSceneProjection(platform::IGraphicsDevice& device, int width, int height);

// The graphics device of the game: it settles the display mode from the settings, creates
// the device, the sprite object and the font, brackets every frame and saves screenshots.
// Every Part that draws takes the device or the sprite object from it.
class CDirect3D {
  public:
    CDirect3D() = default;
    virtual ~CDirect3D();
    CDirect3D(const CDirect3D&) = delete;
    CDirect3D& operator=(const CDirect3D&) = delete;

    // True when the device exists and is set up; every failure is written to the log.
    bool Init(platform::IDirect3D* direct3D);
    void SetClearColor(std::uint32_t color) { m_ClearColor = color; }
    // Clears to the clear colour, the depth to the far value and the stencil to 0, and
    // begins the scene.
    void BeginFrame();
    // Ends the scene and presents it; false when presenting failed.
    bool EndFrame();
    // The screen size in pixels, settled by Init from the settings; 0 before.
    int GetScreenWidth() const { return m_iScreenWidth; }
    int GetScreenHeight() const { return m_iScreenHeight; }
    platform::IGraphicsDevice* GetDevice() { return m_pDevice.get(); }
    CXSprite* GetSprite() { return m_pSprite.get(); }
    // One line of text with its top-left corner at (x, y), or centred on the screen when
    // centred is 1. A negative x right-aligns the text to where it would have ended, so
    // that only its part right of the screen's left edge shows.
    void WriteText(const char* text, int x, int y, std::uint32_t color, int centred);
    // Saves what is on screen as a BMP file.
    void Screenshot(const char* fileName);
    void ReleaseAll();

  private:
    void InitFont();

    std::unique_ptr<platform::IGraphicsDevice> m_pDevice;
    platform::IDirect3D* m_pD3D = nullptr;
    std::unique_ptr<CXFont> m_pFont;
    std::unique_ptr<CXSprite> m_pSprite;
    std::uint32_t m_ClearColor = 0;
    int m_iScreenWidth = 0;
    int m_iScreenHeight = 0;
};
