#pragma once

// Drawing helpers of zantor-assetgen's pictures: a canvas of floating-point colours, shapes
// given as signed distances and sampled several times per pixel for smooth edges, coverage
// masks (text from the font atlas, crack lines), tileable noise, and the conversion into
// 32-bit pictures with or without a colour key.

#include "Assets.h"
#include "platform/Image.h"
#include "platform/media/Font.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace assetgen::draw {

inline constexpr float kPi = 3.14159265f;

// A colour with straight (not premultiplied) alpha, every channel 0..1.
struct SColor {
    float r = 0, g = 0, b = 0, a = 0;
};

// An opaque colour from 0xRRGGBB.
inline SColor Hex(std::uint32_t rgb, float alpha = 1.0f) {
    return {static_cast<float>(rgb >> 16 & 0xFF) / 255.0f,
            static_cast<float>(rgb >> 8 & 0xFF) / 255.0f, static_cast<float>(rgb & 0xFF) / 255.0f,
            alpha};
}

inline float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

inline float SmoothStep(float edge0, float edge1, float v) {
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

inline SColor Mix(const SColor& from, const SColor& to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

// The colour brighter (factor above 1) or darker; alpha stays.
inline SColor Shade(const SColor& c, float factor) {
    return {c.r * factor, c.g * factor, c.b * factor, c.a};
}

inline SColor WithAlpha(SColor c, float alpha) {
    c.a = alpha;
    return c;
}

struct SPoint {
    float x = 0, y = 0;
};

// Signed distances in pixels: negative inside the shape, positive outside.
inline float RoundRect(float x, float y, float cx, float cy, float halfWidth, float halfHeight,
                       float radius) {
    const float qx = std::fabs(x - cx) - halfWidth + radius;
    const float qy = std::fabs(y - cy) - halfHeight + radius;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) -
           radius;
}

inline float Circle(float x, float y, float cx, float cy, float radius) {
    return std::hypot(x - cx, y - cy) - radius;
}

// Distance to the segment from a to b (never negative).
inline float Segment(float x, float y, SPoint a, SPoint b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length2 = dx * dx + dy * dy;
    const float t = length2 > 0 ? Clamp01(((x - a.x) * dx + (y - a.y) * dy) / length2) : 0.0f;
    return std::hypot(x - a.x - t * dx, y - a.y - t * dy);
}

// Signed distance to a simple polygon (any winding).
inline float Polygon(float x, float y, const std::vector<SPoint>& points) {
    float distance = 1e9f;
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const SPoint& a = points[i];
        const SPoint& b = points[j];
        distance = std::min(distance, Segment(x, y, a, b));
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside ? -distance : distance;
}

// Whether p lies in the triangle a, b, c (corners clockwise on the screen, y down).
inline bool InTriangle(SPoint p, SPoint a, SPoint b, SPoint c) {
    const auto side = [&](SPoint from, SPoint to) {
        return (to.x - from.x) * (p.y - from.y) - (to.y - from.y) * (p.x - from.x) >= 0;
    };
    return side(a, b) && side(b, c) && side(c, a);
}

// A direction in space: x to the right, y down, z towards the viewer.
struct SNormal {
    float x = 0, y = 0, z = 1;
};

inline SNormal Normalized(SNormal n) {
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return {n.x / length, n.y / length, n.z / length};
}

// The unit normal, facing the viewer, of the plane through a (at height 0), b (at height zb)
// and c (at height zc).
inline SNormal PlaneNormal(SPoint a, SPoint b, SPoint c, float zb, float zc) {
    const float ux = b.x - a.x, uy = b.y - a.y, vx = c.x - a.x, vy = c.y - a.y;
    const SNormal n = Normalized({uy * zc - zb * vy, zb * vx - ux * zc, ux * vy - uy * vx});
    return n.z < 0 ? SNormal{-n.x, -n.y, -n.z} : n;
}

// The outward unit normal of a distance function at (x, y), by central differences.
template <class F>
SPoint Normal(const F& distance, float x, float y) {
    constexpr float kStep = 0.25f;
    const float nx = distance(x + kStep, y) - distance(x - kStep, y);
    const float ny = distance(x, y + kStep) - distance(x, y - kStep);
    const float length = std::hypot(nx, ny);
    return length > 0 ? SPoint{nx / length, ny / length} : SPoint{0, -1};
}

// A picture in the making: colours kept premultiplied by alpha, composited "over".
class CCanvas {
  public:
    // unit: the drawing's units per pixel; a drawing made in the units of one size renders at
    // another (the icon drawn for 64 x 64 pixels, made at 16 x 16 with unit 4). The shaders
    // get coordinates in those units.
    CCanvas(int width, int height, float unit = 1.0f)
        : m_Width(width), m_Height(height), m_Unit(unit),
          m_Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }

    // The straight colour at a pixel.
    SColor At(int x, int y) const {
        const SColor& p = m_Pixels[Index(x, y)];
        return p.a > 0 ? SColor{p.r / p.a, p.g / p.a, p.b / p.a, p.a} : SColor{};
    }

    // Composites colour over the pixel with its alpha times coverage.
    void Blend(int x, int y, const SColor& colour, float coverage = 1.0f) {
        if (x < 0 || y < 0 || x >= m_Width || y >= m_Height) {
            return;
        }
        const float a = Clamp01(colour.a * coverage);
        SColor& p = m_Pixels[Index(x, y)];
        p = {colour.r * a + p.r * (1 - a), colour.g * a + p.g * (1 - a),
             colour.b * a + p.b * (1 - a), a + p.a * (1 - a)};
    }

    // Composites shader(x, y) (a straight colour, alpha 0 outside the shape) over the pixels
    // of the box, sampled samples × samples times in each pixel.
    template <class F>
    void Paint(const F& shader, int samples = 4, int left = 0, int top = 0, int right = -1,
               int bottom = -1) {
        right = right < 0 ? m_Width : std::min(right, m_Width);
        bottom = bottom < 0 ? m_Height : std::min(bottom, m_Height);
        const float weight = 1.0f / static_cast<float>(samples * samples);
        for (int y = std::max(top, 0); y < bottom; ++y) {
            for (int x = std::max(left, 0); x < right; ++x) {
                SColor sum;
                for (int sy = 0; sy < samples; ++sy) {
                    for (int sx = 0; sx < samples; ++sx) {
                        const SColor c = shader((x + (sx + 0.5f) / samples) * m_Unit,
                                                (y + (sy + 0.5f) / samples) * m_Unit);
                        const float a = Clamp01(c.a);
                        sum = {sum.r + c.r * a, sum.g + c.g * a, sum.b + c.b * a, sum.a + a};
                    }
                }
                if (sum.a > 0) {
                    Blend(x, y, {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a * weight});
                }
            }
        }
    }

    // The picture with its alpha; fully transparent pixels become 0x00000000.
    platform::SImage ToImage() const {
        platform::SImage image = Blank();
        for (std::size_t i = 0; i < m_Pixels.size(); ++i) {
            const SColor& p = m_Pixels[i];
            image.pixels[i] = p.a > 0 ? Pack({p.r / p.a, p.g / p.a, p.b / p.a, p.a}) : 0u;
        }
        return image;
    }

    // The picture for a colour key: pixels covered less than threshold become exactly key,
    // the others are opaque, their partly covered edges blended towards matte. No covered
    // pixel keeps the key's value.
    platform::SImage ToKeyedImage(std::uint32_t key, const SColor& matte,
                                  float threshold = 0.5f) const {
        platform::SImage image = Blank();
        for (std::size_t i = 0; i < m_Pixels.size(); ++i) {
            const SColor& p = m_Pixels[i];
            if (p.a < threshold) {
                image.pixels[i] = key;
                continue;
            }
            const float rest = 1 - std::min(p.a, 1.0f);
            image.pixels[i] =
                Pack({p.r + matte.r * rest, p.g + matte.g * rest, p.b + matte.b * rest, 1.0f});
            if (image.pixels[i] == key) {
                image.pixels[i] ^= 0x00010101u;
            }
        }
        return image;
    }

    static std::uint32_t Pack(const SColor& c) {
        const auto channel = [](float v) {
            return static_cast<std::uint32_t>(std::lround(Clamp01(v) * 255));
        };
        return channel(c.a) << 24 | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
    }

  private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_Width) +
               static_cast<std::size_t>(x);
    }
    platform::SImage Blank() const {
        platform::SImage image;
        image.width = m_Width;
        image.height = m_Height;
        image.pixels.resize(m_Pixels.size());
        return image;
    }

    int m_Width;
    int m_Height;
    float m_Unit;
    std::vector<SColor> m_Pixels;
};

// The light falls from the upper left and, for surfaces that face the viewer, from the front.
inline constexpr SPoint kLight{-0.45f, -0.89f};
inline constexpr std::array<float, 3> kLight3{-0.42f, -0.55f, 0.72f};

// The brightness of a surface with the normal (nx, ny, nz) (unit length, z towards the
// viewer): diffuse light and a specular highlight.
inline float Diffuse(float nx, float ny, float nz) {
    return std::max(0.0f, nx * kLight3[0] + ny * kLight3[1] + nz * kLight3[2]);
}
inline float Specular(float nx, float ny, float nz, float power) {
    // The half vector between the light and the viewer (0, 0, 1).
    const float hx = kLight3[0], hy = kLight3[1], hz = kLight3[2] + 1;
    const float length = std::sqrt(hx * hx + hy * hy + hz * hz);
    return std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / length), power);
}

// A shaded sphere at the point (x, y) of a disc of the given centre and radius: base colour
// lit, with a highlight; transparent outside.
inline SColor Sphere(float x, float y, float cx, float cy, float radius, const SColor& base,
                     float shine) {
    const float nx = (x - cx) / radius, ny = (y - cy) / radius;
    const float r2 = nx * nx + ny * ny;
    if (r2 >= 1) {
        return {};
    }
    const float nz = std::sqrt(1 - r2);
    const SColor lit = Shade(base, 0.28f + 0.9f * Diffuse(nx, ny, nz));
    // A faint light reflected from below keeps the dark side round.
    const SColor rim = Mix(lit, Shade(base, 0.75f),
                           0.5f * SmoothStep(0.55f, 1.0f, r2) * SmoothStep(0.0f, 0.8f, nx + ny));
    return Mix(rim, Hex(0xF6F8FF), shine * Specular(nx, ny, nz, 28));
}

// How a bevelled plate is lit: its dark rim, the width of its bevel and the colours the bevel
// turns to, and a gloss over its upper part whose lower edge bows upwards to the sides.
struct SPlateStyle {
    SColor rim;
    float rimWidth = 2;
    float bevelWidth = 6;
    SColor highlight;
    SColor shadow;
    float gloss = 0.3f;
    float glossTop = 0;
    float glossEdge = 0;
    float centreX = 0;
    float halfWidth = 1;
};

// Paints a plate: distance(x, y) gives its shape, face(x, y) its colour before the light.
template <class D, class F>
void PaintPlate(CCanvas& canvas, const D& distance, const F& face, const SPlateStyle& style,
                int samples = 4) {
    canvas.Paint(
        [&](float x, float y) {
            const float d = distance(x, y);
            if (d > 0) {
                return SColor{};
            }
            if (d > -style.rimWidth) {
                return style.rim;
            }
            const float inside = -d - style.rimWidth;
            SColor c = face(x, y);
            const float bevel = std::pow(1 - Clamp01(inside / style.bevelWidth), 1.4f);
            if (bevel > 0) {
                const SPoint n = draw::Normal(distance, x, y);
                const float lit = n.x * kLight.x + n.y * kLight.y;
                c = lit > 0 ? Mix(c, style.highlight, bevel * lit)
                            : Mix(c, style.shadow, bevel * -lit * 0.8f);
            }
            const float s = (x - style.centreX) / style.halfWidth;
            const float edge = style.glossEdge - (style.glossEdge - style.glossTop) * 0.3f * s * s;
            const float fade = Clamp01((y - style.glossTop) / (edge - style.glossTop));
            const float gloss = style.gloss * SmoothStep(edge + 0.7f, edge - 0.7f, y) *
                                (1 - 0.6f * fade) *
                                SmoothStep(style.bevelWidth * 0.3f, style.bevelWidth, inside);
            return Mix(c, Hex(0xF4F6FF), gloss);
        },
        samples);
}

// Changes every pixel that equals key exactly by one step in each colour channel, so that
// a colour key leaves the picture whole.
inline void AvoidKey(platform::SImage& image, std::uint32_t key) {
    for (std::uint32_t& pixel : image.pixels) {
        if (pixel == key) {
            pixel ^= 0x00010101u;
        }
    }
}

// A coverage value (0..1) per pixel.
class CMask {
  public:
    CMask(int width, int height)
        : m_Width(width), m_Height(height),
          m_Values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }

    // Zero outside.
    float At(int x, int y) const {
        return x < 0 || y < 0 || x >= m_Width || y >= m_Height ? 0.0f : m_Values[Index(x, y)];
    }
    void Max(int x, int y, float value) {
        if (x >= 0 && y >= 0 && x < m_Width && y < m_Height) {
            float& v = m_Values[Index(x, y)];
            v = std::max(v, value);
        }
    }

    // The first inked row and the row below the last (both 0 when nothing is inked).
    void InkedRows(int& top, int& bottom) const {
        top = bottom = 0;
        for (int y = m_Height - 1; y >= 0; --y) {
            for (int x = 0; x < m_Width; ++x) {
                if (m_Values[Index(x, y)] > 0) {
                    bottom = bottom == 0 ? y + 1 : bottom;
                    top = y;
                    break;
                }
            }
        }
    }

    // An anti-aliased line of the given width and strength, kept where it is the strongest.
    void Line(SPoint a, SPoint b, float width, float strength) {
        const float reach = width / 2 + 1;
        for (int y = static_cast<int>(std::floor(std::min(a.y, b.y) - reach));
             y <= static_cast<int>(std::ceil(std::max(a.y, b.y) + reach)); ++y) {
            for (int x = static_cast<int>(std::floor(std::min(a.x, b.x) - reach));
                 x <= static_cast<int>(std::ceil(std::max(a.x, b.x) + reach)); ++x) {
                const float d = Segment(x + 0.5f, y + 0.5f, a, b);
                Max(x, y, strength * Clamp01(width / 2 + 0.5f - d));
            }
        }
    }

    // The mask grown by radius pixels (the strongest value within the disc).
    CMask Dilated(float radius) const {
        CMask out(m_Width, m_Height);
        const int reach = static_cast<int>(std::ceil(radius));
        for (int y = 0; y < m_Height; ++y) {
            for (int x = 0; x < m_Width; ++x) {
                float best = 0;
                for (int dy = -reach; dy <= reach; ++dy) {
                    for (int dx = -reach; dx <= reach; ++dx) {
                        const float weight = Clamp01(radius + 0.5f - std::hypot(dx, dy));
                        best = std::max(best, At(x + dx, y + dy) * weight);
                    }
                }
                out.m_Values[Index(x, y)] = best;
            }
        }
        return out;
    }

    // The mask softened by two passes of a box filter, and moved by (dx, dy).
    CMask Blurred(int radius, int dx = 0, int dy = 0) const {
        CMask out = *this;
        const float weight = 1.0f / static_cast<float>((2 * radius + 1) * (2 * radius + 1));
        for (int pass = 0; pass < 2; ++pass) {
            const CMask in = out;
            for (int y = 0; y < m_Height; ++y) {
                for (int x = 0; x < m_Width; ++x) {
                    float sum = 0;
                    for (int sy = -radius; sy <= radius; ++sy) {
                        for (int sx = -radius; sx <= radius; ++sx) {
                            sum +=
                                in.At(x + sx - (pass == 0 ? dx : 0), y + sy - (pass == 0 ? dy : 0));
                        }
                    }
                    out.m_Values[Index(x, y)] = sum * weight;
                }
            }
        }
        return out;
    }

    // Composites colour(x, y) over the canvas with the mask as coverage.
    template <class F>
    void PaintOn(CCanvas& canvas, const F& colour) const {
        for (int y = 0; y < m_Height; ++y) {
            for (int x = 0; x < m_Width; ++x) {
                if (const float v = m_Values[Index(x, y)]; v > 0) {
                    canvas.Blend(x, y, colour(x + 0.5f, y + 0.5f), v);
                }
            }
        }
    }

  private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_Width) +
               static_cast<std::size_t>(x);
    }

    int m_Width;
    int m_Height;
    std::vector<float> m_Values;
};

// The coverage of one line of text whose inked box is centred on (cx, cy); empty without a
// font.
inline CMask TextMask(platform::CFont* font, std::string_view text, int width, int height, float cx,
                      float cy) {
    CMask mask(width, height);
    if (font == nullptr) {
        return mask;
    }
    std::vector<platform::SGlyphQuad> quads;
    font->Layout(text, 0, 0, {-100000, -100000, 100000, 100000}, quads);
    if (quads.empty()) {
        return mask;
    }
    float left = quads[0].x0, top = quads[0].y0, right = quads[0].x1, bottom = quads[0].y1;
    for (const platform::SGlyphQuad& q : quads) {
        left = std::min(left, q.x0);
        top = std::min(top, q.y0);
        right = std::max(right, q.x1);
        bottom = std::max(bottom, q.y1);
    }
    quads.clear();
    font->Layout(text, static_cast<int>(std::lround(cx - (left + right) / 2)),
                 static_cast<int>(std::lround(cy - (top + bottom) / 2)), {0, 0, width, height},
                 quads);
    const std::vector<std::uint8_t>& atlas = font->GetAtlasPixels();
    const int atlasWidth = font->GetAtlasWidth();
    const int atlasHeight = font->GetAtlasHeight();
    for (const platform::SGlyphQuad& q : quads) {
        const int x0 = static_cast<int>(q.x0), y0 = static_cast<int>(q.y0);
        const int u0 = static_cast<int>(std::lround(q.u0 * static_cast<float>(atlasWidth)));
        const int v0 = static_cast<int>(std::lround(q.v0 * static_cast<float>(atlasHeight)));
        for (int y = y0; y < static_cast<int>(q.y1); ++y) {
            for (int x = x0; x < static_cast<int>(q.x1); ++x) {
                const std::size_t texel =
                    static_cast<std::size_t>(v0 + y - y0) * static_cast<std::size_t>(atlasWidth) +
                    static_cast<std::size_t>(u0 + x - x0);
                mask.Max(x, y, static_cast<float>(atlas[texel]) / 255.0f);
            }
        }
    }
    return mask;
}

// Random values in -0.5..0.5, one per pixel, for a fine grain.
inline std::vector<float> Grain(CRandom& random, int count) {
    std::vector<float> grain(static_cast<std::size_t>(count));
    for (float& g : grain) {
        g = static_cast<float>(random.Unit()) - 0.5f;
    }
    return grain;
}

// Smooth value noise in 0..1 that repeats after one unit in u and v: a lattice of
// cellsU × cellsV random values, interpolated smoothly.
class CTileNoise {
  public:
    CTileNoise(CRandom& random, int cellsU, int cellsV)
        : m_CellsU(cellsU), m_CellsV(cellsV),
          m_Values(static_cast<std::size_t>(cellsU) * static_cast<std::size_t>(cellsV)) {
        for (float& v : m_Values) {
            v = static_cast<float>(random.Unit());
        }
    }

    float At(float u, float v) const {
        const float fu = u * static_cast<float>(m_CellsU);
        const float fv = v * static_cast<float>(m_CellsV);
        const float iu = std::floor(fu), iv = std::floor(fv);
        const float tu = SmoothStep(0, 1, fu - iu), tv = SmoothStep(0, 1, fv - iv);
        const int x = static_cast<int>(iu), y = static_cast<int>(iv);
        const float top = Lerp(Value(x, y), Value(x + 1, y), tu);
        const float bottom = Lerp(Value(x, y + 1), Value(x + 1, y + 1), tu);
        return Lerp(top, bottom, tv);
    }

    // Octaves of noise, each with twice the cells of the one before and half its weight;
    // the sum is again in 0..1.
    static float Fractal(const std::vector<CTileNoise>& octaves, float u, float v) {
        float sum = 0, weight = 0, w = 1;
        for (const CTileNoise& octave : octaves) {
            sum += octave.At(u, v) * w;
            weight += w;
            w *= 0.5f;
        }
        return weight > 0 ? sum / weight : 0.5f;
    }
    static std::vector<CTileNoise> Octaves(CRandom& random, int cells, int count) {
        std::vector<CTileNoise> octaves;
        for (int i = 0; i < count; ++i, cells *= 2) {
            octaves.emplace_back(random, cells, cells);
        }
        return octaves;
    }

  private:
    static float Lerp(float a, float b, float t) { return a + (b - a) * t; }
    float Value(int x, int y) const {
        x = ((x % m_CellsU) + m_CellsU) % m_CellsU;
        y = ((y % m_CellsV) + m_CellsV) % m_CellsV;
        return m_Values[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_CellsU) +
                        static_cast<std::size_t>(x)];
    }

    int m_CellsU;
    int m_CellsV;
    std::vector<float> m_Values;
};

} // namespace assetgen::draw
