// The options program's logic, without a display: which file it edits, what the dialog
// opens with and what "OK" writes.
#include "options/Options.h"
#include "../TestSupport.h"

#include <gtest/gtest.h>

namespace {

class Options : public ::testing::Test {
  protected:
    std::string Ini() const { return (m_Dir.Path() / "Zantor.ini").string(); }
    // The program as if it lay in the scratch directory.
    std::string Program() const { return (m_Dir.Path() / "zantor-options").string(); }

    test::CScratchDir m_Dir;
};

TEST_F(Options, NoFileOpensUncheckedAndOkCreatesBothSections) {
    COptionsDialog dialog(Ini());
    dialog.Load();
    for (int i = 0; i < kOptionCount; ++i) {
        EXPECT_FALSE(dialog.IsChecked(i)) << i;
    }
    dialog.SetChecked(0, true); // Fenstermodus
    ASSERT_TRUE(dialog.Save());
    EXPECT_EQ(test::ReadFile(Ini()), "[VideoMode]\nWindowed=1\n\n[Options]\nShowSpeed=0\n"
                                     "Spiegelung=0\nBallreflexionen=0\nPartikeleffekte=0\n"
                                     "Leveluebergaenge=0\nTextverzoegerung=0\nIntro=0\n");
}

TEST_F(Options, OnlyAOneChecksABox) {
    test::WriteFile(Ini(), "[VideoMode]\nWindowed=1\n[Options]\nShowSpeed=0\nSpiegelung=\n"
                           "Ballreflexionen=abc\nPartikeleffekte=2\nLeveluebergaenge=-1\n"
                           "Intro= 1 \n");
    COptionsDialog dialog(Ini());
    dialog.Load();
    const bool expected[kOptionCount] = {true, false, false, false, false, false, false, true};
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
    EXPECT_EQ(after, "; Zantor\r\n[VideoMode]\r\nWidth=1024\r\nWindowed=0\r\n"
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

TEST_F(Options, FileBesideTheProgramComesFirstThenStandard) {
    std::filesystem::create_directory(m_Dir.Path() / "Standard");
    const std::string standard = (m_Dir.Path() / "Standard" / "Zantor.ini").string();
    // Nothing yet: the file beside the program, to be created.
    EXPECT_EQ(OptionsFile(Program(), nullptr), Ini());
    test::WriteFile(standard, "[Options]\nIntro=1\n");
    EXPECT_EQ(OptionsFile(Program(), nullptr), standard);
    test::WriteFile(Ini(), "");
    EXPECT_EQ(OptionsFile(Program(), nullptr), Ini());
    // A data directory names the game's own file, falling back to Standard's.
    const std::string mod = "Mod";
    EXPECT_EQ(OptionsFile(Program(), &mod), standard);
    std::filesystem::create_directory(m_Dir.Path() / "Mod");
    test::WriteFile(m_Dir.Path() / "Mod" / "Zantor.ini", "");
    EXPECT_EQ(OptionsFile(Program(), &mod), (m_Dir.Path() / "Mod" / "Zantor.ini").string());
}

TEST_F(Options, LongProgramDirectoriesAreNotCut) {
    std::filesystem::path deep = m_Dir.Path();
    for (int i = 0; i < 12; ++i) {
        deep /= "ein-recht-langer-verzeichnisname";
    }
    std::filesystem::create_directories(deep);
    const std::string program = (deep / "zantor-options").string();
    ASSERT_GT(program.size(), 300u);
    const std::string file = OptionsFile(program, nullptr);
    EXPECT_EQ(file, (deep / "Zantor.ini").string());
    ASSERT_TRUE(WriteOption(file, "Options", "Intro", 1));
    EXPECT_EQ(ReadOption(file, "Options", "Intro"), 1);
}

TEST_F(Options, KeysAreFoundWithoutRegardToCase) {
    EXPECT_EQ(FindOptionByKey("windowed"), &kOptions[0]);
    EXPECT_EQ(FindOptionByKey("LEVELUEBERGAENGE")->control, 1003);
    EXPECT_EQ(FindOptionByKey("Width"), nullptr);
    EXPECT_EQ(FindOption(1005)->caption, std::string("Intro"));
}

} // namespace
