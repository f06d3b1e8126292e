// Where the programs find their data and keep the player's files: beside the program or
// installed, portable or under the XDG base directories, and the game's lookups through them.
#include "platform/Places.h"
#include "TestSupport.h"
#include "game/ScoreFile.h"
#include "platform/Path.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

// An environment of the test's own.
platform::EnvironmentLookup Environment(std::map<std::string, std::string> variables) {
    return [variables = std::move(variables)](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found != variables.end() ? found->second.c_str() : nullptr;
    };
}

std::string Slashed(const fs::path& path) {
    return path.string() + "/";
}

TEST(Places, TheDataRootIsBesideTheProgramElseInstalledNeverTheWorkingDirectory) {
    test::CScratchDir dir;
    const fs::path bin = dir.Path() / "usr" / "bin";
    const fs::path share = dir.Path() / "usr" / "share" / "zantor";
    fs::create_directories(bin);
    const std::string program = (bin / "zantor").string();

    // Neither: the program's folder, which the game then reports.
    platform::SDataRoot root = platform::FindDataRoot(program, "../share/zantor");
    EXPECT_EQ(root.folder, Slashed(bin));
    EXPECT_FALSE(root.installed);

    fs::create_directories(share / "Standard");
    root = platform::FindDataRoot(program, "../share/zantor");
    EXPECT_EQ(root.folder, Slashed(share));
    EXPECT_TRUE(root.installed);
    EXPECT_FALSE(platform::IsPortable(root, "Standard")); // even for root, who may write

    // A "Standard" beside the program wins: the stage, or a copy the player made.
    fs::create_directories(bin / "Standard");
    root = platform::FindDataRoot(program, "../share/zantor");
    EXPECT_EQ(root.folder, Slashed(bin));
    EXPECT_FALSE(root.installed);
    EXPECT_TRUE(platform::IsPortable(root, "Standard"));
    EXPECT_TRUE(platform::IsPortable(root, "Fehlt")); // the data root may be written to
}

TEST(Places, PortableKeepsEverythingBesideTheData) {
    const platform::SFilePlaces places =
        platform::MakeFilePlaces("/opt/zantor", true, Environment({{"HOME", "/home/spieler"}}));
    EXPECT_TRUE(places.IsPortable());
    EXPECT_EQ(places.dataRoot, "/opt/zantor/");
    EXPECT_EQ(places.logFile, "/opt/zantor/log.htm");
    EXPECT_TRUE(places.screenshotFolder.empty());
}

TEST(Places, InstalledTheFilesGoToTheBaseDirectoriesWithTheirDefaults) {
    platform::SFilePlaces places =
        platform::MakeFilePlaces("/usr/share/zantor/", false, Environment({{"HOME", "/home/sp"}}));
    EXPECT_FALSE(places.IsPortable());
    EXPECT_EQ(places.userRoot, "/home/sp/.local/share/zantor/");
    EXPECT_EQ(places.logFile, "/home/sp/.local/state/zantor/log.htm");
    EXPECT_EQ(places.screenshotFolder, "/home/sp/");

    // Set ones count; a relative one is ignored, as the base directories' rules say.
    places = platform::MakeFilePlaces(
        "/usr/share/zantor/", false,
        Environment(
            {{"HOME", "/home/sp"}, {"XDG_DATA_HOME", "/d"}, {"XDG_STATE_HOME", "relative/state"}}));
    EXPECT_EQ(places.userRoot, "/d/zantor/");
    EXPECT_EQ(places.logFile, "/home/sp/.local/state/zantor/log.htm");

    // No home folder at all: nowhere else to go but the data set.
    places = platform::MakeFilePlaces("/usr/share/zantor/", false, Environment({}));
    EXPECT_TRUE(places.IsPortable());
}

TEST(Places, ThePicturesFolderComesFromUserDirs) {
    test::CScratchDir dir;
    const std::string home = dir.Path().string();
    const auto environment = Environment({{"HOME", home}, {"XDG_CONFIG_HOME", home + "/cfg"}});
    fs::create_directories(dir.Path() / "cfg");
    test::WriteFile(dir.Path() / "cfg" / "user-dirs.dirs",
                    "# written by xdg-user-dirs-update\n"
                    "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                    "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(platform::MakeFilePlaces("/usr/share/zantor/", false, environment).screenshotFolder,
              home + "/Bilder/");
    test::WriteFile(dir.Path() / "cfg" / "user-dirs.dirs", "XDG_PICTURES_DIR=\"/srv/bilder\"");
    EXPECT_EQ(platform::MakeFilePlaces("/usr/share/zantor/", false, environment).screenshotFolder,
              "/srv/bilder/");
    // A line that is not a path leaves the home folder.
    test::WriteFile(dir.Path() / "cfg" / "user-dirs.dirs", "XDG_PICTURES_DIR=\"Bilder\"\n");
    EXPECT_EQ(platform::MakeFilePlaces("/usr/share/zantor/", false, environment).screenshotFolder,
              home + "/");
}

TEST(Places, UniqueFileNamesNeverReplaceAnother) {
    test::CScratchDir dir;
    const std::string folder = Slashed(dir.Path());
    const std::string first = platform::UniqueFilePath(folder, "Zantor", ".bmp");
    EXPECT_TRUE(first.starts_with(folder + "Zantor-20"));
    EXPECT_TRUE(first.ends_with(".bmp"));
    test::WriteFile(first, "x");
    const std::string second = platform::UniqueFilePath(folder, "Zantor", ".bmp");
    EXPECT_NE(second, first);
    test::WriteFile(second, "x");
    EXPECT_NE(platform::UniqueFilePath(folder, "Zantor", ".bmp"), second);
    EXPECT_TRUE(platform::MakeFolders(folder + "a/b/c"));
    EXPECT_TRUE(platform::IsFolder(folder + "a/b/c"));
}

// The game's lookups with an installed data set and a player's folder.
class InstalledPlaces : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(m_Dir.Path() / "share" / "Standard");
        test::WriteFile(m_Dir.Path() / "share" / "Standard" / "Zantor.ini", "[Options]\nBalls=5\n");
        platform::SFilePlaces places;
        places.dataRoot = Slashed(m_Dir.Path() / "share");
        places.userRoot = Slashed(m_Dir.Path() / "user");
        SetFilePlaces(places);
        g_Directory = "Standard\\";
    }
    void TearDown() override {
        SetFilePlaces({});
        g_Directory = "Standard\\";
    }

    test::CScratchDir m_Dir;
};

TEST_F(InstalledPlaces, KeptFilesAreWrittenToThePlayersFolderAndReadFromThere) {
    const fs::path installed = m_Dir.Path() / "share" / "Standard" / "Highscore.dat";
    // Read: the data set's as the default ...
    test::WriteFile(installed, std::string("\x10\x00\x00\x00", 4));
    EXPECT_EQ(fs::path(platform::NativePath(KeptFilePath("Highscore.dat"))), installed);
    EXPECT_EQ(ReadScoreFile(KeptFilePath("Highscore.dat")), 16);
    // ... written: into the player's folder, which is made ...
    ASSERT_TRUE(WriteScoreFile(KeptFileTarget("Highscore.dat"), 99));
    const fs::path own = m_Dir.Path() / "user" / "Standard" / "Highscore.dat";
    EXPECT_TRUE(fs::exists(own));
    // ... and from then on read from there, the data set's untouched.
    EXPECT_EQ(fs::path(platform::NativePath(KeptFilePath("Highscore.dat"))), own);
    EXPECT_EQ(ReadScoreFile(KeptFilePath("Highscore.dat")), 99);
    EXPECT_EQ(ReadScoreFile(installed.string()), 16);
}

TEST_F(InstalledPlaces, SettingsReadThePlayersCopyFirstThenTheDataSets) {
    EXPECT_EQ(ReadIniInt("Options", "Balls"), 5);
    EXPECT_EQ(fs::path(platform::NativePath(SettingsFilePath())),
              m_Dir.Path() / "share" / "Standard" / "Zantor.ini");
    fs::create_directories(m_Dir.Path() / "user" / "Standard");
    test::WriteFile(m_Dir.Path() / "user" / "Standard" / "Zantor.ini", "[Options]\nBalls=9\n");
    EXPECT_EQ(ReadIniInt("Options", "Balls"), 9);
    // Data and pictures come from the data set alone.
    EXPECT_EQ(fs::path(platform::NativePath(DataFilePath("Level1.txt"))),
              m_Dir.Path() / "share" / "Standard" / "Level1.txt");
}

} // namespace
