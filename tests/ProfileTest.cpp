#include "platform/Profile.h"
#include "TestSupport.h"
#include "platform/Path.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using platform::ReadProfileString;
using platform::WriteProfileString;

namespace {

class Profile : public ::testing::Test {
  protected:
    std::string Read(const char* section, const char* key) {
        return ReadProfileString(section, key, "<default>", "test.ini");
    }
    void Write(const std::string& content) { test::WriteFile("test.ini", content); }
    std::string Content() { return test::ReadFile("test.ini"); }

    test::CScratchDir m_Dir;
};

TEST_F(Profile, MatchesSectionAndKeyWithoutRegardToCase) {
    Write("[VideoMode]\nWidth=800\n[options]\nshowspeed=1\n");
    EXPECT_EQ(Read("videomode", "WIDTH"), "800");
    EXPECT_EQ(Read("Options", "ShowSpeed"), "1");
}

TEST_F(Profile, TrimsValueAndRemovesOnePairOfQuotes) {
    Write("[S]\n  a =  spaced value \t\nb=\"quoted\"\nc='single'\nd=\"\"twice\"\"\ne=\"open\n"
          "f=\"mixed'\n");
    EXPECT_EQ(Read("S", "a"), "spaced value");
    EXPECT_EQ(Read("S", "b"), "quoted");
    EXPECT_EQ(Read("S", "c"), "single");
    EXPECT_EQ(Read("S", "d"), "\"twice\"");
    EXPECT_EQ(Read("S", "e"), "\"open");
    EXPECT_EQ(Read("S", "f"), "\"mixed'");
}

TEST_F(Profile, GivesTheDefaultForMissingFileSectionOrKey) {
    EXPECT_EQ(Read("S", "k"), "<default>");
    Write("[S]\nk=1\n");
    EXPECT_EQ(Read("T", "k"), "<default>");
    EXPECT_EQ(Read("S", "x"), "<default>");
}

TEST_F(Profile, EmptyValueIsFoundAsEmpty) {
    Write("[S]\nk=\nblank=   \n");
    EXPECT_EQ(Read("S", "k"), "");
    EXPECT_EQ(Read("S", "blank"), "");
}

TEST_F(Profile, SkipsCommentsAndLinesWithoutEquals) {
    Write("; k=comment\n[S]\n;k=commented\n  ; k=indented comment\nk\nk=real\n");
    EXPECT_EQ(Read("S", "k"), "real");
}

TEST_F(Profile, ReadsCrlfFilesAndSkipsByteOrderMark) {
    Write("\xEF\xBB\xBF[S]\r\nk=v\r\nlast=end");
    EXPECT_EQ(Read("S", "k"), "v");
    EXPECT_EQ(Read("S", "last"), "end");
}

TEST_F(Profile, FirstKeyAndFirstSectionWin) {
    Write("[S]\nk=first\nk=second\n[T]\nx=1\n[S]\nk=third\nonly=later\n");
    EXPECT_EQ(Read("S", "k"), "first");
    EXPECT_EQ(Read("S", "only"), "<default>");
}

TEST_F(Profile, KeysBeforeAnySectionBelongToNone) {
    Write("k=loose\n[S]\nother=1\n");
    EXPECT_EQ(Read("S", "k"), "<default>");
}

TEST_F(Profile, CutsLongValuesAt255Characters) {
    const std::string longValue(100000, 'x');
    Write("[S]\nk=" + longValue + "\nnext=ok\n");
    EXPECT_EQ(Read("S", "k"), std::string(255, 'x'));
    EXPECT_EQ(Read("S", "next"), "ok");
}

TEST_F(Profile, SurvivesBinaryContent) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        junk += static_cast<char>((i * 7919) & 0xFF);
    }
    Write(junk + "\n[S]\nk=v\n" + junk);
    EXPECT_EQ(Read("S", "k"), "v");
    Write(std::string("[S]\nk=a\0b\n", 10));
    EXPECT_EQ(Read("S", "k"), std::string("a\0b", 3));
}

TEST_F(Profile, DirectoryIsNoFile) {
    std::filesystem::create_directory("dir.ini");
    EXPECT_EQ(ReadProfileString("S", "k", "<default>", "dir.ini"), "<default>");
    EXPECT_FALSE(WriteProfileString("S", "k", "v", "dir.ini"));
}

TEST_F(Profile, WriteReplacesValueInPlaceKeepingEveryOtherByte) {
    const std::string before = "; Zantor\r\n[VideoMode]\r\nWidth = 800   \r\nHeight=600\r\n\r\n"
                               "[Options]\r\n;comment\r\nShowSpeed=0\r\nIntro=1";
    Write(before);
    ASSERT_TRUE(WriteProfileString("videomode", "width", "1024", "test.ini"));
    ASSERT_TRUE(WriteProfileString("Options", "Intro", "0", "test.ini"));
    EXPECT_EQ(Content(), "; Zantor\r\n[VideoMode]\r\nWidth = 1024\r\nHeight=600\r\n\r\n"
                         "[Options]\r\n;comment\r\nShowSpeed=0\r\nIntro=0");
}

TEST_F(Profile, WriteAddsMissingKeyAtEndOfItsSection) {
    Write("[A]\nx=1\n\n; about B\n[B]\ny=2\n");
    ASSERT_TRUE(WriteProfileString("A", "z", "3", "test.ini"));
    EXPECT_EQ(Content(), "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\n");
    ASSERT_TRUE(WriteProfileString("B", "w", "4", "test.ini"));
    EXPECT_EQ(Content(), "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\nw=4\n");
}

TEST_F(Profile, WriteAddsKeyToSectionWithoutKeysOrFinalNewline) {
    Write("[A]");
    ASSERT_TRUE(WriteProfileString("A", "k", "v", "test.ini"));
    EXPECT_EQ(Content(), "[A]\nk=v\n");
}

TEST_F(Profile, WriteAddsMissingSectionAtEndWithTheFilesLineEnds) {
    Write("[A]\r\nx=1");
    ASSERT_TRUE(WriteProfileString("Options", "Intro", "1", "test.ini"));
    EXPECT_EQ(Content(), "[A]\r\nx=1\r\n\r\n[Options]\r\nIntro=1\r\n");
    EXPECT_EQ(Read("Options", "Intro"), "1");
}

TEST_F(Profile, WriteCreatesMissingFile) {
    ASSERT_TRUE(WriteProfileString("Options", "Intro", "1", "new.ini"));
    EXPECT_EQ(test::ReadFile("new.ini"), "[Options]\nIntro=1\n");
}

TEST_F(Profile, WriteKeepsFileModeAndLeavesNoTemporaryFile) {
    Write("[S]\nk=1\n");
    chmod("test.ini", 0640);
    ASSERT_TRUE(WriteProfileString("S", "k", "2", "test.ini"));
    struct stat info {};
    ASSERT_EQ(stat("test.ini", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(".")) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(Profile, WriteRefusesWhatWouldBreakTheLines) {
    Write("[S]\nk=1\n");
    EXPECT_FALSE(WriteProfileString("S", "k", "1\n[Evil]", "test.ini"));
    EXPECT_FALSE(WriteProfileString("S", "a=b", "1", "test.ini"));
    EXPECT_FALSE(WriteProfileString("S]", "k", "1", "test.ini"));
    EXPECT_FALSE(WriteProfileString("S", "", "1", "test.ini"));
    EXPECT_FALSE(WriteProfileString("S", ";k", "1", "test.ini"));
    EXPECT_EQ(Content(), "[S]\nk=1\n");
}

TEST_F(Profile, WriteFailsInMissingDirectory) {
    EXPECT_FALSE(WriteProfileString("S", "k", "1", "no/such/dir/test.ini"));
}

TEST(Path, MapsBackslashesAndResolvesDotsByText) {
    using platform::NativePath;
    EXPECT_EQ(NativePath("Standard\\Level1.txt"), "Standard/Level1.txt");
    EXPECT_EQ(NativePath("/opt/zantor/zantor\\..\\Standard\\Zantor.ini"),
              "/opt/zantor/Standard/Zantor.ini");
    EXPECT_EQ(NativePath("/opt/zantor/zantor\\..\\\\Zantor.ini"), "/opt/zantor/Zantor.ini");
    EXPECT_EQ(NativePath("a/./b/../c/"), "a/c/");
    EXPECT_EQ(NativePath("../up"), "../up");
    EXPECT_EQ(NativePath("/../x"), "/x");
    EXPECT_EQ(NativePath("a/.."), ".");
    EXPECT_EQ(NativePath(".hidden/file"), ".hidden/file");
}

TEST(Path, ProgramPathNamesThisTestProgram) {
    EXPECT_TRUE(platform::ProgramPath().ends_with("/zantor_unit_tests"));
}

TEST(Path, ReadWholeFileRefusesMoreThanItMayHold) {
    test::CScratchDir dir;
    test::WriteFile("f", std::string(100, 'a'));
    EXPECT_EQ(platform::ReadWholeFile("f", 100).value_or(""), std::string(100, 'a'));
    EXPECT_FALSE(platform::ReadWholeFile("f", 99).has_value());
    EXPECT_FALSE(platform::ReadWholeFile("missing", 99).has_value());
}

} // namespace
