#include "Translation.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <libintl.h>
#include <optional>

namespace platform {
namespace {

constexpr const char* kDomain = "zantor";

// The name with its one "%d" replaced by the number; nothing when it has none, or another
// conversion besides.
std::optional<std::string> FillNumber(std::string_view name, int number) {
    const std::size_t at = name.find('%');
    if (at == std::string_view::npos || name.substr(at, 2) != "%d" ||
        name.find('%', at + 2) != std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(name.substr(0, at)) + std::to_string(number) +
           std::string(name.substr(at + 2));
}

} // namespace

void StartTranslation(const std::string& localeFolder) {
    if (std::setlocale(LC_MESSAGES, "") == nullptr) {
        // The locale named is not installed here, as a language the system was not set up
        // for often is not: gettext would show the texts of "C". The texts take the
        // language named all the same, through LANGUAGE, which gettext reads in any locale
        // but plain "C".
        const std::string named = MessageLocale(ProcessEnvironment());
        if (!named.empty() && !IsPlainLocale(named)) {
            const char* const language = std::getenv("LANGUAGE");
            if (language == nullptr || *language == '\0') {
                setenv("LANGUAGE", named.c_str(), 1);
            }
            std::setlocale(LC_MESSAGES, "C.UTF-8");
        }
    }
    // Without a folder of its own (a copy of the program beside data sets alone), the
    // catalogues are looked for where the system keeps every program's.
    if (IsFolder(localeFolder)) {
        bindtextdomain(kDomain, localeFolder.c_str());
    }
    bind_textdomain_codeset(kDomain, "UTF-8");
}

std::string LocaleFolder(const SDataRoot& root) {
    return root.folder + (root.installed ? "../locale/" : "locale/");
}

std::string MessageLocale(const EnvironmentLookup& environment) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* const value = environment(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

bool IsPlainLocale(std::string_view locale) {
    const std::string_view language = locale.substr(0, locale.find_first_of(".@"));
    return language == "C" || language == "POSIX";
}

std::string_view NextConversion(std::string_view format, std::size_t& at) {
    for (; at < format.size(); ++at) {
        if (format[at] != '%') {
            continue;
        }
        const std::size_t letter = format.find_first_not_of("-+ #0123456789.hlLqjzt*$", at + 1);
        if (letter == std::string_view::npos) {
            at = format.size();
            return "?";
        }
        const std::string_view flags = format.substr(at + 1, letter - at - 1);
        if (format[letter] == '%' && flags.empty()) {
            at = letter; // "%%"
            continue;
        }
        if (flags.find_first_of("*$") != std::string_view::npos || format[letter] == 'n') {
            at = format.size();
            return "?";
        }
        const std::size_t length = std::min(flags.find_first_of("hlLqjzt"), flags.size());
        at = letter + 1;
        return format.substr(at - 1 - (flags.size() - length), flags.size() - length + 1);
    }
    return {};
}

std::string FormatConversions(std::string_view format) {
    std::string conversions;
    std::size_t at = 0;
    for (std::string_view next = NextConversion(format, at); !next.empty();
         next = NextConversion(format, at)) {
        conversions += next;
        if (next != "?") {
            conversions += ' ';
        }
    }
    return conversions;
}

bool SameConversions(std::string_view a, std::string_view b) {
    std::size_t atA = 0;
    std::size_t atB = 0;
    for (;;) {
        const std::string_view next = NextConversion(a, atA);
        if (next != NextConversion(b, atB) || next == "?") {
            return false;
        }
        if (next.empty()) {
            return true;
        }
    }
}

std::string NumberedName(std::string_view name, int number, std::string_view fallback) {
    if (std::optional<std::string> filled = FillNumber(name, number)) {
        return *filled;
    }
    return FillNumber(fallback, number).value_or(std::string(fallback));
}

} // namespace platform

const char* Tr(const char* german) {
    // gettext answers the empty text with the catalogue's header: an empty line stays empty.
    return *german == '\0' ? german : dgettext(platform::kDomain, german);
}

const char* TrFormat(const char* german) {
    const char* const translated = Tr(german);
    return translated == german || platform::SameConversions(translated, german) ? translated
                                                                                 : german;
}
