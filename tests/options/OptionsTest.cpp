// The options program's logic, without a display: which file it edits, what the dialog
// opens with and what "OK" writes.
#include "options/Options.h"
#include "../TestSupport.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>

namespace {

// Counts how often a file of a directory is renamed into place, as a safe replace does once.
class CReplaceCounter {
  public:
    CReplaceCounter(const std::filesystem::path& directory)
        : m_Fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        // With the moves away watched too, no two events in a row are alike, which the
        // kernel would merge into one.
        inotify_add_watch(m_Fd, directory.c_str(), IN_MOVED_FROM | IN_MOVED_TO);
    }
    ~CReplaceCounter() { close(m_Fd); }
    CReplaceCounter(const CReplaceCounter&) = delete;
    CReplaceCounter& operator=(const CReplaceCounter&) = delete;

    int Count() {
        int count = 0;
        alignas(inotify_event) std::array<char, 4096> buffer;
        for (ssize_t size; (size = read(m_Fd, buffer.data(), buffer.size())) > 0;) {
            for (ssize_t at = 0; at < size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
                count += (event->mask & IN_MOVED_TO) != 0 ? 1 : 0;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return count;
    }

  private:
    int m_Fd;
};

class Options : public ::testing::Test {
  protected:
    std::string Ini() const { return (m_Dir.Path() / "Zantor.ini").string(); }
    // The scratch directory as a portable data root.
    platform::SFilePlaces Portable() const {
        platform::SFilePlaces places;
        places.dataRoot = m_Dir.Path().string() + "/";
        return places;
    }

    test::CScratchDir m_Dir;
};

TEST_F(Options, NoFileOpensAsTheGameRunsAndOkCreatesBothSections) {
    // Unchecked but for VSync, which the game takes as on when it is missing.
    COptionsDialog dialog(Ini());
    dialog.Load();
    for (int i = 0; i < kOptionCount; ++i) {
        EXPECT_EQ(dialog.IsChecked(i), i == 8) << i;
    }
    dialog.SetChecked(0, true); // Fenstermodus
    ASSERT_TRUE(dialog.Save());
    EXPECT_EQ(test::ReadFile(Ini()), "[VideoMode]\nWindowed=1\nVSync=1\n\n[Options]\nShowSpeed=0\n"
                                     "Spiegelung=0\nBallreflexionen=0\nPartikeleffekte=0\n"
                                     "Leveluebergaenge=0\nTextverzoegerung=0\nIntro=0\n");
    dialog.SetChecked(8, false);
    ASSERT_TRUE(dialog.Save());
    COptionsDialog again(Ini());
    again.Load();
    EXPECT_FALSE(again.IsChecked(8));
    EXPECT_EQ(ReadOption(Ini(), "videomode", "vsync"), 0);
    EXPECT_EQ(ReadOption(Ini(), "Options", "VSync"), 0); // not the option's section
}

TEST_F(Options, OnlyAOneChecksABox) {
    test::WriteFile(Ini(), "[VideoMode]\nWindowed=1\n[Options]\nShowSpeed=0\nSpiegelung=\n"
                           "Ballreflexionen=abc\nPartikeleffekte=2\nLeveluebergaenge=-1\n"
                           "Intro= 1 \nVSync=1\n");
    COptionsDialog dialog(Ini());
    dialog.Load();
    // VSync=1 stands in Options, not in VideoMode: it is missing there, and on.
    const bool expected[kOptionCount] = {true,  false, false, false, false,
                                         false, false, true,  true};
    for (int i = 0; i < kOptionCount; ++i) {
        EXPECT_EQ(dialog.IsChecked(i), expected[i]) << kOptions[static_cast<std::size_t>(i)].key;
    }
    EXPECT_EQ(dialog.GetValue(4), 2); // shown unchecked, kept until OK
}

TEST_F(Options, OkWritesEveryKeyAsZeroOrOneAndKeepsTheRestOfTheFile) {
    const std::string before = "; Zantor\r\n[VideoMode]\r\nWidth=1024\r\nWindowed=0\r\n"
                               "[Options]\r\nControl=1\r\nPartikeleffekte=2\r\nIntro=1\r\n"
                               "[Level1]\r\nSizeX=20\r\n";
    test::WriteFile(Ini(), before);
    COptionsDialog dialog(Ini());
    dialog.Load();
    ASSERT_TRUE(dialog.Save());
    const std::string after = test::ReadFile(Ini());
    EXPECT_EQ(after, "; Zantor\r\n[VideoMode]\r\nWidth=1024\r\nWindowed=0\r\nVSync=1\r\n"
                     "[Options]\r\nControl=1\r\nPartikeleffekte=0\r\nIntro=1\r\nShowSpeed=0\r\n"
                     "Spiegelung=0\r\nBallreflexionen=0\r\nLeveluebergaenge=0\r\n"
                     "Textverzoegerung=0\r\n[Level1]\r\nSizeX=20\r\n");
}

TEST_F(Options, LoadingAloneChangesNothing) {
    const std::string before = "[Options]\nIntro=1\n";
    test::WriteFile(Ini(), before);
    COptionsDialog dialog(Ini());
    dialog.Load();
    dialog.SetChecked(7, false); // toggled, then "Abbrechen": nothing is saved
    EXPECT_EQ(test::ReadFile(Ini()), before);
}

TEST_F(Options, FileOfTheDataRootComesFirstThenStandard) {
    std::filesystem::create_directory(m_Dir.Path() / "Standard");
    const std::string standard = (m_Dir.Path() / "Standard" / "Zantor.ini").string();
    const platform::SFilePlaces places = Portable();
    // Nothing yet: the file in the data root, to be created.
    EXPECT_EQ(OptionsFile(places, nullptr).read, Ini());
    test::WriteFile(standard, "[Options]\nIntro=1\n");
    EXPECT_EQ(OptionsFile(places, nullptr).read, standard);
    test::WriteFile(Ini(), "");
    EXPECT_EQ(OptionsFile(places, nullptr).read, Ini());
    // A data directory names the game's own file, falling back to Standard's.
    const std::string mod = "Mod";
    EXPECT_EQ(OptionsFile(places, &mod).read, standard);
    std::filesystem::create_directory(m_Dir.Path() / "Mod");
    test::WriteFile(m_Dir.Path() / "Mod" / "Zantor.ini", "");
    const SOptionsFile own = OptionsFile(places, &mod);
    EXPECT_EQ(own.read, (m_Dir.Path() / "Mod" / "Zantor.ini").string());
    EXPECT_EQ(own.write, own.read); // portable: the file itself
}

TEST_F(Options, InstalledTheFirstSaveCopiesTheFileTheGameReadsIntoThePlayersFolder) {
    // A read-only installed data set and a player's folder for the copies.
    const std::filesystem::path installed = m_Dir.Path() / "share";
    std::filesystem::create_directories(installed / "Standard");
    test::WriteFile(installed / "Standard" / "Zantor.ini",
                    "; the installed settings\n[VideoMode]\nWidth=1024\n[Options]\nIntro=1\n");
    platform::SFilePlaces places;
    places.dataRoot = installed.string() + "/";
    places.userRoot = (m_Dir.Path() / "home" / "zantor").string() + "/";
    const std::string standard = "Standard";
    const SOptionsFile files = OptionsFile(places, &standard);
    EXPECT_EQ(files.read, (installed / "Standard" / "Zantor.ini").string());
    EXPECT_EQ(files.write, places.userRoot + "Standard/Zantor.ini");

    COptionsDialog dialog(files);
    dialog.Load();
    EXPECT_TRUE(dialog.IsChecked(7)); // Intro, from the installed file
    dialog.SetChecked(1, true);       // fps anzeigen
    ASSERT_TRUE(dialog.Save());
    // The installed file is untouched; the copy keeps every other key and holds the change.
    EXPECT_EQ(test::ReadFile(files.read),
              "; the installed settings\n[VideoMode]\nWidth=1024\n[Options]\nIntro=1\n");
    EXPECT_EQ(ReadOption(files.write, "VideoMode", "Width"), 1024);
    EXPECT_EQ(ReadOption(files.write, "Options", "ShowSpeed"), 1);
    // From now on the copy is what the game and the dialog read, and a save edits it alone.
    const SOptionsFile again = OptionsFile(places, &standard);
    EXPECT_EQ(again.read, files.write);
    EXPECT_EQ(again.write, files.write);
    ASSERT_TRUE(WriteOptions(again, std::array{ParseAssignment("Intro=0")}));
    EXPECT_EQ(ReadOption(files.write, "Options", "Intro"), 0);
    EXPECT_EQ(ReadOption(files.write, "Options", "ShowSpeed"), 1);
}

TEST_F(Options, OkReplacesTheFileOnceWithAllNine) {
    test::WriteFile(Ini(), "[Options]\nIntro=1\n");
    COptionsDialog dialog(Ini());
    dialog.Load();
    dialog.SetChecked(1, true); // fps anzeigen
    CReplaceCounter replaces(m_Dir.Path());
    std::string reason;
    ASSERT_TRUE(dialog.Save(&reason)) << reason;
    EXPECT_EQ(replaces.Count(), 1);
    EXPECT_EQ(test::ReadFile(Ini()), "[Options]\nIntro=1\nShowSpeed=1\nSpiegelung=0\n"
                                     "Ballreflexionen=0\nPartikeleffekte=0\nLeveluebergaenge=0\n"
                                     "Textverzoegerung=0\n\n[VideoMode]\nWindowed=0\nVSync=1\n");

    // "--set" as well: every assignment, in its order, in one replace.
    const std::array<SAssignment, 3> values = {{{FindOptionByKey("Intro"), 0},
                                                {FindOptionByKey("Windowed"), 1},
                                                {FindOptionByKey("Intro"), 1}}};
    ASSERT_TRUE(WriteOptions(Ini(), values, &reason)) << reason;
    EXPECT_EQ(replaces.Count(), 1);
    EXPECT_EQ(ReadOption(Ini(), "Options", "Intro"), 1);
    EXPECT_EQ(ReadOption(Ini(), "VideoMode", "Windowed"), 1);
}

TEST_F(Options, ALinkedFileStaysALinkAndTheFileItNamesIsWritten) {
    std::filesystem::create_directory(m_Dir.Path() / "Spiel");
    const std::filesystem::path real = m_Dir.Path() / "Spiel" / "Zantor.ini";
    test::WriteFile(real, "[Options]\nIntro=1\n");
    std::filesystem::create_symlink("Spiel/Zantor.ini", Ini());
    COptionsDialog dialog(Ini());
    dialog.Load();
    ASSERT_TRUE(dialog.Save());
    EXPECT_TRUE(std::filesystem::is_symlink(Ini()));
    EXPECT_EQ(ReadOption(real.string(), "Options", "Intro"), 1);
    EXPECT_EQ(ReadOption(real.string(), "VideoMode", "Windowed"), 0);
}

TEST_F(Options, AFileThatCannotBeWrittenStaysAsItWasAndTheReasonIsGiven) {
    const std::string before = "; nur lesen\r\n[Options]\r\nIntro=1\r\n";
    test::WriteFile(Ini(), before);
    // No write bits at all: refused even for root.
    std::filesystem::permissions(Ini(), std::filesystem::perms::owner_read |
                                            std::filesystem::perms::group_read |
                                            std::filesystem::perms::others_read);
    COptionsDialog dialog(Ini());
    dialog.Load();
    EXPECT_TRUE(dialog.IsChecked(7));
    dialog.SetChecked(7, false);
    std::string reason;
    EXPECT_FALSE(dialog.Save(&reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(dialog.Save()); // no reason asked for
    const std::array<SAssignment, 1> intro = {{{FindOptionByKey("Intro"), 0}}};
    reason.clear();
    EXPECT_FALSE(WriteOptions(Ini(), intro, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(test::ReadFile(Ini()), before);
    EXPECT_EQ(std::filesystem::status(Ini()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                  std::filesystem::perms::others_read);
}

TEST_F(Options, AFileThatCannotBeReadIsNotReplacedByNineKeys) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    const std::string before = "[VideoMode]\nWidth=1024\n[Options]\nIntro=1\n";
    test::WriteFile(Ini(), before);
    std::filesystem::permissions(Ini(), std::filesystem::perms::owner_write);
    COptionsDialog dialog(Ini());
    dialog.Load();
    std::string reason;
    EXPECT_FALSE(dialog.Save(&reason));
    EXPECT_FALSE(reason.empty());
    std::filesystem::permissions(Ini(), std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_write);
    EXPECT_EQ(test::ReadFile(Ini()), before);
}

TEST_F(Options, SetTakesTheNamesListPrintsAndPlainKeys) {
    // Every name "--list" prints names its own option, in any case.
    for (const SOption& option : kOptions) {
        const std::string name = std::string(option.section) + "." + option.key;
        EXPECT_EQ(FindOptionByName(name), &option) << name;
        EXPECT_EQ(FindOptionByName(option.key), &option) << option.key;
    }
    EXPECT_EQ(FindOptionByName("options.SPIEGELUNG"), FindOption(1000));
    EXPECT_EQ(FindOptionByName("videomode.windowed"), FindOption(1007));

    // A section that is not the option's own, or a name that is no option.
    for (const char* name : {"Options.Windowed", "VideoMode.Intro", "Level1.Intro", ".Intro",
                             "Options.", "Options.Intro.Intro", "Intro.Options", "Width", ""}) {
        EXPECT_EQ(FindOptionByName(name), nullptr) << name;
    }

    const SAssignment set = ParseAssignment("VideoMode.Windowed=1");
    EXPECT_EQ(set.option, FindOption(1007));
    EXPECT_EQ(set.value, 1);
    EXPECT_EQ(ParseAssignment("intro=0").value, 0);
    EXPECT_EQ(ParseAssignment("intro=0").option, FindOption(1005));
    EXPECT_EQ(ParseAssignment("Options.Windowed=1").option, nullptr);
    EXPECT_EQ(ParseAssignment("Options.Intro").option, nullptr);
    EXPECT_EQ(ParseAssignment("=1").option, nullptr);
    // Only "0" and "1" are values; the option is still known for the message.
    for (const char* text :
         {"Intro=", "Intro=2", "Intro=01", "Intro= 1", "Intro=1=1", "Intro=ja"}) {
        const SAssignment bad = ParseAssignment(text);
        EXPECT_EQ(bad.option, FindOption(1005)) << text;
        EXPECT_EQ(bad.value, -1) << text;
    }
}

TEST_F(Options, KeysAreFoundWithoutRegardToCase) {
    EXPECT_EQ(FindOptionByKey("windowed"), &kOptions[0]);
    EXPECT_EQ(FindOptionByKey("LEVELUEBERGAENGE")->control, 1003);
    EXPECT_EQ(FindOptionByKey("Width"), nullptr);
    EXPECT_EQ(FindOption(1005)->caption, std::string("Intro"));
}

} // namespace
