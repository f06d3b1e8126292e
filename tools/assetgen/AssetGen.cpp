// Makes the pictures of the Standard data set, the same bytes on every run.
// Usage: zantor-assetgen OUTPUT_DIRECTORY
#include "platform/Image.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// A small deterministic random source (xorshift), so that every build makes the same files.
class CRandom {
  public:
    explicit CRandom(std::uint32_t seed) : m_State(seed) {}
    std::uint32_t Next() {
        m_State ^= m_State << 13;
        m_State ^= m_State >> 17;
        m_State ^= m_State << 5;
        return m_State;
    }
    float Unit() { return static_cast<float>(Next() % 100000u) / 100000.0f; }

  private:
    std::uint32_t m_State;
};

std::uint32_t Argb(float r, float g, float b) {
    const auto channel = [](float v) {
        return static_cast<std::uint32_t>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
    };
    return 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
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
        const float brightness = 0.35f + 0.65f * random.Unit() * random.Unit();
        std::uint32_t& pixel = image.pixels[static_cast<std::size_t>(y) * kWidth + x];
        pixel = Argb(brightness, brightness, brightness * 1.1f + 0.05f);
    }
    return image;
}

bool Write(const std::string& directory, const char* name, const platform::SImage& image) {
    const std::string path = directory + "/" + name;
    if (!platform::SavePng(image, path)) {
        std::fprintf(stderr, "zantor-assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zantor-assetgen OUTPUT_DIRECTORY\n");
        return 2;
    }
    const std::string directory = argv[1];
    return Write(directory, "background.png", Background()) ? 0 : 1;
}
