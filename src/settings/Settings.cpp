#include "Settings.h"

#include "Log.h"
#include "platform/Path.h"
#include "platform/Profile.h"

#include <cstdlib>
#include <cstring>

// Made before the log and gone after it (Log.cpp), as the first of the process-wide objects.
__attribute__((init_priority(101))) std::string g_Directory;

namespace {

void ReportMissingKey(const std::string& file, const char* section, const char* key) {
    LogError("Bitte prüfen sie die ini-Datei:");
    LogError(file.c_str());
    LogError(section);
    LogError(key);
    LogError("...wurde nicht gefunden!");
}

} // namespace

std::string SettingsFilePath() {
    const std::string& program = platform::ProgramPath();
    std::string candidate = program + "\\..\\" + g_Directory + "Zantor.ini";
    if (!FileExists(candidate)) {
        candidate = program + "\\..\\Standard\\Zantor.ini";
    }
    return candidate;
}

bool ReadIniString(const char* section, const char* key, IniBuffer& buffer) {
    const std::string file = SettingsFilePath();
    const std::string value = platform::ReadProfileString(section, key, NOT_FOUND, file);
    const std::size_t length = std::min(value.size(), sizeof buffer - 1);
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
    if (std::strcmp(buffer, NOT_FOUND) == 0) {
        ReportMissingKey(platform::NativePath(file), section, key);
        return false;
    }
    return true;
}

int ReadIniInt(const char* section, const char* key) {
    IniBuffer buffer;
    if (!ReadIniString(section, key, buffer)) {
        return 0;
    }
    return std::atoi(buffer);
}

float ReadIniFloat(const char* section, const char* key) {
    IniBuffer buffer;
    ReadIniString(section, key, buffer);
    return std::strtof(buffer, nullptr); // atof, without leaving float's range
}

std::uint32_t ReadIniColor(const char* section, const char* key) {
    IniBuffer buffer = {}; // zeros after the text: a short value parses as 0
    ReadIniString(section, key, buffer);
    return static_cast<std::uint32_t>(ParseHex(std::string_view(buffer, sizeof buffer), 2));
}

// Reads hex digits with the quirks the game's colours rely on: the value is shifted before
// each character is looked at, so the shift of the terminating character is undone by a
// division; an eight-digit value thereby loses its top digit and gets bit 27 copied into
// the top four bits. Only '0'-'9' and 'a'-'f' are digits; '-' negates what was read so far;
// anything else, upper-case digits included, ends the number.
int ParseHex(std::string_view text, std::size_t start) {
    std::uint32_t value = 0;
    for (std::size_t i = start;; ++i) {
        value <<= 4;
        const char c = i < text.size() ? text[i] : '\0';
        if (c >= '0' && c <= '9') {
            value += static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            value += static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (c == '-') {
            value = static_cast<std::uint32_t>(static_cast<std::int32_t>(0u - value) / 16);
        } else {
            return static_cast<std::int32_t>(value) / 16;
        }
    }
}

bool FileExists(const std::string& path) {
    return platform::OpenFile(path, "r") != nullptr;
}

std::string DataFilePath(std::string_view name) {
    std::string path = g_Directory + std::string(name);
    if (!FileExists(path)) {
        path = "Standard\\" + std::string(name);
    }
    return path;
}

D3DLIGHT9 ReadIniLight() {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    const auto readColour = [](const char* group) {
        const std::string key = group;
        D3DCOLORVALUE colour;
        colour.a = ReadIniFloat("Light", (key + "4").c_str());
        colour.b = ReadIniFloat("Light", (key + "3").c_str());
        colour.g = ReadIniFloat("Light", (key + "2").c_str());
        colour.r = ReadIniFloat("Light", (key + "1").c_str());
        return colour;
    };
    light.Diffuse = readColour("Diffuse");
    light.Ambient = readColour("Ambient");
    light.Specular = readColour("Specular");
    light.Range = ReadIniFloat("Light", "Range");
    light.Attenuation0 = 0.0f;
    light.Attenuation1 = 0.025f;
    light.Attenuation2 = 0.0f;
    return light;
}
