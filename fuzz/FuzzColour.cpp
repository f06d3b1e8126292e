// Colours: ParseHex on the bytes from several start positions, and ReadIniColor on the bytes
// as a colour value in the settings file.
#include "FuzzSupport.h"
#include "platform/Profile.h"
#include "settings/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::CEnvironment environment;
    const std::string_view text = fuzz::AsText(data, size);

    // A zero byte ends the number as the text's end does; past the end nothing is read.
    const std::string_view cut = text.substr(0, text.find('\0'));
    for (const std::size_t start :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{size > 0 ? data[0] : 0u}}) {
        if (start <= cut.size()) {
            FUZZ_CHECK(ParseHex(text, start) == ParseHex(cut, start));
        }
    }
    FUZZ_CHECK(ParseHex(text, size) == 0);
    FUZZ_CHECK(ParseHex(text, size + 7) == 0);

    // The settings lookup: the value as ReadProfileString gives it, read from its third
    // character on, whatever its length.
    environment.WriteSettings("[Farben]\nFarbe=" + std::string(text) + "\n");
    const std::string value =
        platform::ReadProfileString("Farben", "Farbe", NOT_FOUND, environment.SettingsPath());
    FUZZ_CHECK(ReadIniColor("Farben", "Farbe") == static_cast<std::uint32_t>(ParseHex(value, 2)));
    return 0;
}
