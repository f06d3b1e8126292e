#include "platform/Image.h"
#include "TestSupport.h"
#include "platform/Path.h"

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <optional>

using platform::SImage;

namespace {

// A PNG file to write: the rows packed as the file stores them (16-bit samples big-endian).
struct SPngFile {
    int width = 1;
    int height = 1;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    std::vector<unsigned char> rows = {};
    std::vector<png_color> palette = {};
    std::vector<png_byte> paletteAlpha = {};
    std::optional<png_color_16> colorKey = {};
    bool interlaced = false;
};

bool WriteWithLibpng(png_structp png, png_infop info, const SPngFile& file, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(file.width),
                 static_cast<png_uint_32>(file.height), file.bitDepth, file.colorType,
                 file.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!file.palette.empty()) {
        png_set_PLTE(png, info, file.palette.data(), static_cast<int>(file.palette.size()));
    }
    if (!file.paletteAlpha.empty()) {
        png_set_tRNS(png, info, file.paletteAlpha.data(),
                     static_cast<int>(file.paletteAlpha.size()), nullptr);
    }
    if (file.colorKey) {
        png_set_tRNS(png, info, nullptr, 0, &*file.colorKey);
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

struct SPngWriteGuard {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    ~SPngWriteGuard() { png_destroy_write_struct(&png, &info); }
};

void WritePng(const std::string& name, const SPngFile& file) {
    std::vector<unsigned char> bytes = file.rows;
    const std::size_t rowBytes = bytes.size() / static_cast<std::size_t>(file.height);
    std::vector<png_bytep> rows;
    for (int y = 0; y < file.height; ++y) {
        rows.push_back(bytes.data() + y * rowBytes);
    }
    platform::FilePtr out = platform::OpenFile(name, "wb");
    ASSERT_TRUE(out);
    SPngWriteGuard writer;
    png_init_io(writer.png, out.get());
    ASSERT_TRUE(WriteWithLibpng(writer.png, writer.info, file, rows.data()));
}

std::vector<png_color> Palette(int entries) {
    std::vector<png_color> palette;
    for (int i = 0; i < entries; ++i) {
        palette.push_back({static_cast<png_byte>(i), static_cast<png_byte>(255 - i),
                           static_cast<png_byte>(i * 7)});
    }
    return palette;
}

// Palette entry i as ARGB.
std::uint32_t Entry(unsigned i, std::uint32_t alpha = 0xFF) {
    return alpha << 24 | i << 16 | (255 - i) << 8 | ((i * 7) & 0xFF);
}

// 32 × 32 RGB noise, which compresses badly, so that half the file ends inside the image data.
SPngFile NoiseFile() {
    SPngFile file{.width = 32, .height = 32};
    std::uint32_t state = 12345;
    for (int i = 0; i < 32 * 32 * 3; ++i) {
        state = state * 1103515245u + 12345u;
        file.rows.push_back(static_cast<unsigned char>(state >> 16));
    }
    return file;
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

std::string BigEndian32(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string Chunk(const std::string& type, const std::string& data) {
    return BigEndian32(static_cast<std::uint32_t>(data.size())) + type + data +
           BigEndian32(Crc32(type + data));
}

// A PNG of only a signature, an IHDR for 8-bit RGB of the size given, and IEND.
std::string HeaderOnlyPng(std::uint32_t width, std::uint32_t height) {
    return std::string("\x89PNG\r\n\x1a\n", 8) +
           Chunk("IHDR",
                 BigEndian32(width) + BigEndian32(height) + std::string("\x08\x02\0\0\0", 5)) +
           Chunk("IEND", "");
}

// A tRNS colour key: red, green and blue for RGB files, grey for grey ones.
png_color_16 Key(png_uint_16 red, png_uint_16 green, png_uint_16 blue, png_uint_16 grey = 0) {
    return {0, red, green, blue, grey};
}

const std::uint32_t kBlack = 0xFF000000;
const std::uint32_t kWhite = 0xFFFFFFFF;

// One row of pixels in a file of the colour type and bit depth given, and what it decodes to.
struct SDecodeCase {
    const char* name;
    int colorType;
    int bitDepth;
    std::vector<unsigned char> row;
    std::vector<std::uint32_t> expected;
    std::vector<png_color> palette = {};
    std::vector<png_byte> paletteAlpha = {};
    std::optional<png_color_16> colorKey = {};
};

TEST(PngDecode, EveryColourTypeAndBitDepthBecomesArgb) {
    const int grey = PNG_COLOR_TYPE_GRAY;
    const int greyAlpha = PNG_COLOR_TYPE_GRAY_ALPHA;
    const int rgb = PNG_COLOR_TYPE_RGB;
    const int rgba = PNG_COLOR_TYPE_RGBA;
    const int palette = PNG_COLOR_TYPE_PALETTE;
    const std::vector<SDecodeCase> cases = {
        {"grey 1", grey, 1, {0xA0}, {kWhite, kBlack, kWhite, kBlack}},
        {"grey 2", grey, 2, {0x1B}, {kBlack, 0xFF555555, 0xFFAAAAAA, kWhite}},
        {"grey 4", grey, 4, {0x0F, 0x7A}, {kBlack, kWhite, 0xFF777777, 0xFFAAAAAA}},
        {"grey 8", grey, 8, {0x00, 0x80, 0xFF, 0x12}, {kBlack, 0xFF808080, kWhite, 0xFF121212}},
        {"grey 16", grey, 16, {0, 0, 0x80, 0x80, 0xFF, 0xFF}, {kBlack, 0xFF808080, kWhite}},
        {"grey 2 key", grey, 2, {0x60}, {0xFF555555, 0x00AAAAAA}, {}, {}, Key(0, 0, 0, 2)},
        {"grey and alpha 8", greyAlpha, 8, {0x40, 0x80, 0xFF, 0x00}, {0x80404040, 0x00FFFFFF}},
        {"grey and alpha 16", greyAlpha, 16, {0x40, 0x40, 0x80, 0x80}, {0x80404040}},
        {"RGB 8", rgb, 8, {0x12, 0x34, 0x56, 0xFF, 0, 0}, {0xFF123456, 0xFFFF0000}},
        {"RGB 16", rgb, 16, {0x12, 0x12, 0x34, 0x34, 0x56, 0x56}, {0xFF123456}},
        {"RGB 8 key", rgb, 8, {1, 2, 3, 1, 2, 4}, {0x00010203, 0xFF010204}, {}, {}, Key(1, 2, 3)},
        // The key is compared at 16 bits: a pixel that differs from it only in the low bytes
        // stays opaque.
        {"RGB 16 key",
         rgb,
         16,
         {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x12, 0x35, 0x56, 0x78, 0x9A, 0xBC},
         {0x0012569A, 0xFF12569A},
         {},
         {},
         Key(0x1234, 0x5678, 0x9ABC)},
        {"RGBA 8", rgba, 8, {0x12, 0x34, 0x56, 0x78, 0, 0, 0, 0}, {0x78123456, 0}},
        {"RGBA 16", rgba, 16, {0x12, 0x12, 0x34, 0x34, 0x56, 0x56, 0x78, 0x78}, {0x78123456}},
        {"palette 1", palette, 1, {0x60}, {Entry(0), Entry(1), Entry(1), Entry(0)}, Palette(2)},
        {"palette 2", palette, 2, {0xE4}, {Entry(3), Entry(2), Entry(1), Entry(0)}, Palette(4)},
        {"palette 4", palette, 4, {0x0F, 0x50}, {Entry(0), Entry(15), Entry(5)}, Palette(16)},
        {"palette 8", palette, 8, {0, 200, 255}, {Entry(0), Entry(200), Entry(255)}, Palette(256)},
        {"palette 2 tRNS", palette, 2, {0x60}, {Entry(1, 0x80), Entry(2)}, Palette(3), {0, 0x80}},
        {"palette 8 tRNS", palette, 8, {0, 1}, {Entry(0, 0), Entry(1, 64)}, Palette(9), {0, 64}},
    };
    test::CScratchDir dir;
    for (const SDecodeCase& c : cases) {
        for (const bool interlaced : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (interlaced ? ", interlaced" : ""));
            WritePng("case.png", {.width = static_cast<int>(c.expected.size()),
                                  .colorType = c.colorType,
                                  .bitDepth = c.bitDepth,
                                  .rows = c.row,
                                  .palette = c.palette,
                                  .paletteAlpha = c.paletteAlpha,
                                  .colorKey = c.colorKey,
                                  .interlaced = interlaced});
            std::string error;
            const std::optional<SImage> image = platform::LoadPng("case.png", &error);
            ASSERT_TRUE(image) << error;
            EXPECT_EQ(std::pair(image->width, image->height),
                      std::pair(static_cast<int>(c.expected.size()), 1));
            EXPECT_EQ(image->pixels, c.expected);
        }
    }
}

// Adam7 spreads a 13 × 9 image over all seven passes, each with its own partial rows; at 4
// bits two pixels share a byte.
TEST(PngDecode, InterlacedImageComesBackWhole) {
    test::CScratchDir dir;
    SPngFile file{.width = 13,
                  .height = 9,
                  .colorType = PNG_COLOR_TYPE_GRAY,
                  .bitDepth = 4,
                  .rows = std::vector<unsigned char>(7 * 9),
                  .interlaced = true};
    std::vector<std::uint32_t> expected;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 13; ++x) {
            const unsigned grey = (x * 5 + y * 3) % 16;
            file.rows[static_cast<std::size_t>(y * 7 + x / 2)] |= grey << (x % 2 ? 0 : 4);
            expected.push_back(kBlack | grey * 0x111111);
        }
    }
    WritePng("interlaced.png", file);
    const std::optional<SImage> image = platform::LoadPng("interlaced.png");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, expected);
}

TEST(PngInfo, TellsTheStoredFormat) {
    test::CScratchDir dir;
    WritePng("palette.png", {.width = 5,
                             .height = 3,
                             .colorType = PNG_COLOR_TYPE_PALETTE,
                             .bitDepth = 4,
                             .rows = std::vector<unsigned char>(9),
                             .palette = Palette(3),
                             .paletteAlpha = {0}});
    WritePng("rgb16.png", {.height = 2, .bitDepth = 16, .rows = std::vector<unsigned char>(12)});
    WritePng("greyalpha.png", {.colorType = PNG_COLOR_TYPE_GRAY_ALPHA, .rows = {0, 0}});
    const auto fields = [](const char* name) {
        const std::optional<platform::SImageInfo> info = platform::ReadPngInfo(name);
        return info ? std::vector<int>{info->width, info->height, info->bitDepth, info->channels,
                                       info->hasAlpha}
                    : std::vector<int>{};
    };
    EXPECT_EQ(fields("palette.png"), (std::vector<int>{5, 3, 4, 1, true}));
    EXPECT_EQ(fields("rgb16.png"), (std::vector<int>{1, 2, 16, 3, false}));
    EXPECT_EQ(fields("greyalpha.png"), (std::vector<int>{1, 1, 8, 2, true}));
}

void ExpectRefused(const std::string& name) {
    SCOPED_TRACE(name);
    std::string infoError;
    std::string loadError;
    EXPECT_FALSE(platform::ReadPngInfo(name, &infoError));
    EXPECT_FALSE(platform::LoadPng(name, &loadError));
    EXPECT_FALSE(infoError.empty());
    EXPECT_FALSE(loadError.empty());
    EXPECT_FALSE(platform::LoadPng(name)); // no place for the reason is fine too
}

TEST(PngErrors, MissingEmptyAndForeignFilesAreRefused) {
    test::CScratchDir dir;
    test::WriteFile("empty.png", "");
    test::WriteFile("gif.png", "GIF89a\x01\0\x01\0 is no PNG");
    test::WriteFile("signature.png", "\x89PNG");
    ExpectRefused("missing.png");
    ExpectRefused("empty.png");
    ExpectRefused("gif.png");
    ExpectRefused("signature.png");
}

TEST(PngErrors, TruncatedFilesAreRefused) {
    test::CScratchDir dir;
    WritePng("whole.png", NoiseFile());
    const std::string whole = test::ReadFile("whole.png");
    ASSERT_TRUE(platform::LoadPng("whole.png"));

    test::WriteFile("half.png", whole.substr(0, whole.size() / 2));
    std::string error;
    EXPECT_FALSE(platform::LoadPng("half.png", &error));
    EXPECT_NE(error.find("ends"), std::string::npos) << error;

    test::WriteFile("noend.png", whole.substr(0, whole.size() - 12)); // without IEND
    EXPECT_FALSE(platform::LoadPng("noend.png"));

    test::WriteFile("header.png", whole.substr(0, 20)); // inside IHDR
    ExpectRefused("header.png");
}

TEST(PngErrors, ChunkLengthBeyondTheFileIsRefusedBeforeAllocating) {
    // A text chunk whose length field claims almost 2 GiB, in a file of 80 bytes: libpng
    // would allocate the whole length before reading (the fuzzer found it).
    test::CScratchDir dir;
    WritePng("small.png", NoiseFile());
    std::string bytes = test::ReadFile("small.png").substr(0, 33); // signature and IHDR
    bytes += std::string("\x74\x52\x4e\x53zTXt", 8) + std::string(40, 'x');
    test::WriteFile("long.png", bytes);
    std::string error;
    EXPECT_FALSE(platform::LoadPng("long.png", &error));
    EXPECT_NE(error.find("claims more bytes"), std::string::npos) << error;

    // Bytes after IEND are not looked at.
    test::WriteFile("trailer.png", test::ReadFile("small.png") + "\xff\xff\xff\xff junk");
    EXPECT_TRUE(platform::LoadPng("trailer.png"));
}

TEST(PngErrors, DamagedImageDataNeverCrashes) {
    test::CScratchDir dir;
    WritePng("whole.png", NoiseFile());
    const std::string whole = test::ReadFile("whole.png");
    const std::size_t type = whole.find("IDAT");
    ASSERT_NE(type, std::string::npos);
    std::size_t length = 0;
    for (std::size_t i = type - 4; i < type; ++i) {
        length = length << 8 | static_cast<unsigned char>(whole[i]);
    }
    for (std::size_t at = type + 4; at < type + 4 + length; at += 97) {
        SCOPED_TRACE(at);
        std::string damaged = whole;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
        test::WriteFile("damaged.png", damaged);
        std::string crcError;
        EXPECT_FALSE(platform::LoadPng("damaged.png", &crcError)); // the chunk's CRC fails
        EXPECT_FALSE(crcError.empty());

        // With a matching CRC the damage reaches the decompressor.
        damaged.replace(type + 4 + length, 4, BigEndian32(Crc32(damaged.substr(type, 4 + length))));
        test::WriteFile("damaged.png", damaged);
        std::string error;
        const std::optional<SImage> image = platform::LoadPng("damaged.png", &error);
        if (image) {
            EXPECT_EQ(image->pixels.size(), 32u * 32u);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(PngErrors, OversizedImagesAreRefusedByTheirHeader) {
    test::CScratchDir dir;
    test::WriteFile("huge.png", HeaderOnlyPng(30000, 30000));
    test::WriteFile("wide.png", HeaderOnlyPng(platform::kImageMaxSide + 1, 1));
    test::WriteFile("many.png", HeaderOnlyPng(8192, 8192)); // sides fine, 64 Mi pixels not
    for (const char* name : {"huge.png", "wide.png", "many.png"}) {
        SCOPED_TRACE(name);
        std::string error;
        EXPECT_FALSE(platform::LoadPng(name, &error));
        EXPECT_NE(error.find("larger than the limit"), std::string::npos) << error;
        EXPECT_FALSE(platform::ReadPngInfo(name, &error));
        EXPECT_NE(error.find("larger than the limit"), std::string::npos) << error;
    }
    std::string error;
    platform::LoadPng("huge.png", &error);
    EXPECT_NE(error.find("30000 x 30000"), std::string::npos) << error;
}

TEST(ImageColorKey, OnlyExactMatchesBecomeTransparent) {
    SImage image{2, 2, {0xFF000000, 0xFF010101, 0x7F000000, 0xFF000000}};
    platform::ApplyColorKey(image, 0);
    EXPECT_EQ(image.pixels,
              (std::vector<std::uint32_t>{0xFF000000, 0xFF010101, 0x7F000000, 0xFF000000}));
    platform::ApplyColorKey(image, 0xFF000000);
    EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0, 0xFF010101, 0x7F000000, 0}));
}

TEST(ImageScale, EnlargingInterpolatesEachChannelLinearly) {
    const SImage ramp{2, 1, {0x00000000, 0xFFFFFFFF}};
    const SImage scaled = platform::ScaleImage(ramp, 4, 1);
    EXPECT_EQ(scaled.pixels,
              (std::vector<std::uint32_t>{0x00000000, 0x40404040, 0xBFBFBFBF, 0xFFFFFFFF}));
}

TEST(ImageScale, ColoursStayInRangeAndUniformStaysUniform) {
    const SImage uniform{7, 5, std::vector<std::uint32_t>(35, 0x80402010)};
    for (const auto& [w, h] : {std::pair{64, 64}, std::pair{3, 2}, std::pair{1, 1}}) {
        const SImage scaled = platform::ScaleImage(uniform, w, h);
        EXPECT_EQ(scaled.pixels,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(w * h), 0x80402010));
    }

    // Every channel of the second colour is above the first's, so every channel of the result
    // lies between the two.
    const std::uint32_t low = 0x80102030;
    const std::uint32_t high = 0xFFF0E0D0;
    const SImage twoColours{3, 2, {low, high, high, high, low, low}};
    const SImage scaled = platform::ScaleImage(twoColours, 64, 64);
    ASSERT_EQ(scaled.pixels.size(), 64u * 64u);
    for (const std::uint32_t p : scaled.pixels) {
        for (const int shift : {24, 16, 8, 0}) {
            EXPECT_GE(p >> shift & 0xFF, low >> shift & 0xFF) << std::hex << p;
            EXPECT_LE(p >> shift & 0xFF, high >> shift & 0xFF) << std::hex << p;
        }
    }
}

// A 60 × 60 checkerboard shrunk to 4 × 4 puts each target pixel's centre on a single source
// pixel; only averaging the whole area it covers gives grey.
TEST(ImageScale, ShrinkingAveragesInsteadOfAliasing) {
    SImage board{60, 60, {}};
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            board.pixels.push_back((x + y) % 2 ? kWhite : kBlack);
        }
    }
    const SImage scaled = platform::ScaleImage(board, 4, 4);
    ASSERT_EQ(scaled.pixels.size(), 16u);
    for (const std::uint32_t p : scaled.pixels) {
        EXPECT_NEAR(static_cast<int>(p & 0xFF), 128, 3) << std::hex << p;
    }
}

TEST(ImageScale, DegenerateInputsGiveAnEmptyImage) {
    const SImage one{1, 1, {kWhite}};
    const SImage malformed{3, 3, {kWhite}};
    EXPECT_TRUE(platform::ScaleImage(SImage{}, 4, 4).pixels.empty());
    EXPECT_TRUE(platform::ScaleImage(malformed, 4, 4).pixels.empty());
    EXPECT_TRUE(platform::ScaleImage(one, 0, 4).pixels.empty());
    EXPECT_TRUE(platform::ScaleImage(one, 4, -1).pixels.empty());
    EXPECT_EQ(platform::ScaleImage(one, 0, 4).width, 0);
}

TEST(ImageMipChain, HalvesDownToOnePixelWithMeans) {
    const std::vector<SImage> chain =
        platform::BuildMipChain(SImage{5, 3, std::vector<std::uint32_t>(15)});
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(std::pair(chain[0].width, chain[0].height), std::pair(2, 1));
    EXPECT_EQ(std::pair(chain[1].width, chain[1].height), std::pair(1, 1));

    const std::vector<SImage> square =
        platform::BuildMipChain(SImage{2, 2, {0x00000000, 0xFF102030, 0x80FF0000, 0x40000001}});
    ASSERT_EQ(square.size(), 1u);
    EXPECT_EQ(square[0].pixels, std::vector<std::uint32_t>{0x7044080C}); // rounded means

    const std::vector<SImage> row =
        platform::BuildMipChain(SImage{4, 1, {0, 0x02020202, kWhite, kWhite}});
    ASSERT_EQ(row.size(), 2u);
    EXPECT_EQ(row[0].pixels, (std::vector<std::uint32_t>{0x01010101, kWhite}));
    EXPECT_EQ(row[1].pixels, std::vector<std::uint32_t>{0x80808080});

    EXPECT_TRUE(platform::BuildMipChain(SImage{1, 1, {kWhite}}).empty());
    EXPECT_TRUE(platform::BuildMipChain(SImage{}).empty());
}

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

TEST(ImageBmp, WritesBottomUpPaddedRowsOfBgr) {
    test::CScratchDir dir;
    const SImage image{3, 2, {0x80123456, kWhite, kWhite, kBlack, kBlack, 0xFFABCDEF}};
    ASSERT_TRUE(platform::SaveBmp(image, "shot.bmp"));
    const std::string bmp = test::ReadFile("shot.bmp");
    ASSERT_EQ(bmp.size(), 54u + 2 * 12);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(LittleEndian(bmp, 2, 4), bmp.size());
    EXPECT_EQ(LittleEndian(bmp, 10, 4), 54u); // pixels start
    EXPECT_EQ(LittleEndian(bmp, 14, 4), 40u); // BITMAPINFOHEADER
    EXPECT_EQ(LittleEndian(bmp, 18, 4), 3u);
    EXPECT_EQ(LittleEndian(bmp, 22, 4), 2u);
    EXPECT_EQ(LittleEndian(bmp, 26, 2), 1u);
    EXPECT_EQ(LittleEndian(bmp, 28, 2), 24u);
    EXPECT_EQ(LittleEndian(bmp, 30, 4), 0u);
    EXPECT_EQ(bmp.substr(54, 12), std::string("\0\0\0\0\0\0\xEF\xCD\xAB\0\0\0", 12)); // bottom
    EXPECT_EQ(bmp.substr(66, 3), "\x56\x34\x12"); // top-left, alpha dropped

    EXPECT_FALSE(platform::SaveBmp(image, "no/such/dir/shot.bmp"));
    EXPECT_FALSE(platform::SaveBmp(SImage{}, "empty.bmp"));
}

} // namespace
