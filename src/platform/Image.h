#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// An image in memory: width × height pixels, rows from the top, each pixel a 32-bit ARGB
// value (alpha in the top byte, as the game writes colours: 0xAARRGGBB).
struct SImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// What an image file says about itself without decoding its pixels.
struct SImageInfo {
    int width = 0;
    int height = 0;
    int bitDepth = 0;      // bits per channel as stored (1, 2, 4, 8 or 16)
    int channels = 0;      // channels as stored (1 grey, 2 grey + alpha, 3 RGB, 4 RGBA; palette 1)
    bool hasAlpha = false; // an alpha channel or a transparency chunk
};

// Largest image the game accepts, on a side and in total; larger files are refused before
// any pixel memory is taken.
inline constexpr int kImageMaxSide = 16384;
inline constexpr std::int64_t kImageMaxPixels = 32LL * 1024 * 1024;

// Reads a PNG file's header. Nothing, with the reason in error when given, when the file is
// missing, no PNG, corrupt or larger than the limits above.
std::optional<SImageInfo> ReadPngInfo(std::string_view path, std::string* error = nullptr);

// Decodes a PNG file of any colour type, bit depth, palette, transparency chunk and
// interlacing into 8-bit ARGB. Nothing, with the reason, when the file is missing, no PNG,
// corrupt, truncated or larger than the limits above.
std::optional<SImage> LoadPng(std::string_view path, std::string* error = nullptr);

// Every pixel that equals key exactly becomes transparent black (0x00000000). A key of 0
// means no colour key and changes nothing.
void ApplyColorKey(SImage& image, std::uint32_t key);

// The image resampled to width × height with a linear (tent) filter; each channel is
// filtered on its own, alpha included.
SImage ScaleImage(const SImage& image, int width, int height);

// The chain of mip levels below image: each level half the size of the one above (a side
// of 1 stays 1), each pixel the mean of the 2 × 2 (or 2 × 1) pixels above it, down to 1 × 1.
// The image itself is not part of the result.
std::vector<SImage> BuildMipChain(const SImage& image);

// Writes the image as an 8-bit RGBA PNG; false when the file cannot be written.
bool SavePng(const SImage& image, std::string_view path);

// Writes a 24-bit BMP (Windows bitmap, bottom-up rows) of the image's colour, replacing the
// file safely (ReplaceFile); false when it cannot be written.
bool SaveBmp(const SImage& image, std::string_view path);

} // namespace platform
