#include "TextureLoader.h"

namespace {

int PowerOfTwoAtLeast(int value) {
    int result = 1;
    while (result < value && result < (1 << 30)) {
        result <<= 1;
    }
    return result;
}

int ResolveSize(int wanted, int own) {
    if (wanted == D3DX_DEFAULT || wanted == 0) {
        return PowerOfTwoAtLeast(own);
    }
    if (wanted == D3DX_DEFAULT_NONPOW2) {
        return own;
    }
    return wanted;
}

// Point sampling: each target pixel takes the source pixel under its centre.
platform::SImage ScalePoint(const platform::SImage& image, int width, int height) {
    platform::SImage result;
    result.width = width;
    result.height = height;
    result.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>((static_cast<std::int64_t>(y) * 2 + 1) * image.height /
                                        (2 * static_cast<std::int64_t>(height)));
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>((static_cast<std::int64_t>(x) * 2 + 1) * image.width /
                                            (2 * static_cast<std::int64_t>(width)));
            result.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(x)] = image.At(sx, sy);
        }
    }
    return result;
}

} // namespace

bool D3DXGetImageInfoFromFile(const std::string& path, platform::SImageInfo* info) {
    const std::optional<platform::SImageInfo> read = platform::ReadPngInfo(path);
    if (!read) {
        return false;
    }
    if (info != nullptr) {
        *info = *read;
    }
    return true;
}

std::unique_ptr<platform::ITexture>
D3DXCreateTextureFromFileEx(platform::IGraphicsDevice* device, const std::string& path, int width,
                            int height, int mipLevels, ETextureFilter filter, D3DCOLOR colorKey,
                            platform::ETextureAddress address) {
    if (device == nullptr) {
        return nullptr;
    }
    std::optional<platform::SImage> image = platform::LoadPng(path);
    if (!image || image->width <= 0 || image->height <= 0) {
        return nullptr;
    }
    platform::ApplyColorKey(*image, colorKey);
    const int targetWidth = ResolveSize(width, image->width);
    const int targetHeight = ResolveSize(height, image->height);
    if (static_cast<std::int64_t>(targetWidth) * targetHeight > platform::kImageMaxPixels ||
        targetWidth > platform::kImageMaxSide || targetHeight > platform::kImageMaxSide) {
        return nullptr;
    }
    if (targetWidth != image->width || targetHeight != image->height) {
        *image = filter == ETextureFilter::Linear
                     ? platform::ScaleImage(*image, targetWidth, targetHeight)
                     : ScalePoint(*image, targetWidth, targetHeight);
    }
    std::vector<platform::SImage> levels;
    if (mipLevels != 1) {
        levels = platform::BuildMipChain(*image);
        if (mipLevels > 1 && static_cast<std::size_t>(mipLevels - 1) < levels.size()) {
            levels.resize(static_cast<std::size_t>(mipLevels - 1));
        }
    }
    return device->CreateTexture(*image, levels, address);
}

std::unique_ptr<platform::ITexture> D3DXCreateTextureFromFile(platform::IGraphicsDevice* device,
                                                              const std::string& path) {
    return D3DXCreateTextureFromFileEx(device, path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                       ETextureFilter::Linear, 0, platform::ETextureAddress::Wrap);
}
