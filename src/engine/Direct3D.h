#pragma once

#include "platform/GraphicsDevice.h"
#include "platform/Window.h"

#include <cstdint>
#include <memory>

// The screen size in pixels, set by the graphics device's Init.
extern int g_iScreenWidth;
extern int g_iScreenHeight;

// The graphics device of the game: it brackets every frame and saves screenshots; every
// Part that draws takes the device from it.
class CDirect3D {
  public:
    CDirect3D() = default;
    virtual ~CDirect3D();
    CDirect3D(const CDirect3D&) = delete;
    CDirect3D& operator=(const CDirect3D&) = delete;

    bool Init(platform::IWindow* window);
    void SetClearColor(std::uint32_t color) { m_ClearColor = color; }
    // Clears to the clear colour and the far depth, and begins the scene.
    void BeginFrame();
    // Ends the scene and presents it; false when presenting failed.
    bool EndFrame();
    platform::IGraphicsDevice* GetDevice() { return m_pDevice.get(); }
    void WriteText(const char* text, int x, int y, std::uint32_t color, int centred);
    void Screenshot(const char* fileName);
    void ReleaseAll();

  private:
    std::unique_ptr<platform::IGraphicsDevice> m_pDevice;
    std::uint32_t m_ClearColor = 0;
};
