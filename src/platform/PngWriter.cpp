#include "Image.h"
#include "Path.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace platform {
namespace {

// libpng reports errors by jumping back to the setjmp below; nothing between the two owns
// anything that needs a destructor, so the jump skips no clean-up.
bool WriteRows(std::FILE* file, png_structp png, png_infop info, const SImage& image,
               png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool SavePng(const SImage& image, std::string_view path) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
        return false;
    }
    const auto width = static_cast<std::size_t>(image.width);
    std::vector<png_byte> bytes(image.pixels.size() * 4);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::uint32_t p = image.pixels[i];
        bytes[i * 4 + 0] = static_cast<png_byte>(p >> 16);
        bytes[i * 4 + 1] = static_cast<png_byte>(p >> 8);
        bytes[i * 4 + 2] = static_cast<png_byte>(p);
        bytes[i * 4 + 3] = static_cast<png_byte>(p >> 24);
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = bytes.data() + y * width * 4;
    }

    FilePtr file = OpenFile(path, "wb");
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool written = info != nullptr && WriteRows(file.get(), png, info, image, rows.data());
    png_destroy_write_struct(&png, &info);
    return written && std::fflush(file.get()) == 0;
}

} // namespace platform
