#include "Settings.h"

#include "Log.h"
#include "platform/Path.h"
#include "platform/Profile.h"

#include <vector>

#include <cstdlib>
#include <cstring>

// Empty until the program sets it from its command line.
std::string g_Directory;

namespace {

void ReportMissingKey(const std::string& file, const char* section, const char* key) {
    LogError("Bitte prüfen sie die ini-Datei:");
    LogError(file.c_str());
    LogError(section);
    LogError(key);
    LogError("...wurde nicht gefunden!");
}

} // namespace

namespace {

platform::SFilePlaces& Places() {
    static platform::SFilePlaces places;
    return places;
}

// The places of the settings file in the order they are looked at, written as the lookups
// name them: made again only when the data directory or the places change, so that a lookup
// builds no path.
struct SSettingsPaths {
    std::string directory; // the data directory they were made for
    std::vector<std::string> files;
};

SSettingsPaths& CachedSettingsPaths() {
    static SSettingsPaths paths;
    return paths;
}

const SSettingsPaths& SettingsPaths() {
    SSettingsPaths& paths = CachedSettingsPaths();
    if (paths.files.empty() || paths.directory != g_Directory) {
        paths.directory = g_Directory;
        paths.files = platform::SettingsFiles(Places(), g_Directory);
    }
    return paths;
}

} // namespace

void SetFilePlaces(platform::SFilePlaces places) {
    Places() = std::move(places);
    CachedSettingsPaths().files.clear();
}

const platform::SFilePlaces& FilePlaces() {
    return Places();
}

std::string SettingsFilePath() {
    const std::vector<std::string>& files = SettingsPaths().files;
    for (const std::string& file : files) {
        if (FileExists(file)) {
            return file;
        }
    }
    return files.back();
}

namespace {

// Looks the key up in the first of the settings files that can be read, whole; consulted
// becomes that file's place in the list (the last one's when none can be read: there are
// always the data directory's and Standard's).
platform::EProfileLookup LookUp(const char* section, const char* key, IniBuffer& buffer,
                                std::size_t& consulted) {
    const std::vector<std::string>& files = SettingsPaths().files;
    for (consulted = 0; consulted < files.size(); ++consulted) {
        const platform::EProfileLookup found =
            platform::LookupProfileString(section, key, files[consulted], buffer);
        if (found != platform::EProfileLookup::NoFile) {
            return found;
        }
    }
    consulted = files.size() - 1;
    return platform::EProfileLookup::NoFile;
}

} // namespace

bool ReadIniString(const char* section, const char* key, IniBuffer& buffer) {
    std::size_t consulted = 0;
    const platform::EProfileLookup found = LookUp(section, key, buffer, consulted);
    if (found != platform::EProfileLookup::Found) {
        // The marker fits into every buffer, so the copy is bounded.
        static_assert(std::char_traits<char>::length(NOT_FOUND) < sizeof(IniBuffer));
        std::strcpy(buffer, NOT_FOUND); // NOLINT(clang-analyzer-security.insecureAPI.strcpy)
    }
    if (std::strcmp(buffer, NOT_FOUND) == 0) {
        ReportMissingKey(platform::NativePath(SettingsPaths().files[consulted]), section, key);
        return false;
    }
    return true;
}

int ReadIniIntOr(const char* section, const char* key, int fallback) {
    IniBuffer buffer;
    std::size_t consulted = 0;
    return LookUp(section, key, buffer, consulted) == platform::EProfileLookup::Found
               ? std::atoi(buffer)
               : fallback;
}

bool WriteIniValues(std::span<const platform::SProfileEntry> values) {
    const std::string file = platform::NativePath(SettingsFilePath());
    if (!FileExists(file)) {
        return false; // no settings at all: nothing a few values could be kept beside
    }
    const std::string own = platform::NativePath(platform::OwnCopyOf(Places(), file));
    std::string reason;
    if (platform::StartOwnCopy(file, own, &reason) &&
        platform::WriteProfileStrings(own, values, &reason)) {
        return true;
    }
    LogError("Datei konnte nicht geschrieben werden:");
    LogError(own + ": " + reason);
    return false;
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

std::string DataDirectoryPath(std::string_view name) {
    return Places().dataRoot + g_Directory + std::string(name);
}

std::string StandardPath(std::string_view name) {
    return Places().dataRoot + "Standard\\" + std::string(name);
}

std::string KeptFilePath(std::string_view name) {
    const platform::SFilePlaces& places = Places();
    if (!places.IsPortable()) {
        std::string own = places.userRoot + g_Directory + std::string(name);
        if (FileExists(own)) {
            return own;
        }
    }
    return DataDirectoryPath(name);
}

std::string KeptFileTarget(std::string_view name) {
    const platform::SFilePlaces& places = Places();
    if (places.IsPortable()) {
        return DataDirectoryPath(name);
    }
    platform::MakeFolders(places.userRoot + g_Directory);
    return places.userRoot + g_Directory + std::string(name);
}

std::string DataFilePath(std::string_view name) {
    std::string path = DataDirectoryPath(name);
    return FileExists(path) ? path : StandardPath(name);
}

std::string TranslatedDataFile(std::string_view translated, std::string_view german) {
    return FileExists(DataFilePath(translated)) ? std::string(translated) : std::string(german);
}

std::string LevelSection(int level) {
    return "Level" + std::to_string(level);
}

D3DLIGHT9 ReadIniLight() {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    // Keys 1 to 4 of a colour: red, green, blue, alpha.
    using Keys = const char* const[4];
    const auto readColour = [](Keys& keys) {
        D3DCOLORVALUE colour;
        colour.a = ReadIniFloat("Light", keys[3]);
        colour.b = ReadIniFloat("Light", keys[2]);
        colour.g = ReadIniFloat("Light", keys[1]);
        colour.r = ReadIniFloat("Light", keys[0]);
        return colour;
    };
    static Keys diffuse = {"Diffuse1", "Diffuse2", "Diffuse3", "Diffuse4"};
    static Keys ambient = {"Ambient1", "Ambient2", "Ambient3", "Ambient4"};
    static Keys specular = {"Specular1", "Specular2", "Specular3", "Specular4"};
    light.Diffuse = readColour(diffuse);
    light.Ambient = readColour(ambient);
    light.Specular = readColour(specular);
    light.Range = ReadIniFloat("Light", "Range");
    light.Attenuation0 = 0.0f;
    light.Attenuation1 = 0.025f;
    light.Attenuation2 = 0.0f;
    return light;
}
