#include "Assets.h"
#include "Draw.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace assetgen {
namespace {

using namespace draw;

// The palette: the blocks' colours by type, the captions' gold and the plates' blues.
constexpr std::uint32_t kBlue = 0x3A7BD5;
constexpr std::uint32_t kAmber = 0xF0A030;
constexpr std::uint32_t kGreen = 0x40C060;
constexpr std::uint32_t kSteel = 0x8A949E;
constexpr std::uint32_t kPurple = 0xA050D0;
constexpr std::uint32_t kGold = 0xF5C842;
constexpr std::uint32_t kPlateDark = 0x1E2A78;
constexpr std::uint32_t kPlateLight = 0x3B3FA8;

// The colour keys the game loads the pictures with, and the texel it keys out of textures.
constexpr std::uint32_t kWhiteKey = 0xFFFFFFFFu;
constexpr std::uint32_t kBlackKey = 0xFF000000u;

std::uint32_t Argb(float r, float g, float b) {
    return CCanvas::Pack({r, g, b, 1});
}

// The picture behind every screen: a deep blue night sky, lighter towards the horizon,
// with faint stars.
platform::SImage Background() {
    constexpr int kWidth = 1024;
    constexpr int kHeight = 768;
    platform::SImage image;
    image.width = kWidth;
    image.height = kHeight;
    image.pixels.resize(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const float t = static_cast<float>(y) / (kHeight - 1);
        for (int x = 0; x < kWidth; ++x) {
            const float s = static_cast<float>(x) / (kWidth - 1);
            const float glow = 0.08f * std::exp(-((s - 0.5f) * (s - 0.5f)) * 6.0f) * t;
            image.pixels[static_cast<std::size_t>(y) * kWidth + x] = Argb(
                0.02f + 0.10f * t * t + glow, 0.03f + 0.08f * t + glow, 0.10f + 0.22f * t + glow);
        }
    }
    CRandom random(20261208u);
    for (int star = 0; star < 420; ++star) {
        const int x = static_cast<int>(random.Next() % kWidth);
        const int y = static_cast<int>(random.Next() % (kHeight * 2 / 3));
        const float brightness = 0.35f + 0.65f * static_cast<float>(random.Unit() * random.Unit());
        image.pixels[static_cast<std::size_t>(y) * kWidth + x] =
            Argb(brightness, brightness, brightness * 1.1f + 0.05f);
    }
    return image;
}

// A caption in gold over a dark outline and a soft shadow, its inked box centred on (cx, cy).
void PaintCaption(CCanvas& canvas, platform::CFont* font, std::string_view text, float cx, float cy,
                  float outline) {
    const CMask mask = TextMask(font, text, canvas.Width(), canvas.Height(), cx, cy);
    int top = 0, bottom = 0;
    mask.InkedRows(top, bottom);
    const int offset = static_cast<int>(std::lround(outline));
    const CMask rim = mask.Dilated(outline);
    rim.Blurred(offset, offset, offset + 1).PaintOn(canvas, [](float, float) {
        return Hex(0x04051A, 0.8f);
    });
    rim.PaintOn(canvas, [](float, float) { return Hex(0x1A0F2A); });
    const float height = static_cast<float>(std::max(bottom - top, 1));
    mask.PaintOn(canvas, [&](float, float y) {
        const float t = Clamp01((y - static_cast<float>(top)) / height);
        return t < 0.45f ? Mix(Hex(0xFFF0A8), Hex(kGold), t / 0.45f)
                         : Mix(Hex(kGold), Hex(0xC8841C), (t - 0.45f) / 0.55f);
    });
}

// A menu button: a glossy bevelled plate in the plates' blues with its caption in gold. The
// game keys out white, so the plate's surroundings are exactly white and the plate holds none.
platform::SImage Button(platform::CFont* font, std::string_view caption, int width, int height) {
    CCanvas canvas(width, height);
    const float cx = static_cast<float>(width) / 2, cy = static_cast<float>(height) / 2;
    const float halfWidth = cx - 2, halfHeight = cy - 2;
    const float scale = static_cast<float>(height) / 96;
    const auto shape = [=](float x, float y) {
        return RoundRect(x, y, cx, cy, halfWidth, halfHeight, 26 * scale);
    };
    const SPlateStyle style{.rim = Hex(0x0A0C2E),
                            .rimWidth = 2.5f * scale,
                            .bevelWidth = 8 * scale,
                            .highlight = Hex(0xB4BCFF),
                            .shadow = Hex(0x06081E),
                            .gloss = 0.4f,
                            .glossTop = 2 + 2.5f * scale,
                            .glossEdge = cy - 2 * scale,
                            .centreX = cx,
                            .halfWidth = halfWidth};
    const float plateHeight = static_cast<float>(height) - 4;
    PaintPlate(
        canvas, shape,
        [&](float, float y) {
            const float t = Clamp01((y - 2) / plateHeight);
            const SColor c = Mix(Hex(kPlateLight), Hex(kPlateDark), t);
            // Light thrown back from below, in violet.
            return Mix(c, Hex(0x6A4AD0), 0.45f * SmoothStep(0.62f, 1.0f, t));
        },
        style);
    PaintCaption(canvas, font, caption, cx, cy, 2.2f * scale);
    return canvas.ToKeyedImage(kWhiteKey, style.rim);
}

// The mouse pointer: an arrow with its tip on the top left pixel, pale yellow in a dark
// outline; the game keys out black around it.
platform::SImage Pointer() {
    CCanvas canvas(32, 32);
    const std::vector<SPoint> arrow{{0.6f, 0.6f},   {0.6f, 22.5f}, {5.8f, 17.6f}, {9.8f, 26.4f},
                                    {13.4f, 24.8f}, {9.6f, 16.2f}, {16.6f, 16.2f}};
    const SColor outline = Hex(0x202028);
    canvas.Paint([&](float x, float y) {
        const float d = Polygon(x, y, arrow);
        if (d > 0.9f) {
            return SColor{};
        }
        if (d > -0.7f) {
            return outline;
        }
        return Mix(Hex(0xFFFCE8), Hex(0xEED890), Clamp01((x + y) / 30));
    });
    return canvas.ToKeyedImage(kBlackKey, outline);
}

// A level selection arrow pointing left (or right), bold in green and gold on black, which
// the game keys out.
platform::SImage Arrow(bool right) {
    CCanvas canvas(64, 64);
    const std::vector<SPoint> points{{8, 32},  {31, 9},  {31, 22}, {57, 22},
                                     {57, 42}, {31, 42}, {31, 55}};
    const auto shape = [&](float x, float y) { return Polygon(right ? 64 - x : x, y, points) - 3; };
    const SPlateStyle style{.rim = Hex(0x123410),
                            .rimWidth = 2.2f,
                            .bevelWidth = 5,
                            .highlight = Hex(0xFFF6C0),
                            .shadow = Hex(0x0A240A),
                            .gloss = 0.32f,
                            .glossTop = 8,
                            .glossEdge = 31,
                            .centreX = 32,
                            .halfWidth = 30};
    PaintPlate(
        canvas, shape,
        [](float, float y) {
            const float t = Clamp01((y - 6) / 52);
            return t < 0.45f ? Mix(Hex(0xF4D848), Hex(0xA8CC40), t / 0.45f)
                             : Mix(Hex(0xA8CC40), Hex(0x2E8A30), (t - 0.45f) / 0.55f);
        },
        style);
    return canvas.ToKeyedImage(kBlackKey, style.rim);
}

// One chip of the particle atlas at (left, top), size × size: a gem cut from a block, a
// slightly domed table in the middle and eight facets sloping down to the edges, lit from the
// upper left. Particles are drawn opaque, so the chip fills its square.
void PaintChip(CCanvas& canvas, int left, int top, int size, const SColor& base, CRandom& random) {
    const auto s = static_cast<float>(size);
    const std::array<SPoint, 4> outer{SPoint{0, 0}, {s, 0}, {s, s}, {0, s}};
    std::array<SPoint, 4> inner{};
    SPoint centre;
    for (int i = 0; i < 4; ++i) {
        const auto jitter = [&] { return s * 0.16f * (static_cast<float>(random.Unit()) - 0.5f); };
        inner[i] = {s * (outer[i].x > 0 ? 0.7f : 0.3f) + jitter(),
                    s * (outer[i].y > 0 ? 0.7f : 0.3f) + jitter()};
        centre = {centre.x + inner[i].x / 4, centre.y + inner[i].y / 4};
    }
    const std::vector<float> grain = Grain(random, size * size);
    const float height = s * 0.22f;
    canvas.Paint(
        [&](float x, float y) {
            const SPoint p{x - static_cast<float>(left), y - static_cast<float>(top)};
            SNormal n = Normalized({(p.x - centre.x) / s * 0.8f, (p.y - centre.y) / s * 0.8f, 1});
            float seam = 1e9f;
            for (int i = 0; i < 4; ++i) {
                const SPoint& a = outer[i];
                const SPoint& b = outer[(i + 1) % 4];
                const SPoint& qa = inner[i];
                const SPoint& qb = inner[(i + 1) % 4];
                seam = std::min({seam, Segment(p.x, p.y, a, qa), Segment(p.x, p.y, qa, qb),
                                 Segment(p.x, p.y, a, qb)});
                // Each side is cut into two facets along the line from a to qb.
                if (InTriangle(p, a, b, qb)) {
                    n = PlaneNormal(a, b, qb, 0, height);
                } else if (InTriangle(p, a, qb, qa)) {
                    n = PlaneNormal(a, qb, qa, height, height);
                }
            }
            const std::size_t cell = static_cast<std::size_t>(std::min(int(p.y), size - 1)) *
                                         static_cast<std::size_t>(size) +
                                     static_cast<std::size_t>(std::min(int(p.x), size - 1));
            SColor c = Shade(base, 0.3f + 0.95f * Diffuse(n.x, n.y, n.z) + 0.06f * grain[cell]);
            c = Mix(c, Hex(0xF8F8FF), 0.6f * Specular(n.x, n.y, n.z, 30));
            c = Mix(c, Mix(base, Hex(0xFAFAFF), 0.6f), 0.45f * (1 - SmoothStep(0.2f, 1.1f, seam)));
            const float border = std::min({p.x, p.y, s - p.x, s - p.y});
            return Mix(c, Shade(base, 0.3f), 1 - SmoothStep(0.4f, 1.6f, border));
        },
        3, left, top, left + size, top + size);
}

// The particle atlas: 2 × 2 chips, for block types 0, 1, 2 and the others (4).
platform::SImage ParticleAtlas() {
    CCanvas canvas(128, 128);
    CRandom random(0x5917E5u);
    PaintChip(canvas, 0, 0, 64, Hex(kBlue), random);
    PaintChip(canvas, 64, 0, 64, Hex(kAmber), random);
    PaintChip(canvas, 0, 64, 64, Hex(kGreen), random);
    PaintChip(canvas, 64, 64, 64, Hex(kPurple), random);
    return canvas.ToImage();
}

// Cracks to multiply onto a hit block: near-white, with dark lines branching out from a
// point near the middle and running out over the edges.
platform::SImage Cracks() {
    constexpr int kSize = 64;
    CMask cracks(kSize, kSize);
    CMask edges(kSize, kSize);
    CRandom random(0xC7AC5u);
    struct SBranch {
        SPoint at;
        float heading;
        float width;
        float length;
        int generation;
    };
    std::vector<SBranch> open;
    const SPoint impact{29 + 6 * float(random.Unit()), 29 + 6 * float(random.Unit())};
    constexpr int kMain = 5;
    std::array<float, kMain + 1> headings{};
    for (int i = 0; i < kMain; ++i) {
        headings[i] = 2 * kPi * (float(i) + 0.35f * float(random.Unit())) / kMain;
        open.push_back({impact, headings[i], 1.9f, 90, 0});
    }
    headings[kMain] = headings[0] + 2 * kPi;
    // Rings of short cracks around the impact join some neighbouring rays.
    for (int i = 0; i < kMain; ++i) {
        if (random.Unit() < 0.35) {
            continue;
        }
        const float radius = 8 + 6 * float(random.Unit());
        SPoint from{impact.x + radius * std::cos(headings[i]),
                    impact.y + radius * std::sin(headings[i])};
        for (int k = 1; k <= 5; ++k) {
            const float angle = headings[i] + (headings[i + 1] - headings[i]) * float(k) / 5;
            const float r = radius + 2.4f * (float(random.Unit()) - 0.5f);
            const SPoint to{impact.x + r * std::cos(angle), impact.y + r * std::sin(angle)};
            cracks.Line(from, to, 0.9f, 0.7f);
            from = to;
        }
    }
    // The rays run fairly straight with small kinks, and now and then split off a branch.
    while (!open.empty()) {
        SBranch branch = open.back();
        open.pop_back();
        for (float walked = 0; walked < branch.length;) {
            const float step = 2 + 2 * float(random.Unit());
            if (random.Unit() < 0.15) {
                branch.heading += 0.7f * (float(random.Unit()) - 0.5f);
            }
            const float angle = branch.heading + 0.5f * (float(random.Unit()) - 0.5f);
            const SPoint next{branch.at.x + step * std::cos(angle),
                              branch.at.y + step * std::sin(angle)};
            const float strength = 1.0f - 0.17f * float(branch.generation);
            cracks.Line(branch.at, next, branch.width, strength);
            edges.Line({branch.at.x + 1, branch.at.y + 1}, {next.x + 1, next.y + 1}, branch.width,
                       1);
            branch.at = next;
            walked += step;
            branch.width = std::max(0.7f, branch.width * 0.97f);
            if (next.x < -2 || next.y < -2 || next.x > kSize + 2 || next.y > kSize + 2) {
                break;
            }
            if (branch.generation < 2 && random.Unit() < 0.12) {
                const float turn =
                    (0.4f + 0.5f * float(random.Unit())) * (random.Unit() < 0.5 ? -1.0f : 1.0f);
                open.push_back({next, branch.heading + turn, branch.width * 0.65f,
                                8 + 18 * float(random.Unit()), branch.generation + 1});
            }
        }
    }
    CCanvas canvas(kSize, kSize);
    const auto octaves = CTileNoise::Octaves(random, 4, 3);
    canvas.Paint(
        [&](float x, float y) {
            const float n = CTileNoise::Fractal(octaves, x / kSize, y / kSize);
            const int px = static_cast<int>(x), py = static_cast<int>(y);
            // Beside each crack its broken edge catches a little light.
            SColor c = Hex(0xF0F0F0);
            c = Shade(c, 0.97f + 0.05f * n + 0.035f * edges.At(px, py));
            return Mix(c, Hex(0x404044), cracks.At(px, py));
        },
        1);
    return canvas.ToImage();
}

// A round glowing ball on black: a bright pale blue sphere in a soft halo.
platform::SImage GlowBall() {
    CCanvas canvas(64, 64);
    canvas.Paint([](float x, float y) {
        const float r = std::hypot(x - 32, y - 32);
        const float halo = std::exp(-(r - 14) / 6.5f) * (1 - SmoothStep(24, 31.5f, r));
        SColor c = Mix(Hex(0x000000), Hex(0x4C7CFF), Clamp01(0.85f * halo));
        const SColor core = Sphere(x, y, 32, 32, 16, Hex(0xCFE0FF), 0.9f);
        c = Mix(c, WithAlpha(core, 1), core.a * 1.0f);
        // The ball glows: its dark side is lit from within.
        return Mix(c, Hex(0xE8F0FF), 0.35f * core.a * (1 - SmoothStep(0, 16, r)));
    });
    return canvas.ToImage();
}

// The meshes' textures: 64 × 64, repeating, and without exactly white texels (the game keys
// them out).
constexpr int kTexture = 64;
constexpr float kTextureSize = kTexture;

platform::SImage Texture(const CCanvas& canvas) {
    platform::SImage image = canvas.ToImage();
    AvoidKey(image, kWhiteKey);
    return image;
}

// The ball: chrome with a blue tint, mirroring a light sky over a dark horizon and a grey
// ground, with a few soft bands around it so that its turning shows.
platform::SImage BallTexture() {
    CCanvas canvas(kTexture, kTexture);
    canvas.Paint(
        [](float x, float y) {
            const float u = x / kTextureSize, v = y / kTextureSize;
            SColor c;
            if (v < 0.47f) {
                const float t = v / 0.47f;
                c = Mix(Hex(0xB8C8E4), Hex(0xF2F6FE), SmoothStep(0.0f, 0.55f, t));
                c = Mix(c, Hex(0x7A8AA8), SmoothStep(0.6f, 1.0f, t));
            } else {
                const float t = (v - 0.47f) / 0.53f;
                c = Mix(Hex(0x2A3246), Hex(0x9AA4B8), SmoothStep(0.0f, 0.45f, t));
                c = Mix(c, Hex(0x4A5266), SmoothStep(0.5f, 1.0f, t));
            }
            const float band = std::pow(0.5f + 0.5f * std::cos(2 * kPi * 3 * u), 3.0f);
            return Shade(c, 0.9f + 0.16f * band);
        },
        2);
    return Texture(canvas);
}

// A smooth glossy block face: lighter towards the upper left, a lighter rim and a soft shine.
CCanvas GlossyTile(const SColor& base) {
    CCanvas canvas(kTexture, kTexture);
    canvas.Paint(
        [&](float x, float y) {
            const float edge = std::min({x, y, kTextureSize - x, kTextureSize - y});
            SColor c = Mix(Shade(base, 1.12f), Shade(base, 0.8f), (x + y) / (2 * kTextureSize));
            const bool upperLeft = std::min(x, y) < std::min(kTextureSize - x, kTextureSize - y);
            const float rim = 1 - SmoothStep(2.5f, 6.5f, edge);
            c = Mix(c, Mix(base, Hex(0xF2F4FA), upperLeft ? 0.55f : 0.3f), 0.85f * rim);
            const float shine = std::exp(-(std::pow(x - 22, 2.0f) + std::pow(y - 20, 2.0f)) / 250);
            c = Mix(c, Hex(0xF6F8FE), 0.22f * shine);
            return Mix(c, Shade(base, 0.5f), 1 - SmoothStep(0.3f, 1.6f, edge));
        },
        3);
    return canvas;
}

// The ordinary block: smooth and blue.
platform::SImage Block0() {
    return Texture(GlossyTile(Hex(kBlue)));
}

// The crackable block: amber bricks of rough stone in darker mortar.
platform::SImage Block1() {
    CRandom random(0xB10C1u);
    const auto octaves = CTileNoise::Octaves(random, 4, 4);
    std::array<float, 8> tone{};
    for (float& t : tone) {
        t = 0.9f + 0.16f * static_cast<float>(random.Unit());
    }
    const CTileNoise pits(random, 16, 16);
    const std::vector<float> grain = Grain(random, kTexture * kTexture);
    CCanvas canvas(kTexture, kTexture);
    canvas.Paint(
        [&](float x, float y) {
            const int row = static_cast<int>(y / 16);
            const float bx = std::fmod(x + (row % 2 != 0 ? 16.0f : 0.0f), kTextureSize);
            const int column = static_cast<int>(bx / 32);
            const float lx = bx - static_cast<float>(column * 32);
            const float ly = y - static_cast<float>(row * 16);
            const float n = CTileNoise::Fractal(octaves, x / kTextureSize, y / kTextureSize);
            const float mortar = std::min({lx, 32 - lx, ly, 16 - ly});
            if (mortar < 1.2f) {
                return Shade(Hex(0x8A5A22), 0.85f + 0.3f * n);
            }
            const std::size_t cell =
                static_cast<std::size_t>(y) * kTexture + static_cast<std::size_t>(x);
            SColor c = Shade(Hex(kAmber), tone[static_cast<std::size_t>(row * 2 + column)] *
                                              (0.76f + 0.42f * n + 0.1f * grain[cell]));
            // Small pits in the stone.
            const float pit = SmoothStep(0.26f, 0.1f, pits.At(x / kTextureSize, y / kTextureSize));
            c = Mix(c, Hex(0x7A4414), 0.3f * pit);
            // Each brick's upper and left edges catch the light, its lower and right ones not.
            const float lit = 1 - SmoothStep(1.2f, 3.2f, std::min(lx, ly));
            const float dark = 1 - SmoothStep(1.2f, 3.2f, std::min(32 - lx, 16 - ly));
            c = Mix(c, Hex(0xFCE2A8), 0.45f * lit);
            return Mix(c, Hex(0x6A3A10), 0.45f * dark);
        },
        2);
    return Texture(canvas);
}

// The extra ball block: green with a small light ball in the middle.
platform::SImage Block2() {
    CCanvas canvas = GlossyTile(Hex(kGreen));
    canvas.Paint([](float x, float y) {
        return Circle(x, y, 33.5f, 34, 12) < 0 ? Hex(0x0E3A16, 0.45f) : SColor{};
    });
    canvas.Paint([](float x, float y) {
        const float d = Circle(x, y, 32, 32, 12);
        if (d > 0) {
            return SColor{};
        }
        return d > -1.3f ? Hex(0x165A24) : Sphere(x, y, 32, 32, 10.7f, Hex(0xDCF6DC), 0.9f);
    });
    return Texture(canvas);
}

// The indestructible block: brushed steel with a rivet near each corner.
platform::SImage Block3() {
    CRandom random(0x57EE1u);
    const CTileNoise streaks(random, 3, 64);
    const CTileNoise clouds(random, 4, 4);
    const std::vector<float> grain = Grain(random, kTexture * kTexture);
    CCanvas canvas(kTexture, kTexture);
    canvas.Paint(
        [&](float x, float y) {
            const float u = x / kTextureSize, v = y / kTextureSize;
            const std::size_t cell =
                static_cast<std::size_t>(y) * kTexture + static_cast<std::size_t>(x);
            const float metal =
                0.82f + 0.22f * streaks.At(u, v) + 0.1f * clouds.At(u, v) + 0.05f * grain[cell];
            SColor c = Shade(Hex(kSteel), metal);
            const float edge = std::min({x, y, kTextureSize - x, kTextureSize - y});
            const bool upperLeft = std::min(x, y) < std::min(kTextureSize - x, kTextureSize - y);
            const float bevel = 1 - SmoothStep(1.0f, 3.5f, edge);
            return Mix(c, upperLeft ? Hex(0xDCE2E8) : Hex(0x3A4048), 0.6f * bevel);
        },
        1);
    for (const SPoint rivet : {SPoint{10, 10}, {54, 10}, {10, 54}, {54, 54}}) {
        canvas.Paint([&](float x, float y) {
            return Circle(x, y, rivet.x + 1, rivet.y + 1.3f, 5) < 0 ? Hex(0x22262C, 0.5f)
                                                                    : SColor{};
        });
        canvas.Paint([&](float x, float y) {
            return Sphere(x, y, rivet.x, rivet.y, 4.5f, Hex(0xB4BCC6), 0.8f);
        });
    }
    return Texture(canvas);
}

// The random effect block: purple with a golden question mark.
platform::SImage Block4(platform::CFont* font) {
    CCanvas canvas = GlossyTile(Hex(kPurple));
    PaintCaption(canvas, font, "?", 32, 32, 2);
    return Texture(canvas);
}

// The board, its floor and walls: dark slate tiles with quiet joints, so that the blocks
// stand out.
platform::SImage BoardTexture() {
    CRandom random(0xB0A4Du);
    const auto octaves = CTileNoise::Octaves(random, 4, 3);
    std::array<float, 16> tone{};
    for (float& t : tone) {
        t = 0.95f + 0.1f * static_cast<float>(random.Unit());
    }
    CCanvas canvas(kTexture, kTexture);
    canvas.Paint(
        [&](float x, float y) {
            const int column = static_cast<int>(x / 16), row = static_cast<int>(y / 16);
            const float lx = x - static_cast<float>(column * 16);
            const float ly = y - static_cast<float>(row * 16);
            const float n = CTileNoise::Fractal(octaves, x / kTextureSize, y / kTextureSize);
            SColor c = Shade(Hex(0x3A4456), tone[static_cast<std::size_t>(row * 4 + column)] *
                                                (0.94f + 0.12f * n));
            if (std::min(lx, ly) < 1) {
                return Shade(c, 0.72f);
            }
            return std::min(lx, ly) < 2 ? Shade(c, 1.1f) : c;
        },
        1);
    return Texture(canvas);
}

// The paddle: brushed metal between cyan and silver, a darker stripe along its middle.
platform::SImage PaddleTexture() {
    CRandom random(0xBADD1u);
    const CTileNoise streaks(random, 2, 64);
    CCanvas canvas(kTexture, kTexture);
    canvas.Paint(
        [&](float x, float y) {
            const float v = y / kTextureSize;
            const float brushed = 0.95f + 0.07f * streaks.At(x / kTextureSize, v);
            const float middle = std::fabs(v - 0.5f);
            if (middle < 0.12f) {
                const SColor stripe = Mix(Hex(0x1E5A6E), Hex(0x2E7C90), middle / 0.12f);
                return Shade(stripe, brushed);
            }
            if (middle < 0.145f) {
                return Hex(0xB8ECF4);
            }
            // Away from the stripe the metal mirrors a bright band, darker towards the edges.
            const float t = (middle - 0.145f) / 0.355f;
            SColor c = Mix(Hex(0xE4F6FA), Hex(0x8CC4D2), SmoothStep(0.15f, 0.8f, t));
            c = Mix(c, Hex(0x4C8094), SmoothStep(0.75f, 1.0f, t));
            return Shade(c, brushed * (v < 0.5f ? 1.0f : 0.9f));
        },
        2);
    return Texture(canvas);
}

} // namespace

// The window icon: three blocks stacked and a silver ball, on a transparent ground. It is
// drawn in the units of 64 x 64 pixels and rendered at size x size.
platform::SImage MakeIcon(int size) {
    CCanvas canvas(size, size, 64.0f / static_cast<float>(size));
    const auto block = [&](float left, float top, float right, float bottom, std::uint32_t rgb) {
        const SColor base = Hex(rgb);
        const float cx = (left + right) / 2, cy = (top + bottom) / 2;
        const SPlateStyle style{.rim = Shade(base, 0.3f),
                                .rimWidth = 1.2f,
                                .bevelWidth = 3.5f,
                                .highlight = Mix(base, Hex(0xF8F8FF), 0.7f),
                                .shadow = Shade(base, 0.25f),
                                .gloss = 0.25f,
                                .glossTop = top + 1,
                                .glossEdge = cy,
                                .centreX = cx,
                                .halfWidth = (right - left) / 2};
        PaintPlate(
            canvas,
            [=](float x, float y) {
                return RoundRect(x, y, cx, cy, (right - left) / 2, (bottom - top) / 2, 3);
            },
            [&](float, float y) {
                return Mix(Shade(base, 1.1f), Shade(base, 0.8f), (y - top) / (bottom - top));
            },
            style);
    };
    block(1, 45, 32, 63, kBlue);
    block(32, 45, 63, 63, kAmber);
    block(8, 27, 39, 45, kGreen);
    canvas.Paint([](float x, float y) { return Sphere(x, y, 49, 20, 11, Hex(0xB8C4D8), 1.0f); });
    return canvas.ToImage();
}

std::vector<SPicture> MakePictures() {
    std::string error;
    std::unique_ptr<platform::CFont> big = platform::CFont::Create("Arial:bold", 56, &error);
    std::unique_ptr<platform::CFont> mark = platform::CFont::Create("Arial:bold", 50, &error);
    if (!big || !mark) {
        std::fprintf(stderr, "zantor-assetgen: no font, the pictures stay without text: %s\n",
                     error.c_str());
    }
    std::vector<SPicture> pictures;
    pictures.push_back({"background.png", Background()});
    pictures.push_back({"start.png", Button(big.get(), "Start", 256, 96)});
    pictures.push_back({"info.png", Button(big.get(), "Info", 256, 96)});
    pictures.push_back({"end.png", Button(big.get(), "Ende", 256, 96)});
    pictures.push_back({"end.en.png", Button(big.get(), "Quit", 256, 96)});
    pictures.push_back({"zeiger.png", Pointer()});
    pictures.push_back({"links.png", Arrow(false)});
    pictures.push_back({"rechts.png", Arrow(true)});
    pictures.push_back({"sprite.png", ParticleAtlas()});
    pictures.push_back({"risse.png", Cracks()});
    pictures.push_back({"ball.png", GlowBall()});
    pictures.push_back({"kugel.png", BallTexture()});
    pictures.push_back({"block0.png", Block0()});
    pictures.push_back({"block1.png", Block1()});
    pictures.push_back({"block2.png", Block2()});
    pictures.push_back({"block3.png", Block3()});
    pictures.push_back({"block4.png", Block4(mark.get())});
    pictures.push_back({"brett.png", BoardTexture()});
    pictures.push_back({"paddel.png", PaddleTexture()});
    pictures.push_back({"zantor.png", MakeIcon(64)});
    return pictures;
}

} // namespace assetgen
