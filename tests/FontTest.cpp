#include "platform/media/Font.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

using platform::CFont;
using platform::SGlyphQuad;
using platform::SRect;

namespace {

constexpr SRect kScreen{0, 0, 800, 600};

std::unique_ptr<CFont> ArialBold(int pixelHeight = 16) {
    std::string error;
    auto font = CFont::Create("Arial:bold", pixelHeight, &error);
    EXPECT_TRUE(font) << error;
    return font;
}

std::vector<SGlyphQuad> Lay(CFont& font, std::string_view text, int x = 100, int y = 50,
                            const SRect& clip = kScreen) {
    std::vector<SGlyphQuad> quads;
    font.Layout(text, x, y, clip, quads);
    return quads;
}

std::vector<std::array<float, 8>> Flat(const std::vector<SGlyphQuad>& quads) {
    std::vector<std::array<float, 8>> flat;
    for (const SGlyphQuad& q : quads) {
        flat.push_back({q.x0, q.y0, q.x1, q.y1, q.u0, q.v0, q.u1, q.v1});
    }
    return flat;
}

// The sum of the atlas bytes under a quad's texture rectangle.
int Coverage(const CFont& font, const SGlyphQuad& q) {
    const int w = font.GetAtlasWidth();
    const int h = font.GetAtlasHeight();
    int sum = 0;
    for (int y = static_cast<int>(q.v0 * h); y < static_cast<int>(q.v1 * h); ++y) {
        for (int x = static_cast<int>(q.u0 * w); x < static_cast<int>(q.u1 * w); ++x) {
            sum += font.GetAtlasPixels()[static_cast<std::size_t>(y) * w + x];
        }
    }
    return sum;
}

TEST(Font, ArialBoldSixteenFillsATextRow) {
    const auto font = ArialBold();
    ASSERT_TRUE(font);
    EXPECT_LE(font->GetLineHeight(), 16);
    EXPECT_GE(font->GetLineHeight(), 12);
    EXPECT_GT(font->GetAscent(), font->GetLineHeight() / 2);
    EXPECT_LT(font->GetAscent(), font->GetLineHeight());
}

TEST(Font, FallsBackToAnotherFaceButNeedsAHeight) {
    for (const char* pattern : {"Arial:weight=nonsense", static_cast<const char*>(nullptr)}) {
        std::string error;
        const auto font = CFont::Create(pattern, 16, &error);
        ASSERT_TRUE(font) << error;
        EXPECT_GT(font->GetLineHeight(), 0);
        EXPECT_LE(font->GetLineHeight(), 16);
        EXPECT_FALSE(Lay(*font, "Zantor").empty());
    }
    std::string error;
    EXPECT_FALSE(CFont::Create("Arial:bold", 0, &error));
    EXPECT_FALSE(error.empty());
}

TEST(Font, WidthsAddUpAsLayoutPlacesTheGlyphs) {
    const auto font = ArialBold();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->MeasureWidth(""), 0);
    const int m = font->MeasureWidth("M");
    EXPECT_GT(m, 0);
    EXPECT_EQ(font->MeasureWidth("MM"), 2 * m);
    EXPECT_EQ(font->MeasureWidth("A\tB\x01\n"), font->MeasureWidth("AB"));

    const std::string line = "Level 12 - Punkte: 004711";
    for (std::size_t n = 1; n <= line.size(); ++n) {
        EXPECT_GE(font->MeasureWidth(line.substr(0, n)), font->MeasureWidth(line.substr(0, n - 1)));
    }
    EXPECT_GT(font->MeasureWidth(line), font->MeasureWidth("Level"));

    // A glyph after a prefix sits exactly the prefix's width further right, also when the
    // prefix holds a character the atlas does not have yet.
    const float alone = Lay(*font, "B").at(0).x0;
    for (const char* prefix : {"A", "W\xC3\xBC", "\xCE\xA9"}) {
        const int width = font->MeasureWidth(prefix);
        const auto quads = Lay(*font, std::string(prefix) + "B");
        ASSERT_FALSE(quads.empty());
        EXPECT_EQ(quads.back().x0, alone + width) << prefix;
    }
}

TEST(Font, LayoutPutsAGlyphBelowTheTopLeftCorner) {
    const auto font = ArialBold();
    ASSERT_TRUE(font);
    const auto quads = Lay(*font, "W", 100, 50);
    ASSERT_EQ(quads.size(), 1u);
    const SGlyphQuad& q = quads[0];
    EXPECT_NEAR(q.x0, 100, 2);
    EXPECT_GE(q.y0, 50);
    EXPECT_NEAR(q.y1, 50 + font->GetAscent(), 1); // W ends on the baseline
    // Texels map 1:1 onto pixels, and the glyph is in the atlas.
    EXPECT_FLOAT_EQ((q.u1 - q.u0) * font->GetAtlasWidth(), q.x1 - q.x0);
    EXPECT_FLOAT_EQ((q.v1 - q.v0) * font->GetAtlasHeight(), q.y1 - q.y0);
    EXPECT_GT(Coverage(*font, q), 0);

    EXPECT_TRUE(Lay(*font, " ").empty());
    const auto spaced = Lay(*font, "W W", 100, 50);
    ASSERT_EQ(spaced.size(), 2u);
    EXPECT_EQ(spaced[1].x0, q.x0 + font->MeasureWidth("W "));
}

TEST(Font, ClippingCutsQuadsAndTextureCoordinatesAlike) {
    const auto font = ArialBold();
    ASSERT_TRUE(font);
    const SGlyphQuad full = Lay(*font, "W", 100, 50).at(0);
    const float texel = 1.0f / font->GetAtlasWidth();
    const float row = 1.0f / font->GetAtlasHeight();
    const int midX = static_cast<int>((full.x0 + full.x1) / 2);
    const int midY = static_cast<int>((full.y0 + full.y1) / 2);

    const auto topLeft = Lay(*font, "W", 100, 50, {midX, midY, 800, 600});
    ASSERT_EQ(topLeft.size(), 1u);
    const SGlyphQuad& a = topLeft[0];
    EXPECT_EQ(a.x0, midX);
    EXPECT_EQ(a.y0, midY);
    EXPECT_EQ(a.x1, full.x1);
    EXPECT_EQ(a.y1, full.y1);
    EXPECT_FLOAT_EQ(a.u0, full.u0 + (midX - full.x0) * texel);
    EXPECT_FLOAT_EQ(a.v0, full.v0 + (midY - full.y0) * row);
    EXPECT_EQ(a.u1, full.u1);
    EXPECT_EQ(a.v1, full.v1);

    const auto bottomRight = Lay(*font, "W", 100, 50, {0, 0, midX, midY});
    ASSERT_EQ(bottomRight.size(), 1u);
    const SGlyphQuad& b = bottomRight[0];
    EXPECT_EQ(b.x1, midX);
    EXPECT_EQ(b.y1, midY);
    EXPECT_FLOAT_EQ(b.u1, full.u0 + (midX - full.x0) * texel);
    EXPECT_FLOAT_EQ(b.v1, full.v0 + (midY - full.y0) * row);
    EXPECT_EQ(b.u0, full.u0);
    EXPECT_EQ(b.v0, full.v0);

    const int below = 50 + font->GetLineHeight() + 2;
    EXPECT_TRUE(Lay(*font, "Zantor", 100, 50, {0, 0, 90, 600}).empty());
    EXPECT_TRUE(Lay(*font, "Zantor", 100, 50, {0, below, 800, 600}).empty());
    EXPECT_TRUE(Lay(*font, "Zantor", 100, 50, {100, 50, 100, 80}).empty());

    const SRect window{120, 55, 180, 600};
    const auto part = Lay(*font, "Highscore: Zantor", 100, 50, window);
    ASSERT_FALSE(part.empty());
    for (const SGlyphQuad& q : part) {
        EXPECT_GE(q.x0, window.left);
        EXPECT_GE(q.y0, window.top);
        EXPECT_LE(q.x1, window.right);
    }
}

TEST(Font, BytesThatAreNoUtf8ReadAsWindows1252) {
    const auto font = ArialBold();
    ASSERT_TRUE(font);
    // Each pair: the bytes as they come, and the same characters in valid UTF-8.
    const std::pair<const char*, const char*> pairs[] = {
        {"Men\xFC", "Men\xC3\xBC"},                               // ü
        {"\x80 5", "\xE2\x82\xAC 5"},                             // €
        {"\x84\x93\x96", "\xE2\x80\x9E\xE2\x80\x9C\xE2\x80\x93"}, // „“–
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                         // overlong '/'
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},         // surrogate
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},                     // truncated
        {"\xF4\x90\x80\x80", "\xC3\xB4\xE2\x82\xAC\xE2\x82\xAC"}, // beyond U+10FFFF
    };
    for (const auto& [raw, utf8] : pairs) {
        const auto quads = Lay(*font, raw);
        EXPECT_FALSE(quads.empty()) << utf8;
        EXPECT_EQ(Flat(quads), Flat(Lay(*font, utf8))) << utf8;
        EXPECT_EQ(font->MeasureWidth(raw), font->MeasureWidth(utf8)) << utf8;
    }
}

TEST(Font, RandomBytesGiveQuadsInsideTheClip) {
    const auto font = ArialBold();
    ASSERT_TRUE(font);
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 24);
    const SRect clip{30, 58, 300, 200}; // cuts through the line
    for (int i = 0; i < 3000; ++i) {
        std::string text(static_cast<std::size_t>(length(random)), '\0');
        for (char& c : text) {
            c = static_cast<char>(byte(random));
        }
        EXPECT_GE(font->MeasureWidth(text), 0);
        for (const SGlyphQuad& q : Lay(*font, text, 20 + i % 50, 50, clip)) {
            const std::array<float, 8> values{q.x0, q.y0, q.x1, q.y1, q.u0, q.v0, q.u1, q.v1};
            for (const float value : values) {
                ASSERT_TRUE(std::isfinite(value)) << "string " << i;
            }
            ASSERT_TRUE(q.x0 >= clip.left && q.x0 < q.x1 && q.x1 <= clip.right) << "string " << i;
            ASSERT_TRUE(q.y0 >= clip.top && q.y0 < q.y1 && q.y1 <= clip.bottom) << "string " << i;
            ASSERT_TRUE(q.u0 >= 0 && q.u0 < q.u1 && q.u1 <= 1) << "string " << i;
            ASSERT_TRUE(q.v0 >= 0 && q.v0 < q.v1 && q.v1 <= 1) << "string " << i;
        }
    }
}

TEST(Font, NewCharactersJoinTheAtlasOnce) {
    const auto font = ArialBold();
    ASSERT_TRUE(font);
    const std::uint32_t start = font->GetAtlasVersion();
    Lay(*font, "Gr\xC3\xB6\xC3\x9F"
               "e \xE2\x82\xAC \xE2\x80\x9Ej\xC3\xA4\xE2\x80\x9C");
    EXPECT_EQ(font->GetAtlasVersion(), start);

    const auto omega = Lay(*font, "\xCE\xA9");
    const std::uint32_t added = font->GetAtlasVersion();
    EXPECT_NE(added, start);
    ASSERT_EQ(omega.size(), 1u);
    EXPECT_GT(Coverage(*font, omega[0]), 0);
    EXPECT_EQ(Flat(Lay(*font, "\xCE\xA9")), Flat(omega));
    EXPECT_EQ(font->GetAtlasVersion(), added);
}

TEST(Font, FullAtlasLeavesGlyphsOutInsteadOfFailing) {
    const auto font = ArialBold(300);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->GetAtlasHeight(), 4096);
    EXPECT_EQ(font->GetAtlasPixels().size(), static_cast<std::size_t>(512) * 4096);
    EXPECT_EQ(Lay(*font, "!", 0, 0, {0, 0, 4000, 4000}).size(), 1u);
    EXPECT_TRUE(Lay(*font, "\xC3\xBF\xCE\xA9", 0, 0, {0, 0, 4000, 4000}).empty()); // ÿΩ
    EXPECT_GT(font->MeasureWidth("\xC3\xBF\xCE\xA9"), 0);
}

} // namespace
