#pragma once

#include "platform/GraphicsDevice.h"
#include "platform/Image.h"

#include <memory>
#include <string>

// Textures from image files, as the D3DX texture functions make them.

// For a size: the image's size rounded up to a power of two; for mip levels: the whole chain.
inline constexpr int D3DX_DEFAULT = -1;
// For a size: the image's own size.
inline constexpr int D3DX_DEFAULT_NONPOW2 = -2;

enum class ETextureFilter { None, Linear };

// The file's image information; false when it is no readable image.
bool D3DXGetImageInfoFromFile(const std::string& path, platform::SImageInfo* info);

// The texture of an image file: colour key applied (pixels of exactly that ARGB colour become
// transparent black; 0 is no key), scaled to width × height (D3DX_DEFAULT and
// D3DX_DEFAULT_NONPOW2 as above) with the filter, and mipLevels levels (0 or D3DX_DEFAULT for
// the whole chain). Null when the file cannot be read or the device makes no texture.
std::unique_ptr<platform::ITexture>
D3DXCreateTextureFromFileEx(platform::IGraphicsDevice* device, const std::string& path, int width,
                            int height, int mipLevels, ETextureFilter filter, D3DCOLOR colorKey,
                            platform::ETextureAddress address);

// The same with the defaults: power-of-two size, the whole mip chain, linear filter, no key.
std::unique_ptr<platform::ITexture> D3DXCreateTextureFromFile(platform::IGraphicsDevice* device,
                                                              const std::string& path);
