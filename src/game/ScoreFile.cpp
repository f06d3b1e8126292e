#include "ScoreFile.h"

#include "platform/Path.h"
#include "settings/Log.h"

#include <unistd.h>

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
    const std::string native = platform::NativePath(path);
    // One name for the temporary file, so that one left by a crash is simply replaced.
    const std::string temporary = native + ".tmp";
    const auto v = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    bool written = false;
    if (platform::FilePtr file = platform::OpenFile(temporary, "wb")) {
        written = std::fwrite(bytes, 1, 4, file.get()) == 4 && std::fflush(file.get()) == 0 &&
                  fsync(fileno(file.get())) == 0;
    }
    if (written && std::rename(temporary.c_str(), native.c_str()) == 0) {
        return true;
    }
    std::remove(temporary.c_str());
    LogError("Datei konnte nicht geschrieben werden:");
    LogError(path);
    return false;
}
