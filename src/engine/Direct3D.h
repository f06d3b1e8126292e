#pragma once

#include "XFont.h"
#include "XSprite.h"
#include "platform/GraphicsDevice.h"
#include "platform/Window.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What every 3D scene of the game (the play field, the menu's backdrop) is drawn with: the
// material of every lit mesh, and the projection, a quarter turn of view across the screen's
// height with depth from 1 to 500 units.
D3DMATERIAL9 SceneMaterial();
// The scenes' projection for a screen of width × height: 45 degrees, near 1, far 500.
D3DXMATRIX SceneProjection(int width, int height);
void SetSceneProjection(platform::IGraphicsDevice& device, int width, int height);

// The screen rectangle that holds what lies within the points added, as seen through a view
// and projection on a screen of width × height pixels. A point at or behind the eye makes
// it the whole screen.
class CScreenBounds {
  public:
    CScreenBounds(const D3DXMATRIX& viewProjection, int width, int height);
    void Add(const D3DXVECTOR3& point);
    // The corners of the box from lowest to highest.
    void AddBox(const D3DXVECTOR3& lowest, const D3DXVECTOR3& highest);
    // False when no point was added or none is on the screen; else rect holds every pixel
    // the points' convex hull touches, clipped to the screen.
    bool Get(platform::SRect& rect) const;

  private:
    D3DXMATRIX m_ViewProjection;
    float m_fWidth;
    float m_fHeight;
    bool m_bAny = false;
    bool m_bWhole = false;
    float m_fLeft = 0, m_fTop = 0, m_fRight = 0, m_fBottom = 0;
};

// The graphics device of the game: it settles the display mode from the settings, creates
// the device, the sprite object and the font, brackets every frame and saves screenshots.
// Every Part that draws takes the device or the sprite object from it.
class CDirect3D {
  public:
    CDirect3D() = default;
    virtual ~CDirect3D();
    CDirect3D(const CDirect3D&) = delete;
    CDirect3D& operator=(const CDirect3D&) = delete;

    // Before Init: show in a window (true) or on the whole screen (false) whatever
    // "Windowed" says, or (nullopt) as it says.
    void SetWindowedOverride(std::optional<bool> windowed) { m_WindowedOverride = windowed; }
    // Before Init: wait for the display's refresh or not whatever "VSync" says, or (nullopt)
    // as it says.
    void SetVSyncOverride(std::optional<bool> vsync) { m_VSyncOverride = vsync; }

    // True when the device exists and is set up; every failure is written to the log.
    bool Init(platform::IDirect3D* direct3D);
    void SetClearColor(std::uint32_t color) { m_ClearColor = color; }
    // Clears to the clear colour, the depth to the far value and the stencil to 0, and
    // begins the scene.
    void BeginFrame();
    // Ends the scene and presents it; false when presenting failed. A kept frame can be
    // shown again by PresentAgain.
    bool EndFrame(bool keep = false);
    // Shows the frame last drawn and kept once more, as it is (scaled anew to the window,
    // which may have changed its size or been covered); false when presenting failed.
    bool PresentAgain();
    // The screen size in pixels, settled by Init from the settings; 0 before.
    int GetScreenWidth() const { return m_iScreenWidth; }
    int GetScreenHeight() const { return m_iScreenHeight; }
    // Whether frames are to keep to the display's refresh rate ("VSync", settled by Init).
    bool IsVSync() const { return m_bVSync; }
    // The display's refresh rate in Hz as it is now; 0 when unknown or before Init.
    int GetRefreshRate() const { return m_pD3D != nullptr ? m_pD3D->GetRefreshRate() : 0; }
    platform::IGraphicsDevice* GetDevice() { return m_pDevice.get(); }
    CXSprite* GetSprite() { return m_pSprite.get(); }
    // One line of text with its top-left corner at (x, y), or centred on the screen when
    // centred is 1. A negative x right-aligns the text to where it would have ended, so
    // that only its part right of the screen's left edge shows.
    void WriteText(const char* text, int x, int y, std::uint32_t color, int centred);
    // While set, every text WriteText is given is added to texts too: what the screen says,
    // for tests and tools that read it (null: none).
    void SetTextWitness(std::vector<std::string>* texts) { m_pTextWitness = texts; }
    // Saves what is on screen as a BMP file.
    void Screenshot(const char* fileName);
    void ReleaseAll();

  private:
    void InitFont();

    std::unique_ptr<platform::IGraphicsDevice> m_pDevice;
    platform::IDirect3D* m_pD3D = nullptr;
    std::unique_ptr<CXFont> m_pFont;
    std::vector<std::string>* m_pTextWitness = nullptr;
    std::unique_ptr<CXSprite> m_pSprite;
    std::uint32_t m_ClearColor = 0;
    int m_iScreenWidth = 0;
    int m_iScreenHeight = 0;
    bool m_bVSync = false;
    std::optional<bool> m_WindowedOverride;
    std::optional<bool> m_VSyncOverride;
};

// "VSync" of "VideoMode": 0 shows frames at once; any other value, and a missing key (a
// settings file older than the key), waits for the display's refresh. A missing key is no
// error and writes nothing to the log.
bool ReadVSyncSetting();
