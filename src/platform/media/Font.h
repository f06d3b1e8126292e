#pragma once

#include "platform/Rect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One glyph placed on the screen: its screen rectangle (pixels, y down) and the part of the
// atlas it shows (texture coordinates 0..1).
struct SGlyphQuad {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
};

// A bold sans-serif face ("Arial:bold" through fontconfig: Liberation Sans Bold where it is
// installed, DejaVu Sans Bold otherwise) rendered by FreeType at one pixel size, its glyphs
// kept in one 8-bit coverage atlas. Text is UTF-8; bytes that are no valid UTF-8 are taken
// as Windows-1252, so old texts keep their umlauts.
class CFont {
  public:
    // Null, with the reason in error, when no face can be found or loaded.
    static std::unique_ptr<CFont> Create(const char* pattern, int pixelHeight,
                                         std::string* error = nullptr);
    virtual ~CFont() = default;

    // Distance from one line's top to the next's, and from a line's top to its baseline.
    virtual int GetLineHeight() const = 0;
    virtual int GetAscent() const = 0;

    // Width of one line of text in pixels (its advance), and its height (the line height).
    virtual int MeasureWidth(std::string_view text) const = 0;

    // Appends the quads of one line of text whose top-left corner is at (x, y), clipped to
    // clip: glyphs outside it are left out, glyphs across its edges are cut, with their
    // texture coordinates cut alike. out is not cleared. Glyphs not in the atlas yet are
    // added to it (GetAtlasVersion then changes).
    virtual void Layout(std::string_view text, int x, int y, const SRect& clip,
                        std::vector<SGlyphQuad>& out) = 0;

    // The atlas: width × height coverage bytes, rows from the top. Its version changes
    // whenever glyphs were added, so that a copy on the graphics card can be renewed.
    virtual const std::vector<std::uint8_t>& GetAtlasPixels() const = 0;
    virtual int GetAtlasWidth() const = 0;
    virtual int GetAtlasHeight() const = 0;
    virtual std::uint32_t GetAtlasVersion() const = 0;
};

} // namespace platform
