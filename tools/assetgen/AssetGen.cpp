// Makes the pictures of the Standard data set, the same bytes on every run.
// Usage: zantor-assetgen OUTPUT_DIRECTORY, or zantor-assetgen --tone FILE.wav SECONDS for a
// test tone.
#include "platform/Image.h"
#include "platform/Path.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

// A WAV file of 16-bit stereo samples at 44100 Hz.
bool WriteWave(const std::string& path, const std::vector<std::int16_t>& samples) {
    std::FILE* raw = std::fopen(path.c_str(), "wb");
    if (raw == nullptr) {
        return false;
    }
    platform::FilePtr file(raw);
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string header = "RIFF";
    const auto put32 = [&header](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            header += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    const auto put16 = [&header](std::uint16_t v) {
        header += static_cast<char>(v & 0xFF);
        header += static_cast<char>(v >> 8);
    };
    put32(36 + dataBytes);
    header += "WAVEfmt ";
    put32(16);
    put16(1);         // PCM
    put16(2);         // stereo
    put32(44100);     // samples per second
    put32(44100 * 4); // bytes per second
    put16(4);         // block alignment
    put16(16);        // bits per sample
    header += "data";
    put32(dataBytes);
    return std::fwrite(header.data(), 1, header.size(), file.get()) == header.size() &&
           std::fwrite(samples.data(), 2, samples.size(), file.get()) == samples.size();
}

// A tone for tests: a chord that rises and falls, seconds long.
std::vector<std::int16_t> TestTone(double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * 44100);
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / 44100;
        const double value = 0.3 * std::sin(2 * 3.14159265 * 440 * t) +
                             0.2 * std::sin(2 * 3.14159265 * 660 * t * (1 + 0.1 * std::sin(t)));
        samples[i * 2] = samples[i * 2 + 1] = static_cast<std::int16_t>(value * 32767);
    }
    return samples;
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
    if (argc == 4 && std::string(argv[1]) == "--tone") {
        return WriteWave(argv[2], TestTone(std::atof(argv[3]))) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: zantor-assetgen OUTPUT_DIRECTORY\n"
                             "       zantor-assetgen --tone FILE.wav SECONDS\n");
        return 2;
    }
    const std::string directory = argv[1];
    return Write(directory, "background.png", Background()) ? 0 : 1;
}
