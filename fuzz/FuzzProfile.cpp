// The bytes as a settings file: reads of the game's keys and of awkward names, then one write,
// which must read back and leave every other line and every other key as it was.
#include "FuzzSupport.h"
#include "platform/Profile.h"

#include <array>

namespace {

struct SName {
    const char* section;
    const char* key;
};

// Keys the game reads, and names the format makes hard: other case, blanks, empty names.
constexpr std::array<SName, 8> kReads = {{{"VideoMode", "Width"},
                                          {"Options", "NumBlocks"},
                                          {"options", "HILFETEXTCOLOR"},
                                          {"Level1", "SizeZ"},
                                          {"Block0", "Hitpoints"},
                                          {"Light", "Range"},
                                          {"Neu", "Wert"},
                                          {"", ""}}};

struct SWrite {
    SName name;
    const char* value;
};

// Values without enclosing blanks or quotes: those a read gives back unchanged.
constexpr std::array<SWrite, 7> kWrites = {{{{"Options", "Intro"}, "0"},
                                            {{"options", "SHOWSPEED"}, "1"},
                                            {{"Neu", "Wert"}, "Hallo Welt"},
                                            {{"Level1", "SizeZ"}, ""},
                                            {{"", "Leer"}, "x=y ; z"},
                                            {{"Block0", "Hitpoints"}, "0xff00ff00"},
                                            {{"VideoMode", "Width"}, "\"640"}}};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string Read(const SName& name, const std::string& path) {
    return platform::ReadProfileString(name.section, name.key, "[fehlt]", path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::CEnvironment environment;
    static const std::string path = (environment.DataDir() / "profile.ini").string();
    const std::string_view text = fuzz::AsText(data, size);
    fuzz::WriteFile(path, text);

    std::array<std::string, kReads.size()> before;
    for (std::size_t i = 0; i < kReads.size(); ++i) {
        before[i] = Read(kReads[i], path);
        FUZZ_CHECK(before[i].size() <= platform::kProfileValueMax);
    }

    // A name that would break the line structure is refused and the file stays as it was.
    FUZZ_CHECK(!platform::WriteProfileString("Options", "a=b", "1", path));
    FUZZ_CHECK(fuzz::ReadFile(path) == text);

    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        sum += data[i];
    }
    const SWrite& write = kWrites[sum % kWrites.size()];
    FUZZ_CHECK(platform::WriteProfileString(write.name.section, write.name.key, write.value, path));
    FUZZ_CHECK(Read(write.name, path) == write.value);
    for (std::size_t i = 0; i < kReads.size(); ++i) {
        const bool written = SameName(kReads[i].section, write.name.section) &&
                             SameName(kReads[i].key, write.name.key);
        FUZZ_CHECK(written || Read(kReads[i], path) == before[i]);
    }

    // Byte for byte: apart from one common start and one common end, the old file lost at
    // most a piece of one line (the old value).
    const std::string after = fuzz::ReadFile(path);
    std::size_t prefix = 0;
    while (prefix < text.size() && prefix < after.size() && text[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < text.size() - prefix && suffix < after.size() - prefix &&
           text[text.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view removed = text.substr(prefix, text.size() - prefix - suffix);
    FUZZ_CHECK(removed.find('\n') == std::string_view::npos);
    return 0;
}
