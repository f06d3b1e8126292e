#pragma once

#include "Places.h"

#include <string>
#include <string_view>

// What the programs show, in the player's language: gettext's catalogues of the text domain
// "zantor" (po/ in the source tree), the language chosen by the locale as gettext chooses it
// (LANGUAGE, LC_ALL, LC_MESSAGES, LANG). The German texts are the message ids, so without a
// catalogue for the language, or without the catalogues at all, everything stays German, as
// it always was. log.htm is never translated: its rows are read by tools.
namespace platform {

// Chooses the language for this process and finds the catalogues in localeFolder (with a
// final "/"). Call it once, before the first text is translated. A locale named in the
// environment but not installed on the system still chooses its language for the texts.
void StartTranslation(const std::string& localeFolder);

// The catalogues' folder for a data root: "share/locale/" beside an installed
// "share/zantor/", else "locale/" in the data root (the stage, a portable copy).
std::string LocaleFolder(const SDataRoot& root);

// The locale the environment names for messages (the first set of LC_ALL, LC_MESSAGES and
// LANG); empty when none is set.
std::string MessageLocale(const EnvironmentLookup& environment);

// True for a locale whose messages are the programs' own (German): "C", "POSIX", and "C"
// with a codeset or modifier ("C.UTF-8").
bool IsPlainLocale(std::string_view locale);

// The next conversion of a printf format from at on, as its length modifier and conversion
// letter ("d", "f", "ld"), "%%" left out; "?" for one that takes more than its argument
// ("*", "$", "%n") or runs off the end, after which there is none; empty when there is none
// more. at moves past it.
std::string_view NextConversion(std::string_view format, std::size_t& at);
// All conversions of a format, each followed by a space ("d f d "), a "?" ending them.
std::string FormatConversions(std::string_view format);
// True when two formats have the same conversions in the same order, none of them "?". It
// builds nothing: TrFormat asks it in every frame that shows a score line.
bool SameConversions(std::string_view a, std::string_view b);

// A name with one "%d" in it, the number put in its place; the fallback's, when the name has
// no "%d" or another conversion besides (a translated file name is checked, not trusted).
std::string NumberedName(std::string_view name, int number, std::string_view fallback);

} // namespace platform

// The text in the player's language; the German text itself when there is no translation.
const char* Tr(const char* german);
// A printf format in the player's language: the translation when its conversions are the
// German format's, in the same order; the German format when they are not (a translated
// format is checked, not trusted, as a wrong one would read the arguments wrongly).
const char* TrFormat(const char* german);
// Marks a text for translation where it is named (a table) but translated where it is shown.
constexpr const char* N_(const char* german) {
    return german;
}
