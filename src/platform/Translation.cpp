#include "Translation.h"

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

std::string FormatConversions(std::string_view format) {
    std::string conversions;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        const std::size_t end = format.find_first_not_of("-+ #0123456789.hlLqjzt*$", i + 1);
        if (end == std::string_view::npos) {
            return conversions + "?";
        }
        const std::string_view spec = format.substr(i + 1, end - i - 1);
        if (format[end] == '%' && spec.empty()) {
            i = end; // "%%"
            continue;
        }
        if (spec.find_first_of("*$") != std::string_view::npos || format[end] == 'n') {
            return conversions + "?";
        }
        const std::size_t length = spec.find_first_of("hlLqjzt");
        if (length != std::string_view::npos) {
            conversions += spec.substr(length);
        }
        conversions += format[end];
        conversions += ' ';
        i = end;
    }
    return conversions;
}

std::string NumberedName(std::string_view name, int number, std::string_view fallback) {
    if (std::optional<std::string> filled = FillNumber(name, number)) {
        return *filled;
    }
    return FillNumber(fallback, number).value_or(std::string(fallback));
}

} // namespace platform

const char* Tr(const char* german) {
    return dgettext(platform::kDomain, german);
}

const char* TrFormat(const char* german) {
    const char* const translated = Tr(german);
    return translated == german ||
                   platform::FormatConversions(translated) == platform::FormatConversions(german)
               ? translated
               : german;
}
