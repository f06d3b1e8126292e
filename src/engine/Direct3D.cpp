#include "Direct3D.h"

#include "platform/D3DXMath.h"
#include "platform/Image.h"
#include "platform/Profile.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A video-mode setting; -1 in the file stands for the default and is reported.
int ReadVideoMode(const char* key, int fallback, const char* row) {
    const int value = ReadIniInt("VideoMode", key);
    if (value == -1) {
        LogError(row);
        return fallback;
    }
    return value;
}

} // namespace

bool ReadVSyncSetting() {
    // This key is newer than many settings files, and its absence is no fault of theirs.
    return ReadIniIntOr("VideoMode", "VSync", 1) != 0;
}

CDirect3D::~CDirect3D() {
    ReleaseAll();
}

bool CDirect3D::Init(platform::IDirect3D* direct3D) {
    m_pD3D = direct3D;
    if (m_pD3D == nullptr) {
        LogError("Direct3D Schnittstelle konnte nicht initialisiert werden!");
        return false;
    }
    const std::string adapter = m_pD3D->GetAdapterDescription();

    const int width = ReadVideoMode("Width", 1024, "ScrWidth set to 1024");
    const int height = ReadVideoMode("Height", 768, "ScrHeight set to 768");
    const int depth = ReadVideoMode("Depth", 32, "ScrDepth set to 32");
    int windowed = ReadVideoMode("Windowed", 0, "Windowed set to 0");
    if (m_WindowedOverride) {
        windowed = *m_WindowedOverride ? 1 : 0;
    }
    m_bVSync = m_VSyncOverride.value_or(ReadVSyncSetting());

    const std::vector<platform::SDisplayMode> modes = m_pD3D->GetDisplayModes();
    bool found = false;
    if (depth == 16 || depth == 32) {
        for (const platform::SDisplayMode& mode : modes) {
            if (mode.bitsPerPixel == depth && mode.width == width && mode.height == height) {
                found = true;
            }
        }
        // A desktop offers few modes, and the display mode never changes: the picture is
        // scaled to the window or to the whole screen, so any size that fits on it will do.
        if (width > 0 && height > 0 && width <= m_pD3D->GetDesktopWidth() &&
            height <= m_pD3D->GetDesktopHeight()) {
            found = true;
        }
    }
    m_iScreenWidth = width;
    m_iScreenHeight = height;
    if (!found) {
        char row[512];
        std::snprintf(row, sizeof row, "Gefundene Grafikkarte: %s", adapter.c_str());
        LogError(row);
        LogError("Die gewählte Auflösung ist nicht verfügbar! Bitte wählen sie eine der "
                 "folgenden:");
        for (const int bits : {16, 32}) {
            for (const platform::SDisplayMode& mode : modes) {
                if (mode.bitsPerPixel == bits) {
                    std::snprintf(row, sizeof row, "%dx%dx%d %dHz", mode.width, mode.height, bits,
                                  mode.refreshRate);
                    LogError(row);
                }
            }
        }
        return false;
    }
    if (depth != 16 && depth != 32) {
        LogError("Ungültige Farbtiefe!");
        return false;
    }

    std::string error;
    m_pDevice = m_pD3D->CreateDevice(
        platform::SPresentParameters{width, height, depth, windowed == 1, m_bVSync}, error);
    if (!m_pDevice) {
        LogError(error);
        LogError("Gerät konnte nicht angelegt werden!");
        LogError("Bitte testen sie ihre Grafikkarte, indem sie dxdiag ausführen!");
        return false;
    }

    InitFont();
    m_pSprite = std::make_unique<CXSprite>(m_pDevice.get());

    m_pDevice->SetRenderState(D3DRS_LIGHTING, 0);
    m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    m_pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
    m_pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
    m_pDevice->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_ANISOTROPIC);
    return true;
}

void CDirect3D::InitFont() {
    // Arial bold at the system's default height: the game's text rows are 16 pixels apart.
    std::string error;
    m_pFont = CXFont::Create(m_pDevice.get(), "Arial:bold", 16, &error);
    if (!m_pFont) {
        LogError("Font konnte nicht erzeugt werden");
    }
}

void CDirect3D::BeginFrame() {
    if (m_pDevice) {
        m_pDevice->Clear(m_ClearColor, 1.0f, 0);
        m_pDevice->BeginScene();
    }
}

bool CDirect3D::EndFrame(bool keep) {
    if (!m_pDevice) {
        return true; // nothing to show; the program goes on without a device
    }
    m_pDevice->EndScene();
    if (keep) {
        m_pDevice->KeepFrame();
    }
    return m_pDevice->Present();
}

bool CDirect3D::PresentAgain() {
    return !m_pDevice || m_pDevice->Present();
}

void CDirect3D::WriteText(const char* text, int x, int y, std::uint32_t color, int centred) {
    if (!m_pFont || text == nullptr) {
        return;
    }
    if (m_pTextWitness != nullptr) {
        m_pTextWitness->emplace_back(text);
    }
    platform::SRect rect{x, y, 0, 0};
    std::uint32_t format = DT_LEFT;
    m_pFont->DrawText(text, rect, DT_CALCRECT, color);
    if (rect.top < 0) {
        rect.top = 0;
    }
    if (rect.left < 0) {
        rect.left = 0;
        format = DT_RIGHT;
    }
    if (centred == 1) {
        const int width = rect.right - rect.left;
        rect.left = (m_iScreenWidth - width) / 2;
        rect.right = rect.left + width;
        m_pFont->DrawText(text, rect, DT_CENTER, color);
    } else {
        m_pFont->DrawText(text, rect, format, color);
    }
}

void CDirect3D::Screenshot(const char* fileName) {
    if (m_pDevice && fileName != nullptr) {
        platform::SaveBmp(m_pDevice->ReadFrontBuffer(), fileName);
    }
}

D3DMATERIAL9 SceneMaterial() {
    D3DMATERIAL9 material{};
    material.Diffuse = {0.75f, 0.75f, 0.75f, 1.0f};
    material.Ambient = {0.25f, 0.25f, 0.25f, 1.0f};
    material.Emissive = {0.0f, 0.0f, 0.0f, 1.0f};
    material.Specular = {0.25f, 0.25f, 0.25f, 1.0f};
    material.Power = 10.0f;
    return material;
}

D3DXMATRIX SceneProjection(int width, int height) {
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 3.1415927f / 4,
                               static_cast<float>(width) / static_cast<float>(height), 1.0f,
                               500.0f);
    return projection;
}

void SetSceneProjection(platform::IGraphicsDevice& device, int width, int height) {
    device.SetTransform(D3DTS_PROJECTION, SceneProjection(width, height));
}

CScreenBounds::CScreenBounds(const D3DXMATRIX& viewProjection, int width, int height)
    : m_ViewProjection(viewProjection), m_fWidth(static_cast<float>(width)),
      m_fHeight(static_cast<float>(height)) {}

void CScreenBounds::Add(const D3DXVECTOR3& point) {
    const auto& m = m_ViewProjection.m;
    const auto at = [&](int column) {
        return point.x * m[0][column] + point.y * m[1][column] + point.z * m[2][column] +
               m[3][column];
    };
    const float w = at(3);
    // Between points in front of the eye whatever is seen projects between them; a point
    // behind it can reach anywhere.
    if (!(w > 1e-6f)) {
        m_bWhole = true;
        return;
    }
    const float x = (at(0) / w + 1) / 2 * m_fWidth;
    const float y = (1 - at(1) / w) / 2 * m_fHeight;
    if (!std::isfinite(x) || !std::isfinite(y)) {
        m_bWhole = true;
        return;
    }
    m_fLeft = m_bAny ? std::fmin(m_fLeft, x) : x;
    m_fRight = m_bAny ? std::fmax(m_fRight, x) : x;
    m_fTop = m_bAny ? std::fmin(m_fTop, y) : y;
    m_fBottom = m_bAny ? std::fmax(m_fBottom, y) : y;
    m_bAny = true;
}

void CScreenBounds::AddBox(const D3DXVECTOR3& lowest, const D3DXVECTOR3& highest) {
    for (int corner = 0; corner < 8; ++corner) {
        Add(D3DXVECTOR3{(corner & 1) != 0 ? highest.x : lowest.x,
                        (corner & 2) != 0 ? highest.y : lowest.y,
                        (corner & 4) != 0 ? highest.z : lowest.z});
    }
}

bool CScreenBounds::Get(platform::SRect& rect) const {
    const platform::SRect screen{0, 0, static_cast<int>(m_fWidth), static_cast<int>(m_fHeight)};
    if (m_bWhole) {
        rect = screen;
        return true;
    }
    if (!m_bAny) {
        return false;
    }
    // A pixel is drawn when its centre is covered: a pixel more on each side is room enough
    // for the rasteriser's rounding.
    const auto clamp = [](float v, int high) {
        return static_cast<int>(std::clamp(v, 0.0f, static_cast<float>(high)));
    };
    rect.left = clamp(std::floor(m_fLeft) - 1, screen.right);
    rect.right = clamp(std::ceil(m_fRight) + 1, screen.right);
    rect.top = clamp(std::floor(m_fTop) - 1, screen.bottom);
    rect.bottom = clamp(std::ceil(m_fBottom) + 1, screen.bottom);
    return rect.left < rect.right && rect.top < rect.bottom;
}

void CDirect3D::ReleaseAll() {
    m_pSprite.reset();
    m_pFont.reset();
    m_pDevice.reset();
    m_pD3D = nullptr;
}
