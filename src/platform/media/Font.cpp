#include "Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstdlib>
#include <unordered_map>

namespace platform {
namespace {

struct SFtLibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct SFtFaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
struct SFcPatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using FtLibraryPtr = std::unique_ptr<FT_LibraryRec_, SFtLibraryDeleter>;
using FtFacePtr = std::unique_ptr<FT_FaceRec_, SFtFaceDeleter>;
using FcPatternPtr = std::unique_ptr<FcPattern, SFcPatternDeleter>;

constexpr int kAtlasWidth = 512;
constexpr int kAtlasStartHeight = 512;
constexpr int kAtlasMaxHeight = 4096;

// Windows-1252 from 0x80 to 0x9F. The five bytes it leaves free keep their own value, which
// makes them C1 control characters.
constexpr std::array<char32_t, 32> kCp1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The character starting at text[pos], pos moved behind it. A valid UTF-8 sequence (shortest
// form, no surrogates, at most U+10FFFF) is one character; any other byte is one character
// of its own, read as Windows-1252.
char32_t DecodeNext(std::string_view text, std::size_t& pos) {
    const auto byteAt = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t c = 0;
    unsigned char low = 0x80; // range of the second byte; later bytes are 0x80..0xBF
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length > 0 && text.size() - pos >= length) {
        bool valid = true;
        for (std::size_t i = 1; i < length && valid; ++i) {
            const unsigned char next = byteAt(pos + i);
            valid = next >= low && next <= high;
            c = (c << 6) | (next & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        if (valid) {
            pos += length;
            return c;
        }
    }
    ++pos;
    return lead < 0xA0 ? kCp1252[lead - 0x80] : lead;
}

// Control characters take no room and show nothing.
bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

int RoundPixels(FT_Pos value) {
    return static_cast<int>((value + 32) >> 6);
}

// The file and face index fontconfig offers for the pattern, or an empty file name.
std::string MatchFont(const char* pattern, int* index, std::string& reason) {
    FcPatternPtr query(FcNameParse(reinterpret_cast<const FcChar8*>(pattern)));
    if (!query) {
        reason += std::string(" \"") + pattern + "\": kein gültiges fontconfig-Muster;";
        return {};
    }
    FcConfigSubstitute(nullptr, query.get(), FcMatchPattern);
    FcDefaultSubstitute(query.get());
    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(nullptr, query.get(), &result));
    FcChar8* file = nullptr;
    if (!match || result != FcResultMatch ||
        FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) {
        reason += std::string(" \"") + pattern + "\": keine passende Schrift;";
        return {};
    }
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, index) != FcResultMatch) {
        *index = 0;
    }
    return reinterpret_cast<const char*>(file);
}

// Sets the face to the pixel size whose line height comes closest to pixelHeight from below
// (the larger size when two have the same line height). The line height grows with the size
// in steps that hinting makes slightly uneven, so a few sizes around the estimate are tried
// first, and smaller ones only when none of those fits.
bool ChoosePixelSize(FT_Face face, int pixelHeight, int* lineHeight, int* ascent) {
    const long unitsHigh = static_cast<long>(face->ascender) - face->descender;
    int estimate = pixelHeight;
    if (unitsHigh > 0) {
        estimate = static_cast<int>(
            (static_cast<long>(pixelHeight) * face->units_per_EM + unitsHigh / 2) / unitsHigh);
    }
    const auto lineHeightAt = [face](int size) {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) {
            return -1;
        }
        return RoundPixels(face->size->metrics.ascender - face->size->metrics.descender);
    };
    int bestSize = 0;
    int bestHeight = 0;
    for (int size = estimate + 3; size >= 1; --size) {
        if (bestSize != 0 && size < estimate - 3) {
            break;
        }
        const int height = lineHeightAt(size);
        if (height > 0 && height <= pixelHeight && height > bestHeight) {
            bestSize = size;
            bestHeight = height;
        }
    }
    if (bestSize == 0 || lineHeightAt(bestSize) != bestHeight) {
        return false;
    }
    *lineHeight = bestHeight;
    *ascent = RoundPixels(face->size->metrics.ascender);
    return true;
}

FtFacePtr LoadFace(FT_Library library, const std::string& file, int index, int pixelHeight,
                   int* lineHeight, int* ascent, std::string& reason) {
    FT_Face raw = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &raw) != 0) {
        reason += " " + file + ": FreeType kann sie nicht laden;";
        return nullptr;
    }
    FtFacePtr face(raw);
    if (!FT_IS_SCALABLE(face.get()) || FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE) != 0) {
        reason += " " + file + ": keine skalierbare Unicode-Schrift;";
        return nullptr;
    }
    if (!ChoosePixelSize(face.get(), pixelHeight, lineHeight, ascent)) {
        reason += " " + file + ": keine Pixelgröße passt;";
        return nullptr;
    }
    return face;
}

// A glyph's metrics in pixels and its place in the atlas. Width and height are 0 for glyphs
// that draw nothing: blanks, and glyphs the full atlas had no room for.
struct SGlyph {
    int advance = 0;
    int left = 0; // from the pen to the bitmap's left edge
    int top = 0;  // from the baseline up to the bitmap's top edge
    int width = 0;
    int height = 0;
    int atlasX = 0;
    int atlasY = 0;
};

class CFreeTypeFont final : public CFont {
  public:
    CFreeTypeFont(FtLibraryPtr library, FtFacePtr face, int lineHeight, int ascent)
        : m_Library(std::move(library)), m_Face(std::move(face)), m_LineHeight(lineHeight),
          m_Ascent(ascent), m_Pixels(static_cast<std::size_t>(kAtlasWidth) * kAtlasStartHeight, 0) {
        m_Missing = RenderIndex(0);
        for (char32_t c = 0x20; c <= 0xFF; ++c) {
            if (!IsControl(c)) {
                m_Latin[c] = Render(c);
            }
        }
        for (const char32_t c : kCp1252) {
            if (!IsControl(c)) {
                m_Extra.emplace(c, Render(c));
            }
        }
    }

    int GetLineHeight() const override { return m_LineHeight; }
    int GetAscent() const override { return m_Ascent; }

    int MeasureWidth(std::string_view text) const override {
        int width = 0;
        for (std::size_t pos = 0; pos < text.size();) {
            const char32_t c = DecodeNext(text, pos);
            if (IsControl(c)) {
                continue;
            }
            const SGlyph* glyph = Find(c);
            width += glyph ? glyph->advance : AdvanceOf(c);
        }
        return width;
    }

    void Layout(std::string_view text, int x, int y, const SRect& clip,
                std::vector<SGlyphQuad>& out) override {
        // New glyphs first: should the atlas grow, it does so before any texture coordinate
        // of this line is taken.
        for (std::size_t pos = 0; pos < text.size();) {
            const char32_t c = DecodeNext(text, pos);
            if (!IsControl(c) && !Find(c)) {
                m_Extra.emplace(c, Render(c));
                ++m_Version;
            }
        }
        const auto width = static_cast<float>(kAtlasWidth);
        const auto height = static_cast<float>(m_AtlasHeight);
        int pen = x;
        for (std::size_t pos = 0; pos < text.size();) {
            const char32_t c = DecodeNext(text, pos);
            if (IsControl(c)) {
                continue;
            }
            const SGlyph& glyph = *Find(c);
            if (glyph.width > 0) {
                const int x0 = pen + glyph.left;
                const int y0 = y + m_Ascent - glyph.top;
                const int left = std::max(x0, clip.left);
                const int top = std::max(y0, clip.top);
                const int right = std::min(x0 + glyph.width, clip.right);
                const int bottom = std::min(y0 + glyph.height, clip.bottom);
                if (left < right && top < bottom) {
                    const int u = glyph.atlasX - x0;
                    const int v = glyph.atlasY - y0;
                    out.push_back({static_cast<float>(left), static_cast<float>(top),
                                   static_cast<float>(right), static_cast<float>(bottom),
                                   static_cast<float>(u + left) / width,
                                   static_cast<float>(v + top) / height,
                                   static_cast<float>(u + right) / width,
                                   static_cast<float>(v + bottom) / height});
                }
            }
            pen += glyph.advance;
        }
    }

    const std::vector<std::uint8_t>& GetAtlasPixels() const override { return m_Pixels; }
    int GetAtlasWidth() const override { return kAtlasWidth; }
    int GetAtlasHeight() const override { return m_AtlasHeight; }
    std::uint32_t GetAtlasVersion() const override { return m_Version; }

  private:
    const SGlyph* Find(char32_t c) const {
        if (c < m_Latin.size()) {
            return &m_Latin[c];
        }
        const auto it = m_Extra.find(c);
        return it == m_Extra.end() ? nullptr : &it->second;
    }

    // The advance of a character that is not in the atlas yet, the same Render will give it.
    int AdvanceOf(char32_t c) const {
        const FT_UInt index = FT_Get_Char_Index(m_Face.get(), c);
        if (index == 0 || FT_Load_Glyph(m_Face.get(), index, FT_LOAD_DEFAULT) != 0) {
            return m_Missing.advance;
        }
        return RoundPixels(m_Face->glyph->advance.x);
    }

    SGlyph Render(char32_t c) {
        const FT_UInt index = FT_Get_Char_Index(m_Face.get(), c);
        return index == 0 ? m_Missing : RenderIndex(index);
    }

    SGlyph RenderIndex(FT_UInt index) {
        if (FT_Load_Glyph(m_Face.get(), index, FT_LOAD_RENDER) != 0) {
            return m_Missing;
        }
        const FT_GlyphSlotRec* slot = m_Face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        SGlyph glyph;
        glyph.advance = RoundPixels(slot->advance.x);
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        const bool gray = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
        if (!gray && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
            return glyph;
        }
        const int w = static_cast<int>(bitmap.width);
        const int h = static_cast<int>(bitmap.rows);
        if (w == 0 || h == 0 || !Allocate(w, h, &glyph.atlasX, &glyph.atlasY)) {
            return glyph;
        }
        glyph.width = w;
        glyph.height = h;
        for (int row = 0; row < h; ++row) {
            // A negative pitch means the rows are stored from the bottom up.
            const int stored = bitmap.pitch >= 0 ? row : h - 1 - row;
            const unsigned char* source =
                bitmap.buffer + static_cast<std::ptrdiff_t>(stored) * std::abs(bitmap.pitch);
            std::uint8_t* target =
                &m_Pixels[static_cast<std::size_t>(glyph.atlasY + row) * kAtlasWidth +
                          static_cast<std::size_t>(glyph.atlasX)];
            for (int col = 0; col < w; ++col) {
                target[col] =
                    gray ? source[col] : ((source[col >> 3] & (0x80 >> (col & 7))) ? 0xFF : 0x00);
            }
        }
        return glyph;
    }

    // A free w × h place in the atlas, rows of glyphs from the top, with one empty pixel
    // around every glyph. The atlas doubles its height when a row does not fit any more.
    bool Allocate(int w, int h, int* x, int* y) {
        if (w + 2 > kAtlasWidth) {
            return false;
        }
        if (m_PenX + w + 1 > kAtlasWidth) {
            m_PenX = 1;
            m_PenY += m_RowHeight;
            m_RowHeight = 0;
        }
        while (m_PenY + h + 1 > m_AtlasHeight) {
            if (m_AtlasHeight >= kAtlasMaxHeight) {
                return false;
            }
            m_AtlasHeight *= 2;
            m_Pixels.resize(static_cast<std::size_t>(kAtlasWidth) * m_AtlasHeight, 0);
        }
        *x = m_PenX;
        *y = m_PenY;
        m_PenX += w + 1;
        m_RowHeight = std::max(m_RowHeight, h + 1);
        return true;
    }

    FtLibraryPtr m_Library; // before the face: it must outlive it
    FtFacePtr m_Face;
    int m_LineHeight;
    int m_Ascent;

    SGlyph m_Missing; // the face's glyph for characters it lacks
    std::array<SGlyph, 256> m_Latin;
    std::unordered_map<char32_t, SGlyph> m_Extra;

    std::vector<std::uint8_t> m_Pixels;
    int m_AtlasHeight = kAtlasStartHeight;
    int m_PenX = 1;
    int m_PenY = 1;
    int m_RowHeight = 0;
    std::uint32_t m_Version = 1;
};

} // namespace

std::unique_ptr<CFont> CFont::Create(const char* pattern, int pixelHeight, std::string* error) {
    const auto fail = [error](const std::string& reason) {
        if (error) {
            *error = reason;
        }
        return nullptr;
    };
    if (pixelHeight < 1) {
        return fail("Schrifthöhe " + std::to_string(pixelHeight) + " ist keine Pixelhöhe");
    }
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) {
        return fail("FreeType lässt sich nicht starten");
    }
    FtLibraryPtr library(rawLibrary);
    std::string reason;
    for (const char* candidate : {pattern, "DejaVu Sans:bold", "sans-serif:bold"}) {
        if (!candidate) {
            continue;
        }
        int index = 0;
        const std::string file = MatchFont(candidate, &index, reason);
        if (file.empty()) {
            continue;
        }
        int lineHeight = 0;
        int ascent = 0;
        FtFacePtr face =
            LoadFace(library.get(), file, index, pixelHeight, &lineHeight, &ascent, reason);
        if (face) {
            return std::make_unique<CFreeTypeFont>(std::move(library), std::move(face), lineHeight,
                                                   ascent);
        }
    }
    return fail("Keine Schrift gefunden:" + reason);
}

} // namespace platform
