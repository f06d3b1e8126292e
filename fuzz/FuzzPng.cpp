// The bytes as a PNG file: its header, its pixels, and for small pictures the scaling and
// the mip chain the texture loader makes of them.
#include "FuzzSupport.h"
#include "platform/Image.h"

namespace {

// Pictures up to this many pixels are scaled: the game's mesh textures are 64 × 64.
constexpr std::int64_t kScaledPixels = 64 * 64;

bool WellFormed(const platform::SImage& image, int width, int height) {
    return image.width == width && image.height == height &&
           image.pixels.size() ==
               static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::CEnvironment environment;
    static const std::string path = (environment.DataDir() / "fuzz.png").string();
    fuzz::WriteFile(path, fuzz::AsText(data, size));

    std::string error;
    const std::optional<platform::SImageInfo> info = platform::ReadPngInfo(path, &error);
    FUZZ_CHECK(info || !error.empty());
    if (info) {
        FUZZ_CHECK(info->width > 0 && info->width <= platform::kImageMaxSide);
        FUZZ_CHECK(info->height > 0 && info->height <= platform::kImageMaxSide);
        FUZZ_CHECK(std::int64_t{info->width} * info->height <= platform::kImageMaxPixels);
        FUZZ_CHECK(info->channels >= 1 && info->channels <= 4);
    }
    error.clear();
    std::optional<platform::SImage> image = platform::LoadPng(path, &error);
    if (!image) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    // A picture that decodes has the size its header says.
    FUZZ_CHECK(info && WellFormed(*image, info->width, info->height));
    if (std::int64_t{image->width} * image->height > kScaledPixels) {
        return 0;
    }

    platform::ApplyColorKey(*image, 0xffffffffu);
    const int width = 1 + data[size - 1] % 80;
    const int height = 1 + data[size - 2] % 80;
    const platform::SImage scaled = platform::ScaleImage(*image, width, height);
    FUZZ_CHECK(WellFormed(scaled, width, height));

    const std::vector<platform::SImage> chain = platform::BuildMipChain(scaled);
    int w = width;
    int h = height;
    for (const platform::SImage& level : chain) {
        FUZZ_CHECK(w > 1 || h > 1);
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
        FUZZ_CHECK(WellFormed(level, w, h));
    }
    FUZZ_CHECK(w == 1 && h == 1);
    return 0;
}
