#include "settings/Settings.h"
#include "TestSupport.h"
#include "platform/Path.h"
#include "settings/Log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>

namespace {

const char* const kMissingRows =
    "\n<tr><td><font color=\"red\"><b>Fehler</b></font><td>Bitte prüfen sie die ini-Datei:"
    "\n<tr><td><font color=\"red\"><b>Fehler</b></font><td>%s"
    "\n<tr><td><font color=\"red\"><b>Fehler</b></font><td>%s"
    "\n<tr><td><font color=\"red\"><b>Fehler</b></font><td>%s"
    "\n<tr><td><font color=\"red\"><b>Fehler</b></font><td>...wurde nicht gefunden!";

std::string MissingRows(const std::string& file, const char* section, const char* key) {
    char rows[2048];
    std::snprintf(rows, sizeof rows, kMissingRows, file.c_str(), section, key);
    return rows;
}

// A data directory in a scratch working directory (the tests' data root), a fresh log there,
// and the tests' fallback settings in its "Standard" folder.
class Settings : public ::testing::Test {
  protected:
    Settings() {
        std::string pattern = (m_WorkDir.Path() / "settings-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_DataDir = pattern;
        }
        test::CopyTestSettings();
        m_Saved = g_Directory;
        g_Directory = m_DataDir.filename().string() + "\\";
        g_Log.Open();
    }
    ~Settings() override { g_Directory = m_Saved; }

    void WriteIni(const std::string& content) { test::WriteFile(IniPath(), content); }
    std::string IniPath() const { return (m_DataDir / "Zantor.ini").string(); }
    // The files as the lookup names them in its rows: relative to the data root.
    std::string IniName() const { return m_DataDir.filename().string() + "/Zantor.ini"; }
    static std::string StandardIniName() { return "Standard/Zantor.ini"; }

    test::CScratchDir m_WorkDir;
    std::filesystem::path m_DataDir;
    std::string m_Saved;
};

TEST_F(Settings, ReadsEachTypeFromTheDataDirectory) {
    WriteIni("[Level1]\nSizeX=20\nBallSpeed= 7.25 \nColor=0xff102030\nName=\"Erster Level\"\n"
             "Neg=-12abc\n");
    EXPECT_EQ(ReadIniInt("Level1", "SizeX"), 20);
    EXPECT_EQ(ReadIniInt("Level1", "Neg"), -12);
    EXPECT_FLOAT_EQ(ReadIniFloat("level1", "ballspeed"), 7.25f);
    EXPECT_EQ(ReadIniColor("Level1", "Color"), 0xFF102030u);
    IniBuffer text;
    EXPECT_TRUE(ReadIniString("Level1", "Name", text));
    EXPECT_STREQ(text, "Erster Level");
    EXPECT_EQ(test::LogRows(), "");
}

TEST_F(Settings, MissingKeyWritesFiveRowsAndReadsAsZero) {
    WriteIni("[Options]\nShowSpeed=1\n");
    const std::string file = IniName();
    EXPECT_EQ(ReadIniInt("Options", "Balls"), 0);
    EXPECT_EQ(test::LogRows(), MissingRows(file, "Options", "Balls"));

    g_Log.Open();
    EXPECT_EQ(ReadIniFloat("Options", "MouseSensitive"), 0.0f);
    EXPECT_EQ(ReadIniColor("Nope", "MenuTextColor"), 0u);
    IniBuffer text;
    EXPECT_FALSE(ReadIniString("Options", "Missing", text));
    EXPECT_STREQ(text, NOT_FOUND);
    EXPECT_EQ(test::LogRows(), MissingRows(file, "Options", "MouseSensitive") +
                                   MissingRows(file, "Nope", "MenuTextColor") +
                                   MissingRows(file, "Options", "Missing"));
}

TEST_F(Settings, EmptyValueIsFoundWithoutReport) {
    WriteIni("[Options]\nBalls=\nMenuTextColor=\n");
    EXPECT_EQ(ReadIniInt("Options", "Balls"), 0);
    EXPECT_EQ(ReadIniColor("Options", "MenuTextColor"), 0u);
    EXPECT_EQ(test::LogRows(), "");
}

TEST_F(Settings, ValueThatIsTheMarkerCountsAsMissing) {
    WriteIni("[Options]\nBalls=[NOT FOUND]\n");
    EXPECT_EQ(ReadIniInt("Options", "Balls"), 0);
    EXPECT_EQ(test::LogRows(), MissingRows(IniName(), "Options", "Balls"));
}

TEST_F(Settings, ShortColourValuesStayInsideTheBuffer) {
    WriteIni("[C]\nOne=f\nTwo=0x\nUpper=0xFFFFFFFF\nNoPrefix=ff00ff00\n");
    EXPECT_EQ(ReadIniColor("C", "One"), 0u);
    EXPECT_EQ(ReadIniColor("C", "Two"), 0u);
    EXPECT_EQ(ReadIniColor("C", "Upper"), 0u);
    // The first two characters are skipped whatever they are.
    EXPECT_EQ(ReadIniColor("C", "NoPrefix"), 0x0000FF00u);
}

TEST_F(Settings, FallsBackToStandardOnlyWhenTheDataDirectoryHasNoFile) {
    EXPECT_EQ(SettingsFilePath(), StandardIniName());
    EXPECT_EQ(ReadIniInt("Fallback", "OnlyInStandard"), 42);
    EXPECT_EQ(ReadIniInt("VideoMode", "Width"), 640);

    // A file in the data directory hides the one in Standard completely.
    WriteIni("[VideoMode]\nWidth=800\n");
    EXPECT_EQ(ReadIniInt("VideoMode", "Width"), 800);
    EXPECT_EQ(test::LogRows(), "");
    EXPECT_EQ(ReadIniInt("Fallback", "OnlyInStandard"), 0);
    EXPECT_EQ(test::LogRows(), MissingRows(IniName(), "Fallback", "OnlyInStandard"));
}

TEST_F(Settings, EditedFileTakesEffectAtTheNextRead) {
    WriteIni("[Options]\nShowSpeed=0\n");
    EXPECT_EQ(ReadIniInt("Options", "ShowSpeed"), 0);
    WriteIni("[Options]\nShowSpeed=1\n");
    EXPECT_EQ(ReadIniInt("Options", "ShowSpeed"), 1);

    // A file left alone for a while is served from its parsed copy; an edit of the same size
    // with an older time stamp still takes effect.
    const auto age = [this](long seconds) {
        const auto when =
            std::filesystem::file_time_type::clock::now() - std::chrono::seconds(seconds);
        std::filesystem::last_write_time(IniPath(), when);
    };
    age(60);
    EXPECT_EQ(ReadIniInt("Options", "ShowSpeed"), 1);
    WriteIni("[Options]\nShowSpeed=2\n");
    age(30);
    EXPECT_EQ(ReadIniInt("Options", "ShowSpeed"), 2);

    // Gone: the next read falls back to Standard; back: the next read takes it again.
    std::filesystem::remove(IniPath());
    EXPECT_EQ(ReadIniInt("VideoMode", "Width"), 640);
    WriteIni("[VideoMode]\nWidth=800\n");
    EXPECT_EQ(ReadIniInt("VideoMode", "Width"), 800);
}

TEST_F(Settings, NoSettingsAnywhereReportsTheStandardPath) {
    g_Directory = "no-such-dir\\";
    EXPECT_EQ(ReadIniInt("Missing", "Key"), 0);
    EXPECT_EQ(test::LogRows(), MissingRows(StandardIniName(), "Missing", "Key"));
}

TEST_F(Settings, HostileFilesReadAsMissingWithoutHarm) {
    std::string binary(70000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<char>((i * 131) & 0xFF);
    }
    WriteIni(binary);
    EXPECT_EQ(ReadIniInt("Options", "Balls"), 0);
    WriteIni("[Options]\nBalls=" + std::string(1 << 20, '7') + "\n");
    EXPECT_TRUE(std::isinf(ReadIniFloat("Options", "Balls")));
    IniBuffer text;
    EXPECT_TRUE(ReadIniString("Options", "Balls", text));
    EXPECT_EQ(std::string(text), std::string(255, '7'));
    WriteIni("[Options]\nBalls=3\nBalls=4\n");
    EXPECT_EQ(ReadIniInt("Options", "Balls"), 3);
}

TEST(ParseHex, FollowsTheGamesColourTable) {
    EXPECT_EQ(static_cast<std::uint32_t>(ParseHex("0xff00ff00", 2)), 0xFF00FF00u);
    EXPECT_EQ(static_cast<std::uint32_t>(ParseHex("0x00ffffff", 2)), 0x00FFFFFFu);
    EXPECT_EQ(static_cast<std::uint32_t>(ParseHex("0x80ffffff", 2)), 0x00FFFFFFu);
    EXPECT_EQ(static_cast<std::uint32_t>(ParseHex("0x7f000000", 2)), 0xFF000000u);
    EXPECT_EQ(static_cast<std::uint32_t>(ParseHex("0xff0000ff", 2)), 0xFF0000FFu);
    EXPECT_EQ(ParseHex("0xFFFFFFFF", 2), 0);
    EXPECT_EQ(ParseHex("0x1aFF", 2), 0x1a);
    EXPECT_EQ(ParseHex("12x4", 0), 0x12);
}

TEST(ParseHex, MinusNegatesWhatWasReadSoFar) {
    EXPECT_EQ(ParseHex("0x-1", 2), 1);
    EXPECT_EQ(ParseHex("0x1-", 2), -1);
    EXPECT_EQ(ParseHex("0x1-2", 2), -14);
    EXPECT_EQ(ParseHex("--", 0), 0);
}

TEST(ParseHex, StopsAtTheEndOfTheText) {
    EXPECT_EQ(ParseHex("", 2), 0);
    EXPECT_EQ(ParseHex(std::string_view("0xab", 3), 2), 0xa);
    EXPECT_EQ(ParseHex(std::string_view("0xa\0b", 5), 2), 0xa);
}

TEST(FileExists, IsTrueForReadableFilesOnly) {
    test::CScratchDir dir;
    test::WriteFile("there.txt", "x");
    std::filesystem::create_directory("folder");
    EXPECT_TRUE(FileExists("there.txt"));
    EXPECT_TRUE(FileExists(".\\there.txt"));
    EXPECT_FALSE(FileExists("missing.txt"));
    EXPECT_FALSE(FileExists("folder"));
}

TEST(DataFilePath, FallsBackToStandard) {
    test::CScratchDir dir;
    std::filesystem::create_directories("Mod");
    std::filesystem::create_directories("Standard");
    test::WriteFile("Mod/Level1.txt", "x");
    test::WriteFile("Standard/Level2.txt", "x");
    const std::string saved = g_Directory;
    g_Directory = "Mod\\";
    EXPECT_EQ(DataFilePath("Level1.txt"), "Mod\\Level1.txt");
    EXPECT_EQ(DataFilePath("Level2.txt"), "Standard\\Level2.txt");
    g_Directory = saved;
}

} // namespace
