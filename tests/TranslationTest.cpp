// The translation's own rules: which locales speak the programs' German, where the catalogues
// are, and that a translated format or file name is checked before it is used.
#include "platform/Translation.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

platform::EnvironmentLookup Environment(std::map<std::string, std::string> variables) {
    return [variables = std::move(variables)](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found != variables.end() ? found->second.c_str() : nullptr;
    };
}

TEST(Translation, TheLocaleForMessagesIsTheFirstSetOfLcAllLcMessagesAndLang) {
    EXPECT_EQ(platform::MessageLocale(Environment({})), "");
    EXPECT_EQ(platform::MessageLocale(Environment({{"LANG", "en_GB.UTF-8"}})), "en_GB.UTF-8");
    EXPECT_EQ(platform::MessageLocale(
                  Environment({{"LANG", "en_GB.UTF-8"}, {"LC_MESSAGES", "de_AT.UTF-8"}})),
              "de_AT.UTF-8");
    EXPECT_EQ(platform::MessageLocale(Environment(
                  {{"LANG", "en_GB.UTF-8"}, {"LC_MESSAGES", "de_AT"}, {"LC_ALL", "fr_FR"}})),
              "fr_FR");
    // Set but empty counts as not set, as for setlocale.
    EXPECT_EQ(platform::MessageLocale(Environment({{"LANG", "en_US.UTF-8"}, {"LC_ALL", ""}})),
              "en_US.UTF-8");

    for (const char* plain : {"C", "POSIX", "C.UTF-8", "C.utf8", "POSIX@euro"}) {
        EXPECT_TRUE(platform::IsPlainLocale(plain)) << plain;
    }
    for (const char* language : {"de_DE.UTF-8", "en_US", "en", "ca_ES.UTF-8", "CA", ""}) {
        EXPECT_FALSE(platform::IsPlainLocale(language)) << language;
    }
}

TEST(Translation, CataloguesLieBesideTheStagedOrInstalledDataSets) {
    EXPECT_EQ(platform::LocaleFolder({"/home/p/zantor/build/stage/", false}),
              "/home/p/zantor/build/stage/locale/");
    // share/zantor/ installed: share/locale/, where every program's catalogues are.
    EXPECT_EQ(platform::LocaleFolder({"/usr/bin/../share/zantor/", true}),
              "/usr/bin/../share/zantor/../locale/");
}

TEST(Translation, AFormatKeepsItsConversionsInOrderOrTheGermanOneIsUsed) {
    EXPECT_EQ(platform::FormatConversions("Punkte: %d"), "d ");
    EXPECT_EQ(platform::FormatConversions("Levelscore: %d * %.3f = %d"), "d f d ");
    EXPECT_EQ(platform::FormatConversions("100 %% von %5.2lf und %-3s"), "lf s ");
    EXPECT_EQ(platform::FormatConversions("kein Format"), "");
    // What takes more than its own argument, or runs off the end, matches nothing real.
    EXPECT_EQ(platform::FormatConversions("%*d"), "?");
    EXPECT_EQ(platform::FormatConversions("%1$d"), "?");
    EXPECT_EQ(platform::FormatConversions("%d %n"), "d ?");
    EXPECT_EQ(platform::FormatConversions("zu Ende %"), "?");

    // A translation with the same conversions passes, reordered or retyped ones do not.
    EXPECT_EQ(platform::FormatConversions("Level score: %d * %.2f = %d"),
              platform::FormatConversions("Levelscore: %d * %.3f = %d"));
    EXPECT_NE(platform::FormatConversions("Score: %s"), platform::FormatConversions("Punkte: %d"));
    EXPECT_NE(platform::FormatConversions("%f, %d"), platform::FormatConversions("%d, %f"));

    // The check TrFormat makes, without building the lists.
    EXPECT_TRUE(
        platform::SameConversions("Level score: %d * %.2f = %d", "Levelscore: %d * %.3f = %d"));
    EXPECT_FALSE(platform::SameConversions("Score: %s", "Punkte: %d"));
    EXPECT_FALSE(platform::SameConversions("Score: %d %d", "Punkte: %d"));
    EXPECT_FALSE(platform::SameConversions("%d %n", "%d %n")); // never one that writes

    // Without a catalogue the German format itself comes back.
    const char* const german = "Bälle: %d";
    EXPECT_EQ(TrFormat(german), german);
    EXPECT_EQ(Tr(german), german);
}

TEST(Translation, ANumberedFileNameIsCheckedNotTrusted) {
    EXPECT_EQ(platform::NumberedName("Text%d.en.txt", 3, "Text%d.txt"), "Text3.en.txt");
    EXPECT_EQ(platform::NumberedName("%d-Hilfe.txt", 12, "Text%d.txt"), "12-Hilfe.txt");
    for (const char* broken :
         {"Text.en.txt", "Text%s.txt", "Text%d%d.txt", "Text%%d.txt", "Text%d.%x", "Text%"}) {
        EXPECT_EQ(platform::NumberedName(broken, 5, "Text%d.txt"), "Text5.txt") << broken;
    }
    // A fallback without its number is taken as it stands.
    EXPECT_EQ(platform::NumberedName("Text%s", 5, "Text.txt"), "Text.txt");
}

} // namespace
