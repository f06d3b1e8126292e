#include "XFont.h"

#include <algorithm>

namespace {

// Calls each(line, index) for every line of text.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
    int index = 0;
    for (;;) {
        const std::size_t end = text.find('\n');
        each(text.substr(0, end), index++);
        if (end == std::string_view::npos) {
            return;
        }
        text.remove_prefix(end + 1);
    }
}

} // namespace

std::unique_ptr<CXFont> CXFont::Create(platform::IGraphicsDevice* device, const char* face,
                                       int lineHeight, std::string* error) {
    std::unique_ptr<platform::CFont> font = platform::CFont::Create(face, lineHeight, error);
    if (!font) {
        return nullptr;
    }
    return std::make_unique<CXFont>(device, std::move(font));
}

CXFont::CXFont(platform::IGraphicsDevice* device, std::unique_ptr<platform::CFont> face)
    : m_pDevice(device), m_pFace(std::move(face)) {}

int CXFont::DrawText(std::string_view text, platform::SRect& rect, std::uint32_t format,
                     D3DCOLOR color) {
    const int lineHeight = m_pFace->GetLineHeight();
    if ((format & DT_CALCRECT) != 0) {
        int width = 0;
        int lines = 0;
        ForEachLine(text, [&](std::string_view line, int) {
            width = std::max(width, m_pFace->MeasureWidth(line));
            ++lines;
        });
        rect.right = rect.left + width;
        rect.bottom = rect.top + lines * lineHeight;
        return lines * lineHeight;
    }

    LayOut(text, rect, format);
    if (m_pFace->GetAtlasVersion() != m_AtlasVersion) {
        // New glyphs went into the atlas, which may have grown: lay out again with the
        // atlas as it is now, and give the card the new atlas.
        RenewAtlas();
        LayOut(text, rect, format);
    }
    if (!m_Glyphs.empty() && m_pDevice != nullptr) {
        m_Quads.clear();
        for (const platform::SGlyphQuad& g : m_Glyphs) {
            m_Quads.push_back(platform::SScreenQuad{{{g.x0, g.y0, g.u0, g.v0},
                                                     {g.x1, g.y0, g.u1, g.v0},
                                                     {g.x0, g.y1, g.u0, g.v1},
                                                     {g.x1, g.y1, g.u1, g.v1}}});
        }
        if (!m_pAtlas) {
            RenewAtlas();
        }
        m_pDevice->DrawScreenQuads(m_pAtlas.get(), m_Quads.data(), m_Quads.size(), color);
    }
    int lines = 0;
    ForEachLine(text, [&](std::string_view, int) { ++lines; });
    return lines * lineHeight;
}

void CXFont::LayOut(std::string_view text, const platform::SRect& rect, std::uint32_t format) {
    m_Glyphs.clear();
    const int lineHeight = m_pFace->GetLineHeight();
    ForEachLine(text, [&](std::string_view line, int index) {
        int x = rect.left;
        if ((format & (DT_CENTER | DT_RIGHT)) != 0) {
            const int width = m_pFace->MeasureWidth(line);
            x = (format & DT_CENTER) != 0 ? rect.left + (rect.right - rect.left - width) / 2
                                          : rect.right - width;
        }
        m_pFace->Layout(line, x, rect.top + index * lineHeight, rect, m_Glyphs);
    });
}

void CXFont::RenewAtlas() {
    m_AtlasVersion = m_pFace->GetAtlasVersion();
    if (m_pDevice == nullptr) {
        return;
    }
    const std::vector<std::uint8_t>& coverage = m_pFace->GetAtlasPixels();
    platform::SImage atlas;
    atlas.width = m_pFace->GetAtlasWidth();
    atlas.height = m_pFace->GetAtlasHeight();
    atlas.pixels.resize(coverage.size());
    std::transform(coverage.begin(), coverage.end(), atlas.pixels.begin(),
                   [](std::uint8_t c) { return (std::uint32_t{c} << 24) | 0x00FFFFFFu; });
    m_pAtlas = m_pDevice->CreateTexture(atlas, {}, platform::ETextureAddress::Clamp);
}
