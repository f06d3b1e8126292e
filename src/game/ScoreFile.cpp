#include "ScoreFile.h"

#include "platform/Path.h"
#include "platform/ReplaceFile.h"
#include "settings/Log.h"

#include <cstdint>
#include <cstdio>

int ReadScoreFile(const std::string& path) {
    platform::FilePtr file = platform::OpenFile(path, "rb");
    if (!file) {
        return 0;
    }
    unsigned char bytes[4] = {};
    const std::size_t got = std::fread(bytes, 1, 4, file.get());
    (void)got; // missing bytes stay 0
    const std::uint32_t value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    return static_cast<std::int32_t>(value);
}

bool WriteScoreFile(const std::string& path, int value) {
    const auto v = static_cast<std::uint32_t>(value);
    const char bytes[4] = {static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    if (platform::ReplaceFile(path, std::string_view(bytes, 4))) {
        return true;
    }
    LogError("Datei konnte nicht geschrieben werden:");
    LogError(path);
    return false;
}
