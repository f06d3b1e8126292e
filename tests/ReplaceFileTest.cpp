// The one way kept files are written: whatever goes wrong, a file is all old or all new.
#include "platform/ReplaceFile.h"
#include "TestSupport.h"
#include "platform/Path.h"
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <thread>

using platform::ReplaceFile;

namespace {

class Replace : public ::testing::Test {
  protected:
    Replace() { platform::IgnoreFileSizeSignal(); }
    static mode_t Mode(const char* path) {
        struct stat info {};
        return lstat(path, &info) == 0 ? info.st_mode : 0;
    }
    // The names in the working directory, temporary files included.
    static int Names() {
        int names = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(".")) {
            ++names;
        }
        return names;
    }

    test::CScratchDir m_Dir;
};

TEST_F(Replace, NewAndExistingFilesKeepTheirModesAndNoTemporaryFileStays) {
    const mode_t mask = umask(027);
    ASSERT_TRUE(ReplaceFile("new.ini", "neu"));
    EXPECT_EQ(test::ReadFile("new.ini"), "neu");
    EXPECT_EQ(Mode("new.ini") & 0777, 0640u); // what the umask leaves of rw for all
    umask(mask);
    test::WriteFile("kept.ini", "alt, und länger als das neue");
    chmod("kept.ini", 0604);
    std::string reason = "unchanged";
    ASSERT_TRUE(ReplaceFile("kept.ini", "neu", &reason));
    EXPECT_EQ(test::ReadFile("kept.ini"), "neu");
    EXPECT_EQ(Mode("kept.ini") & 07777, 0604u);
    EXPECT_EQ(reason, "unchanged");
    ASSERT_TRUE(ReplaceFile("empty.ini", ""));
    EXPECT_EQ(test::ReadFile("empty.ini"), "");
    EXPECT_EQ(Names(), 3);
}

TEST_F(Replace, GamePathsAreMappedLikeEveryOther) {
    std::filesystem::create_directory("Spiel");
    ASSERT_TRUE(ReplaceFile("Spiel\\Highscore.dat", std::string("\x2a\0\0\0", 4)));
    EXPECT_EQ(test::ReadFile("Spiel/Highscore.dat"), std::string("\x2a\0\0\0", 4));
}

TEST_F(Replace, SymbolicLinksAreFollowedAndStayLinks) {
    std::filesystem::create_directories("dotfiles/zantor");
    test::WriteFile("dotfiles/zantor/real.ini", "alt");
    std::filesystem::create_symlink("dotfiles/zantor/real.ini", "relative.ini");
    std::filesystem::create_symlink(std::filesystem::absolute("relative.ini"), "chain.ini");
    ASSERT_TRUE(ReplaceFile("chain.ini", "neu"));
    EXPECT_TRUE(S_ISLNK(Mode("chain.ini")));
    EXPECT_TRUE(S_ISLNK(Mode("relative.ini")));
    EXPECT_EQ(test::ReadFile("dotfiles/zantor/real.ini"), "neu");
    // A link whose file is not there yet: the file is made where the link points.
    std::filesystem::create_symlink("dotfiles/zantor/later.ini", "dangling.ini");
    ASSERT_TRUE(ReplaceFile("dangling.ini", "später"));
    EXPECT_TRUE(S_ISLNK(Mode("dangling.ini")));
    EXPECT_EQ(test::ReadFile("dotfiles/zantor/later.ini"), "später");
    // A loop of links names no file.
    std::filesystem::create_symlink("loop-b", "loop-a");
    std::filesystem::create_symlink("loop-a", "loop-b");
    std::string reason;
    EXPECT_FALSE(ReplaceFile("loop-a", "x", &reason));
    EXPECT_FALSE(reason.empty());
}

// A writer killed between naming its temporary file and the rename leaves it behind: the
// next replace of the file removes it, but never one of a live writer or someone else's.
TEST_F(Replace, TheNextReplaceRemovesWhatAKilledWriterLeft) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(0);
    }
    ASSERT_EQ(waitpid(child, nullptr, 0), child); // gone: its pid names no process now
    const std::string dead = "Highscore.dat." + std::to_string(child) + ".aB3xY9.tmp";
    const std::string alive = "Highscore.dat." + std::to_string(getpid()) + ".Qq7Rr8.tmp";
    for (const std::string& name : {dead, alive, std::string("Highscore.dat.notes.tmp"),
                                    "Daten.dat." + std::to_string(child) + ".aB3xY9.tmp"}) {
        test::WriteFile(name, "halb");
    }
    ASSERT_TRUE(ReplaceFile("Highscore.dat", "neu"));
    EXPECT_FALSE(std::filesystem::exists(dead));
    EXPECT_TRUE(std::filesystem::exists(alive));
    EXPECT_TRUE(std::filesystem::exists("Highscore.dat.notes.tmp"));
    EXPECT_EQ(Names(), 4);
}

// A hard link is a second name of the same file: the name written gets a new file, the other
// name keeps the old content (a rename replaces a name, not the file behind it).
TEST_F(Replace, AHardLinkIsSplitTheNameWrittenGetsTheNewContent) {
    test::WriteFile("a.ini", "alt");
    ASSERT_EQ(link("a.ini", "b.ini"), 0);
    ASSERT_TRUE(ReplaceFile("a.ini", "neu"));
    EXPECT_EQ(test::ReadFile("a.ini"), "neu");
    EXPECT_EQ(test::ReadFile("b.ini"), "alt");
}

TEST_F(Replace, WhatMayNotBeWrittenStaysAsItIs) {
    // Read-only on purpose: refused even where the system would allow it (root).
    test::WriteFile("readonly.ini", "alt");
    chmod("readonly.ini", 0444);
    std::string reason;
    EXPECT_FALSE(ReplaceFile("readonly.ini", "neu", &reason));
    EXPECT_EQ(test::ReadFile("readonly.ini"), "alt");
    EXPECT_EQ(Mode("readonly.ini") & 0777, 0444u);
    EXPECT_FALSE(reason.empty());
    // A folder, a FIFO: not files; refused at once.
    std::filesystem::create_directory("folder.ini");
    EXPECT_FALSE(ReplaceFile("folder.ini", "neu"));
    EXPECT_TRUE(std::filesystem::is_directory("folder.ini"));
    ASSERT_EQ(mkfifo("fifo.ini", 0644), 0);
    EXPECT_FALSE(ReplaceFile("fifo.ini", "neu"));
    EXPECT_TRUE(S_ISFIFO(Mode("fifo.ini")));
    // A missing folder is not made.
    reason.clear();
    EXPECT_FALSE(ReplaceFile("no/such/folder/x.ini", "neu", &reason));
    EXPECT_FALSE(std::filesystem::exists("no"));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(Names(), 3);
}

TEST_F(Replace, AFileThatMayBeWrittenButNotReadIsReplaced) {
    test::WriteFile("writeonly.ini", "alt");
    chmod("writeonly.ini", 0200);
    ASSERT_TRUE(ReplaceFile("writeonly.ini", "neu"));
    EXPECT_EQ(Mode("writeonly.ini") & 0777, 0200u);
    chmod("writeonly.ini", 0600);
    EXPECT_EQ(test::ReadFile("writeonly.ini"), "neu");
}

// A write that runs into the file-size limit (as into a full disk) leaves the old file.
TEST_F(Replace, AFileSizeLimitLeavesTheOldFileWhole) {
    const std::string old(3000, 'a');
    test::WriteFile("Zantor.ini", old);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limit = saved;
    limit.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::string reason;
    const bool written = ReplaceFile("Zantor.ini", std::string(5483, 'b'), &reason);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written);
    EXPECT_EQ(test::ReadFile("Zantor.ini"), old);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(Names(), 1);
}

// A full file system, for real: a tmpfs of 64 KiB in a mount namespace of a child process of
// its own, where the machine lets the test make one.
TEST_F(Replace, AFullFileSystemLeavesTheOldFileWhole) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // 0 passed, 1 failed, 2 no namespace here.
        if (unshare(CLONE_NEWNS) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            _exit(2);
        }
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", ".", "tmpfs", 0, "size=64k") != 0) {
            _exit(2);
        }
        // The working directory is still the folder under the mount: enter the mount.
        const std::string here = std::filesystem::current_path().string();
        if (chdir("/") != 0 || chdir(here.c_str()) != 0) {
            _exit(2);
        }
        const std::string old(4091, 'a');
        test::WriteFile("Zantor.ini", old);
        test::WriteFile("filler", std::string(56 * 1024, 'f'));
        std::string reason;
        const bool written = ReplaceFile("Zantor.ini", std::string(20000, 'b'), &reason);
        int names = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(".")) {
            ++names;
        }
        _exit(!written && test::ReadFile("Zantor.ini") == old && !reason.empty() && names == 2 ? 0
                                                                                               : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) {
        GTEST_SKIP() << "no mount namespace for a small tmpfs on this machine";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Two writers at once, and a reader: every read finds one writer's whole file.
TEST_F(Replace, TwoWritersAtOnceLeaveOneWholeFile) {
    const std::string a(1000, 'A');
    const std::string b(3000, 'B');
    ASSERT_TRUE(ReplaceFile("Highscore.dat", a));
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};
    std::atomic<int> mixed{0};
    const auto writer = [&](const std::string& content) {
        for (int i = 0; i < 200; ++i) {
            failures += ReplaceFile("Highscore.dat", content) ? 0 : 1;
        }
    };
    std::thread reader([&] {
        while (!done) {
            const std::string seen = test::ReadFile("Highscore.dat");
            mixed += seen == a || seen == b ? 0 : 1;
        }
    });
    std::thread first(writer, a);
    std::thread second(writer, b);
    first.join();
    second.join();
    done = true;
    reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(Names(), 1);
}

// The profile writer on top of it: a settings file that cannot be read is never taken for
// an empty one and replaced by a stub; several keys go in one replace.
TEST_F(Replace, ProfileFilesThatCannotBeReadAreNotReplacedByAStub) {
    ASSERT_EQ(mkfifo("fifo.ini", 0644), 0);
    std::string reason;
    EXPECT_FALSE(platform::WriteProfileString("Options", "Intro", "0", "fifo.ini", &reason));
    EXPECT_TRUE(S_ISFIFO(Mode("fifo.ini")));
    EXPECT_FALSE(reason.empty());
    if (geteuid() != 0) { // root reads what it likes
        test::WriteFile("Zantor.ini", "[Options]\nIntro=1\nBalls=5\n");
        chmod("Zantor.ini", 0200);
        EXPECT_FALSE(platform::WriteProfileString("Options", "Intro", "0", "Zantor.ini"));
        chmod("Zantor.ini", 0600);
        EXPECT_EQ(test::ReadFile("Zantor.ini"), "[Options]\nIntro=1\nBalls=5\n");
    }
    // A path through a file is no missing file either.
    test::WriteFile("plain", "x");
    EXPECT_FALSE(platform::WriteProfileString("Options", "Intro", "0", "plain/Zantor.ini"));
}

TEST_F(Replace, ProfileEntriesAreWrittenAllOrNone) {
    test::WriteFile("Zantor.ini", "[Options]\nIntro=1\n");
    const platform::SProfileEntry good[] = {
        {"Options", "Intro", "0"}, {"VideoMode", "Windowed", "1"}, {"Options", "Balls", "3"}};
    ASSERT_TRUE(platform::WriteProfileStrings("Zantor.ini", good));
    EXPECT_EQ(test::ReadFile("Zantor.ini"),
              "[Options]\nIntro=0\nBalls=3\n\n[VideoMode]\nWindowed=1\n");
    const platform::SProfileEntry bad[] = {{"Options", "Intro", "1"}, {"Options", "a=b", "1"}};
    std::string reason;
    EXPECT_FALSE(platform::WriteProfileStrings("Zantor.ini", bad, &reason));
    EXPECT_EQ(test::ReadFile("Zantor.ini"),
              "[Options]\nIntro=0\nBalls=3\n\n[VideoMode]\nWindowed=1\n");
    EXPECT_FALSE(reason.empty());
}

// Reading never waits: a FIFO, a device or a folder where a data file belongs is refused.
TEST_F(Replace, OpeningAFifoOrADeviceFailsAtOnce) {
    ASSERT_EQ(mkfifo("ball.wav", 0644), 0);
    errno = 0;
    EXPECT_EQ(platform::OpenFile("ball.wav", "rb"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(platform::ReadWholeFile("ball.wav", 1000).has_value());
    EXPECT_EQ(platform::OpenFile("/dev/zero", "rb"), nullptr);
    std::filesystem::create_directory("Level1.txt");
    errno = 0;
    EXPECT_EQ(platform::OpenFile("Level1.txt", "rb"), nullptr);
    EXPECT_EQ(errno, EISDIR);
    EXPECT_NE(platform::OpenFile("new.log", "wb"), nullptr); // a new file is made as ever
    ASSERT_EQ(mkfifo("log.htm", 0644), 0);
    EXPECT_EQ(platform::OpenFile("log.htm", "ab"), nullptr); // no reader: refused at once
}

} // namespace
