#include "Image.h"

#include "Path.h"
#include "ReplaceFile.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

// PNG files are read whole into memory; none of the game's images comes near this size.
constexpr std::size_t kPngMaxFileBytes = std::size_t{64} * 1024 * 1024;
// Ancillary chunks (text, colour profiles) larger than this are refused by libpng.
constexpr png_alloc_size_t kPngMaxChunkBytes = png_alloc_size_t{8} * 1024 * 1024;

// The bytes libpng reads from and the text of the error that stopped it. Plain data only:
// libpng leaves its frames with longjmp, which must not pass over C++ objects.
struct SPngSource {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos;
    char message[256];
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<SPngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->pos) {
        png_error(png, "the file ends too early");
    }
    std::memcpy(out, source->data + source->pos, length);
    source->pos += length;
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* source = static_cast<SPngSource*>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// The IHDR chunk as libpng read it.
struct SPngHeader {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    int channels;
    bool transparencyChunk;
};

// Every libpng call that may report an error is made in one of the three steps below. Each
// sets its own return point and holds nothing but plain locals, so libpng's longjmp back to
// it passes over no destructor; the C++ objects live in the callers, which it never leaves.

bool ReadChunksBeforeImage(png_structp png, png_infop info, SPngHeader& header) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    int interlace = 0;
    png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType,
                 &interlace, nullptr, nullptr);
    header.channels = png_get_channels(png, info);
    header.transparencyChunk = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    return true;
}

// Asks libpng for rows of 8-bit RGBA whatever the file stores; rowBytes is what one row
// then takes.
bool RequestRgba8(png_structp png, png_infop info, const SPngHeader& header, png_size_t& rowBytes) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_expand(png); // palette to RGB, grey below 8 bits to 8 bits
    if (header.transparencyChunk) {
        png_set_tRNS_to_alpha(png);
    }
    png_set_scale_16(png);
    if ((header.colorType & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_gray_to_rgb(png);
    }
    if ((header.colorType & PNG_COLOR_MASK_ALPHA) == 0 && !header.transparencyChunk) {
        png_set_add_alpha(png, 0xFFFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    rowBytes = png_get_rowbytes(png, info);
    if (png_get_channels(png, info) != 4 || png_get_bit_depth(png, info) != 8) {
        rowBytes = 0;
    }
    return true;
}

bool ReadImageRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

std::uint32_t ReadBigEndian32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

bool WithinLimits(std::int64_t width, std::int64_t height) {
    return width <= kImageMaxSide && height <= kImageMaxSide && width * height <= kImageMaxPixels;
}

std::string LimitText(std::int64_t width, std::int64_t height) {
    return "the image of " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels is larger than the limit of " + std::to_string(kImageMaxSide) +
           " pixels a side and " + std::to_string(kImageMaxPixels) + " pixels in all";
}

// A PNG file in memory and libpng's reader over it, positioned at the image data once
// Open has succeeded.
// libpng allocates a chunk's buffer before it reads the chunk, trusting the length in its
// header; a few damaged bytes could so ask for two gigabytes. Such a chunk cannot be read
// anyway, so the file is refused before libpng sees it.
bool ChunkLongerThanFile(const std::string& bytes) {
    std::size_t pos = 8;
    while (bytes.size() - pos >= 8) {
        const std::uint64_t length = ReadBigEndian32(bytes, pos);
        if (length + 12 > bytes.size() - pos) {
            // Image data is read piece by piece, so a file cut short inside it costs nothing
            // and is reported by libpng when the pixels are read.
            return bytes.compare(pos + 4, 4, "IDAT") != 0;
        }
        if (bytes.compare(pos + 4, 4, "IEND") == 0) {
            return false;
        }
        pos += static_cast<std::size_t>(length) + 12;
    }
    return false;
}

class CPngReader {
  public:
    CPngReader() = default;
    ~CPngReader() {
        if (m_Png != nullptr) {
            png_destroy_read_struct(&m_Png, &m_Info, nullptr);
        }
    }
    CPngReader(const CPngReader&) = delete;
    CPngReader& operator=(const CPngReader&) = delete;

    bool Open(std::string_view path) {
        std::optional<std::string> bytes = ReadWholeFile(path, kPngMaxFileBytes);
        if (!bytes) {
            m_Error = OpenFile(path, "rb")
                          ? "the file is larger than " + std::to_string(kPngMaxFileBytes) +
                                " bytes or cannot be read"
                          : "the file cannot be opened";
            return false;
        }
        m_Bytes = std::move(*bytes);
        const auto* data = reinterpret_cast<const unsigned char*>(m_Bytes.data());
        if (m_Bytes.size() < 8 || png_sig_cmp(data, 0, 8) != 0) {
            m_Error = "the file is no PNG";
            return false;
        }
        if (ChunkLongerThanFile(m_Bytes)) {
            m_Error = "the file ends too early: a chunk claims more bytes than it holds";
            return false;
        }
        // The size is checked here already so that the refusal can name it; libpng's own
        // limits below only back this up.
        if (m_Bytes.size() >= 24 && m_Bytes.compare(12, 4, "IHDR") == 0) {
            const std::int64_t width = ReadBigEndian32(m_Bytes, 16);
            const std::int64_t height = ReadBigEndian32(m_Bytes, 20);
            if (!WithinLimits(width, height)) {
                m_Error = LimitText(width, height);
                return false;
            }
        }

        m_Source = SPngSource{data, m_Bytes.size(), 0, {}};
        m_Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &m_Source, OnPngError, OnPngWarning);
        if (m_Png == nullptr) {
            m_Error = "libpng cannot start";
            return false;
        }
        m_Info = png_create_info_struct(m_Png);
        if (m_Info == nullptr) {
            m_Error = "libpng cannot start";
            return false;
        }
        png_set_user_limits(m_Png, kImageMaxSide, kImageMaxSide);
        png_set_chunk_malloc_max(m_Png, kPngMaxChunkBytes);
        png_set_read_fn(m_Png, &m_Source, ReadFromMemory);
        if (!ReadChunksBeforeImage(m_Png, m_Info, m_Header)) {
            return LibpngFailed();
        }
        if (!WithinLimits(m_Header.width, m_Header.height)) {
            m_Error = LimitText(m_Header.width, m_Header.height);
            return false;
        }
        return true;
    }

    const SPngHeader& Header() const { return m_Header; }

    std::optional<SImage> Decode() {
        png_size_t rowBytes = 0;
        if (!RequestRgba8(m_Png, m_Info, m_Header, rowBytes)) {
            LibpngFailed();
            return std::nullopt;
        }
        const std::size_t width = m_Header.width;
        const std::size_t height = m_Header.height;
        if (rowBytes != width * 4) {
            m_Error = "libpng gives no rows of 8-bit RGBA for this file";
            return std::nullopt;
        }

        SImage image;
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
        image.pixels.assign(width * height, 0);
        // libpng writes each pixel's R, G, B, A bytes into the pixel's own 4 bytes; they are
        // turned into ARGB values in place afterwards.
        auto* bytes = reinterpret_cast<unsigned char*>(image.pixels.data());
        std::vector<png_bytep> rows(height);
        for (std::size_t y = 0; y < height; ++y) {
            rows[y] = bytes + y * rowBytes;
        }
        if (!ReadImageRows(m_Png, rows.data())) {
            LibpngFailed();
            return std::nullopt;
        }
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            const unsigned char* rgba = bytes + i * 4;
            image.pixels[i] = static_cast<std::uint32_t>(rgba[3]) << 24 |
                              static_cast<std::uint32_t>(rgba[0]) << 16 |
                              static_cast<std::uint32_t>(rgba[1]) << 8 | rgba[2];
        }
        return image;
    }

    const std::string& Error() const { return m_Error; }

  private:
    bool LibpngFailed() {
        m_Error = std::string("the PNG is damaged: ") + m_Source.message;
        return false;
    }

    std::string m_Bytes;
    SPngSource m_Source{};
    png_structp m_Png = nullptr;
    png_infop m_Info = nullptr;
    SPngHeader m_Header{};
    std::string m_Error;
};

bool IsWellFormed(const SImage& image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() ==
               static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

// Channel c of an ARGB pixel: 0 alpha, 1 red, 2 green, 3 blue.
constexpr std::array<int, 4> kChannelShift = {24, 16, 8, 0};

unsigned Channel(std::uint32_t pixel, int c) {
    return (pixel >> kChannelShift[static_cast<std::size_t>(c)]) & 0xFFu;
}

// The source samples that make up each target sample along one axis, with their weights.
// The tent is one source sample wide on each side when enlarging and one target sample wide
// when shrinking, so that shrinking averages every source sample it covers.
struct SAxisFilter {
    struct STap {
        int index;
        float weight;
    };
    std::vector<std::size_t> first; // taps of target t: first[t] up to first[t + 1]
    std::vector<STap> taps;
};

SAxisFilter BuildAxisFilter(int source, int target) {
    SAxisFilter filter;
    const double scale = static_cast<double>(source) / target;
    const double radius = std::max(1.0, scale);
    filter.first.reserve(static_cast<std::size_t>(target) + 1);
    for (int t = 0; t < target; ++t) {
        filter.first.push_back(filter.taps.size());
        const double center = (t + 0.5) * scale - 0.5;
        const int lo = std::max(0, static_cast<int>(std::ceil(center - radius)));
        const int hi = std::min(source - 1, static_cast<int>(std::floor(center + radius)));
        double sum = 0.0;
        const std::size_t begin = filter.taps.size();
        for (int s = lo; s <= hi; ++s) {
            const double weight = 1.0 - std::abs(s - center) / radius;
            if (weight > 0.0) {
                filter.taps.push_back({s, static_cast<float>(weight)});
                sum += weight;
            }
        }
        if (sum <= 0.0) {
            const int nearest = std::clamp(static_cast<int>(std::lround(center)), 0, source - 1);
            filter.taps.push_back({nearest, 1.0f});
            continue;
        }
        for (std::size_t i = begin; i < filter.taps.size(); ++i) {
            filter.taps[i].weight = static_cast<float>(filter.taps[i].weight / sum);
        }
    }
    filter.first.push_back(filter.taps.size());
    return filter;
}

std::uint32_t PackChannels(const float* channels) {
    std::uint32_t pixel = 0;
    for (int c = 0; c < 4; ++c) {
        const long value = std::clamp(std::lround(channels[c]), 0L, 255L);
        pixel |= static_cast<std::uint32_t>(value) << kChannelShift[static_cast<std::size_t>(c)];
    }
    return pixel;
}

SImage HalveImage(const SImage& above) {
    SImage level;
    level.width = std::max(1, above.width / 2);
    level.height = std::max(1, above.height / 2);
    level.pixels.resize(static_cast<std::size_t>(level.width) *
                        static_cast<std::size_t>(level.height));
    const int samplesX = above.width > 1 ? 2 : 1;
    const int samplesY = above.height > 1 ? 2 : 1;
    const unsigned count = static_cast<unsigned>(samplesX * samplesY);
    for (int y = 0; y < level.height; ++y) {
        for (int x = 0; x < level.width; ++x) {
            std::array<unsigned, 4> sums{};
            for (int dy = 0; dy < samplesY; ++dy) {
                for (int dx = 0; dx < samplesX; ++dx) {
                    const std::uint32_t pixel = above.At(x * samplesX + dx, y * samplesY + dy);
                    for (int c = 0; c < 4; ++c) {
                        sums[static_cast<std::size_t>(c)] += Channel(pixel, c);
                    }
                }
            }
            std::uint32_t mean = 0;
            for (int c = 0; c < 4; ++c) {
                const unsigned value = (sums[static_cast<std::size_t>(c)] + count / 2) / count;
                mean |= value << kChannelShift[static_cast<std::size_t>(c)];
            }
            level.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(level.width) +
                         static_cast<std::size_t>(x)] = mean;
        }
    }
    return level;
}

void PutLittleEndian(std::vector<unsigned char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

} // namespace

std::optional<SImageInfo> ReadPngInfo(std::string_view path, std::string* error) {
    CPngReader reader;
    if (!reader.Open(path)) {
        if (error != nullptr) {
            *error = reader.Error();
        }
        return std::nullopt;
    }
    const SPngHeader& header = reader.Header();
    SImageInfo info;
    info.width = static_cast<int>(header.width);
    info.height = static_cast<int>(header.height);
    info.bitDepth = header.bitDepth;
    info.channels = header.channels;
    info.hasAlpha = (header.colorType & PNG_COLOR_MASK_ALPHA) != 0 || header.transparencyChunk;
    return info;
}

std::optional<SImage> LoadPng(std::string_view path, std::string* error) {
    CPngReader reader;
    std::optional<SImage> image;
    if (reader.Open(path)) {
        image = reader.Decode();
    }
    if (!image && error != nullptr) {
        *error = reader.Error();
    }
    return image;
}

void ApplyColorKey(SImage& image, std::uint32_t key) {
    if (key == 0) {
        return;
    }
    std::replace(image.pixels.begin(), image.pixels.end(), key, std::uint32_t{0});
}

SImage ScaleImage(const SImage& image, int width, int height) {
    // A target beyond the image limits is as empty as one of no pixels.
    if (!IsWellFormed(image) || width <= 0 || height <= 0 || !WithinLimits(width, height)) {
        return {};
    }
    const SAxisFilter across = BuildAxisFilter(image.width, width);
    const SAxisFilter down = BuildAxisFilter(image.height, height);
    const auto targetWidth = static_cast<std::size_t>(width);

    // First across each source row, into 4 float channels per sample, then down the columns.
    std::vector<float> rows(targetWidth * static_cast<std::size_t>(image.height) * 4);
    for (int y = 0; y < image.height; ++y) {
        for (std::size_t x = 0; x < targetWidth; ++x) {
            float* out = &rows[(static_cast<std::size_t>(y) * targetWidth + x) * 4];
            for (std::size_t i = across.first[x]; i < across.first[x + 1]; ++i) {
                const std::uint32_t pixel = image.At(across.taps[i].index, y);
                for (int c = 0; c < 4; ++c) {
                    out[c] += across.taps[i].weight * static_cast<float>(Channel(pixel, c));
                }
            }
        }
    }

    SImage scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.pixels.resize(targetWidth * static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        for (std::size_t x = 0; x < targetWidth; ++x) {
            float sum[4] = {};
            for (std::size_t i = down.first[y]; i < down.first[y + 1]; ++i) {
                const float* in =
                    &rows[(static_cast<std::size_t>(down.taps[i].index) * targetWidth + x) * 4];
                for (int c = 0; c < 4; ++c) {
                    sum[c] += down.taps[i].weight * in[c];
                }
            }
            scaled.pixels[y * targetWidth + x] = PackChannels(sum);
        }
    }
    return scaled;
}

std::vector<SImage> BuildMipChain(const SImage& image) {
    std::vector<SImage> chain;
    if (!IsWellFormed(image)) {
        return chain;
    }
    const SImage* above = &image;
    while (above->width > 1 || above->height > 1) {
        chain.push_back(HalveImage(*above));
        above = &chain.back();
    }
    return chain;
}

bool SaveBmp(const SImage& image, std::string_view path) {
    if (!IsWellFormed(image)) {
        return false;
    }
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(image.width) * 3 + 3) / 4 * 4;
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(image.height);
    constexpr std::uint32_t kHeaderBytes = 14 + 40;
    if (pixelBytes + kHeaderBytes > 0xFFFFFFFFu) {
        return false;
    }

    std::vector<unsigned char> bmp;
    bmp.reserve(kHeaderBytes + pixelBytes);
    // BITMAPFILEHEADER
    bmp.push_back('B');
    bmp.push_back('M');
    PutLittleEndian(bmp, static_cast<std::uint32_t>(kHeaderBytes + pixelBytes), 4);
    PutLittleEndian(bmp, 0, 4); // reserved
    PutLittleEndian(bmp, kHeaderBytes, 4);
    // BITMAPINFOHEADER; a positive height means rows from the bottom up.
    PutLittleEndian(bmp, 40, 4);
    PutLittleEndian(bmp, static_cast<std::uint32_t>(image.width), 4);
    PutLittleEndian(bmp, static_cast<std::uint32_t>(image.height), 4);
    PutLittleEndian(bmp, 1, 2);  // planes
    PutLittleEndian(bmp, 24, 2); // bits per pixel
    PutLittleEndian(bmp, 0, 4);  // BI_RGB, uncompressed
    PutLittleEndian(bmp, static_cast<std::uint32_t>(pixelBytes), 4);
    PutLittleEndian(bmp, 2835, 4); // 72 dpi across
    PutLittleEndian(bmp, 2835, 4); // and down
    PutLittleEndian(bmp, 0, 4);    // colours used
    PutLittleEndian(bmp, 0, 4);    // colours important

    const std::size_t padding =
        static_cast<std::size_t>(rowBytes) - static_cast<std::size_t>(image.width) * 3u;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t pixel = image.At(x, y);
            bmp.push_back(static_cast<unsigned char>(pixel));
            bmp.push_back(static_cast<unsigned char>(pixel >> 8));
            bmp.push_back(static_cast<unsigned char>(pixel >> 16));
        }
        bmp.insert(bmp.end(), padding, 0);
    }

    return ReplaceFile(path,
                       std::string_view(reinterpret_cast<const char*>(bmp.data()), bmp.size()));
}

} // namespace platform
