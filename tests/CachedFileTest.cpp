#include "platform/CachedFile.h"
#include "TestSupport.h"
#include "game/HelpText.h"
#include "platform/Profile.h"
#include "settings/Settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>

using platform::CCachedFile;

namespace {

// Sets a file's modification time the given seconds into the past: a file left alone that
// long, whose copy may be trusted until it changes.
void Age(const std::filesystem::path& path, long seconds) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                               std::chrono::seconds(seconds));
}

class CachedFile : public ::testing::Test {
  protected:
    test::CScratchDir m_Dir;
};

TEST_F(CachedFile, SettledFileIsReadOnceUntilItChanges) {
    test::WriteFile("a.txt", "eins");
    Age("a.txt", 60);
    CCachedFile file("a.txt", 100);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(file.Refresh());
    }
    EXPECT_EQ(file.GetReadCount(), 1u);
    EXPECT_EQ(file.GetContent(), "eins");

    // Same size, modified "earlier": only the stamp tells, and it does.
    test::WriteFile("a.txt", "zwei");
    Age("a.txt", 30);
    ASSERT_TRUE(file.Refresh());
    EXPECT_EQ(file.GetContent(), "zwei");
    EXPECT_EQ(file.GetReadCount(), 2u);
}

TEST_F(CachedFile, FreshFileIsReadAgainSoAnEditInTheSameTickIsSeen) {
    test::WriteFile("a.txt", "eins");
    CCachedFile file("a.txt", 100);
    ASSERT_TRUE(file.Refresh());
    const std::uint64_t version = file.GetVersion();
    test::WriteFile("a.txt", "zwei"); // same size, quite likely the same time stamp
    ASSERT_TRUE(file.Refresh());
    EXPECT_EQ(file.GetContent(), "zwei");
    EXPECT_GT(file.GetVersion(), version);
}

bool SameStamp(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// Two edits in one time-stamp tick: the same size, and no time moved. Kernels that stamp a
// file finely once its times have been looked at move the change time at every write(),
// so the edits go through a shared mapping: a store into a page that is already dirty
// moves no time stamp at all. Only the settle window makes the second edit visible.
TEST_F(CachedFile, EditThatLeavesTheWholeStampAsItWasIsSeenWhileTheFileIsFresh) {
    test::WriteFile("a.txt", "eins");
    const int fd = open("a.txt", O_RDWR);
    ASSERT_GE(fd, 0);
    void* const map = mmap(nullptr, 4, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    ASSERT_NE(map, MAP_FAILED);
    char* const bytes = static_cast<char*>(map);
    CCachedFile file("a.txt", 100);
    // A write-back between the two stores would clean the page, and the second store would
    // then move the times: such a round does not count.
    bool unstamped = false;
    for (int round = 0; round < 5 && !unstamped; ++round) {
        std::memcpy(bytes, "eins", 4);
        struct stat first {};
        ASSERT_EQ(stat("a.txt", &first), 0);
        ASSERT_TRUE(file.Refresh());
        ASSERT_EQ(file.GetContent(), "eins");
        std::memcpy(bytes, "zwei", 4);
        struct stat second {};
        ASSERT_EQ(stat("a.txt", &second), 0);
        unstamped = SameStamp(first, second);
        ASSERT_TRUE(file.Refresh());
        EXPECT_EQ(file.GetContent(), "zwei");
    }
    munmap(map, 4);
    EXPECT_TRUE(unstamped) << "every second edit moved a time stamp";
}

TEST_F(CachedFile, GoneDirectoryAndTooLargeFiles) {
    test::WriteFile("a.txt", "eins");
    Age("a.txt", 60);
    CCachedFile file("a.txt", 4);
    ASSERT_TRUE(file.Refresh());
    const std::uint64_t version = file.GetVersion();

    std::filesystem::remove("a.txt");
    EXPECT_FALSE(file.Refresh());
    EXPECT_FALSE(file.GetContent());
    EXPECT_GT(file.GetVersion(), version);

    std::filesystem::create_directory("a.txt");
    EXPECT_FALSE(file.Refresh());
    std::filesystem::remove("a.txt");

    test::WriteFile("a.txt", "fuenf"); // one byte more than the copy may hold
    EXPECT_TRUE(file.Refresh());
    EXPECT_FALSE(file.GetContent());
}

TEST_F(CachedFile, PathsAreWrittenTheGamesWay) {
    std::filesystem::create_directory("sub");
    test::WriteFile("sub/a.txt", "eins");
    CCachedFile file("nowhere\\..\\sub\\a.txt", 100);
    ASSERT_TRUE(file.Refresh());
    EXPECT_EQ(file.GetContent(), "eins");
}

TEST_F(CachedFile, ProfileLookupsFollowEveryEdit) {
    using platform::EProfileLookup;
    std::array<char, 8> value{};
    EXPECT_EQ(platform::LookupProfileString("S", "k", "p.ini", value), EProfileLookup::NoFile);
    test::WriteFile("p.ini", "[S]\nk=1\n");
    EXPECT_EQ(platform::LookupProfileString("S", "k", "p.ini", value), EProfileLookup::Found);
    EXPECT_STREQ(value.data(), "1");
    test::WriteFile("p.ini", "[S]\nk=2\n");
    EXPECT_EQ(platform::LookupProfileString("S", "k", "p.ini", value), EProfileLookup::Found);
    EXPECT_STREQ(value.data(), "2");
    test::WriteFile("p.ini", "[S]\nj=2\n");
    EXPECT_EQ(platform::LookupProfileString("S", "k", "p.ini", value), EProfileLookup::NoKey);
    // A value longer than the buffer is cut to fit before its terminating zero.
    ASSERT_TRUE(platform::WriteProfileString("S", "k", "abcdefghij", "p.ini"));
    EXPECT_EQ(platform::LookupProfileString("S", "k", "p.ini", value), EProfileLookup::Found);
    EXPECT_STREQ(value.data(), "abcdefg");
}

TEST_F(CachedFile, ProfileCopyServesManyFilesInTurn) {
    // More files than the cache keeps, read in turn: each answer is its own file's.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 12; ++i) {
            const std::string name = "f" + std::to_string(i) + ".ini";
            if (round == 0) {
                test::WriteFile(name, "[S]\nk=" + std::to_string(i) + "\n");
            }
            EXPECT_EQ(platform::ReadProfileString("S", "k", "-", name), std::to_string(i));
        }
    }
}

// The help screen's rows, on a data directory in the working directory and the "Standard"
// beside it.
class HelpText : public ::testing::Test {
  protected:
    HelpText() {
        m_Saved = g_Directory;
        g_Directory = "Daten\\";
        std::filesystem::create_directory("Daten");
        std::filesystem::create_directory("Standard");
    }
    ~HelpText() override { g_Directory = m_Saved; }

    test::CScratchDir m_Dir;
    std::string m_Saved;
    CHelpText m_Text;
};

TEST_F(HelpText, RowsAreWhatA255ByteLineBufferReads) {
    const std::string long_line(300, 'x');
    test::WriteFile("Daten/Text1.txt",
                    "eins\n" + long_line + "\nzwei" + std::string(1, '\0') + "drei\nletzte");
    const std::vector<std::string>& rows = m_Text.Rows(1);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], "eins\n");
    EXPECT_EQ(rows[1], std::string(254, 'x'));
    EXPECT_EQ(rows[2], std::string(46, 'x') + "\n");
    EXPECT_EQ(rows[3], "zwei"); // shown up to the zero byte
    EXPECT_EQ(rows[4], "letzte");
}

TEST_F(HelpText, DataDirectoryFirstThenStandardAndEveryChangeSeen) {
    test::WriteFile("Standard/Text2.txt", "Standard\n");
    EXPECT_TRUE(m_Text.Exists(2));
    EXPECT_EQ(m_Text.Rows(2), std::vector<std::string>{"Standard\n"});
    test::WriteFile("Daten/Text2.txt", "Daten\n");
    EXPECT_EQ(m_Text.Rows(2), std::vector<std::string>{"Daten\n"});
    test::WriteFile("Daten/Text2.txt", "Neu!!\n"); // the same size
    EXPECT_EQ(m_Text.Rows(2), std::vector<std::string>{"Neu!!\n"});
    std::filesystem::remove("Daten/Text2.txt");
    EXPECT_EQ(m_Text.Rows(2), std::vector<std::string>{"Standard\n"});
    std::filesystem::remove("Standard/Text2.txt");
    EXPECT_TRUE(m_Text.Rows(2).empty());
    EXPECT_FALSE(m_Text.Exists(2));
    EXPECT_FALSE(m_Text.Exists(3));
}

TEST_F(HelpText, EachLevelItsOwnText) {
    test::WriteFile("Daten/Text1.txt", "eins");
    test::WriteFile("Daten/Text2.txt", "zwei");
    EXPECT_EQ(m_Text.Rows(1), std::vector<std::string>{"eins"});
    EXPECT_EQ(m_Text.Rows(2), std::vector<std::string>{"zwei"});
    EXPECT_EQ(m_Text.Rows(1), std::vector<std::string>{"eins"});
}

} // namespace
