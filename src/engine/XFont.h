#pragma once

#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"
#include "platform/media/Font.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Format flags of a text draw.
inline constexpr std::uint32_t DT_LEFT = 0x0;
inline constexpr std::uint32_t DT_CENTER = 0x1;
inline constexpr std::uint32_t DT_RIGHT = 0x2;
inline constexpr std::uint32_t DT_CALCRECT = 0x400;

// The device's one font: draws text into a rectangle, as the D3DX font does. Lines are
// separated by "\n"; each is aligned on its own; everything is clipped to the rectangle.
class CXFont {
  public:
    // Null, with the reason, when no face can be loaded.
    static std::unique_ptr<CXFont> Create(platform::IGraphicsDevice* device, const char* face,
                                          int lineHeight, std::string* error);
    CXFont(platform::IGraphicsDevice* device, std::unique_ptr<platform::CFont> face);

    // Draws text into rect with the format; with DT_CALCRECT it draws nothing and sets
    // rect's right and bottom to the text's extent. Returns the text's height.
    int DrawText(std::string_view text, platform::SRect& rect, std::uint32_t format,
                 D3DCOLOR color);

    int GetLineHeight() const { return m_pFace->GetLineHeight(); }

  private:
    void LayOut(std::string_view text, const platform::SRect& rect, std::uint32_t format);
    void RenewAtlas();

    platform::IGraphicsDevice* m_pDevice;
    std::unique_ptr<platform::CFont> m_pFace;
    std::unique_ptr<platform::ITexture> m_pAtlas;
    std::uint32_t m_AtlasVersion = 0;
    std::vector<platform::SGlyphQuad> m_Glyphs;
    std::vector<platform::SScreenQuad> m_Quads;
};
