#include "shell/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using EAction = SCommandLine::EAction;

SCommandLine Parse(std::vector<const char*> arguments) {
    return ParseCommandLine(arguments);
}

TEST(CommandLine, TheArgumentsJoinedNameTheDataDirectoryAndNoneMeansStandard) {
    EXPECT_EQ(Parse({}).dataDirectory, "Standard");
    EXPECT_EQ(Parse({}).action, EAction::Play);
    EXPECT_EQ(Parse({"Standard"}).dataDirectory, "Standard");
    EXPECT_EQ(Parse({"Mein", "Level"}).dataDirectory, "Mein Level");
    EXPECT_EQ(Parse({"credits"}).dataDirectory, "credits");
    // An empty name would make the data directory the root of the file system.
    EXPECT_EQ(Parse({""}).dataDirectory, "Standard");
}

TEST(CommandLine, HelpAndVersionOnlyAlone) {
    EXPECT_EQ(Parse({"--help"}).action, EAction::Help);
    EXPECT_EQ(Parse({"-h"}).action, EAction::Help);
    EXPECT_EQ(Parse({"--version"}).action, EAction::Version);
    const SCommandLine extra = Parse({"--help", "Standard"});
    EXPECT_EQ(extra.action, EAction::Usage);
    EXPECT_EQ(extra.unknown, "--help");
    EXPECT_EQ(Parse({"Standard", "--version"}).action, EAction::Usage);
}

TEST(CommandLine, AnythingElseWithADashIsAMistakeNotAFolder) {
    for (const char* option : {"-x", "--full", "--windowed", "-", "---"}) {
        const SCommandLine line = Parse({option});
        EXPECT_EQ(line.action, EAction::Usage) << option;
        EXPECT_EQ(line.unknown, option);
        EXPECT_TRUE(line.dataDirectory.empty()) << option;
    }
}

TEST(CommandLine, AfterTwoDashesEveryArgumentIsPartOfTheName) {
    EXPECT_EQ(Parse({"--", "-x"}).dataDirectory, "-x");
    EXPECT_EQ(Parse({"--", "--help", "--"}).dataDirectory, "--help --");
    EXPECT_EQ(Parse({"--", "-x"}).action, EAction::Play);
    EXPECT_EQ(Parse({"--"}).dataDirectory, "Standard");
}

TEST(CommandLine, WindowAndFullScreenGoWithANameAndTheLastCounts) {
    EXPECT_FALSE(Parse({"Standard"}).windowed.has_value());
    const SCommandLine window = Parse({"--window", "Mein", "Level"});
    EXPECT_EQ(window.action, EAction::Play);
    EXPECT_EQ(window.windowed, true);
    EXPECT_EQ(window.dataDirectory, "Mein Level");
    EXPECT_EQ(Parse({"--fullscreen"}).windowed, false);
    EXPECT_EQ(Parse({"--fullscreen"}).dataDirectory, "Standard");
    EXPECT_EQ(Parse({"--window", "--fullscreen"}).windowed, false);
    EXPECT_EQ(Parse({"Standard", "--fullscreen", "--window"}).windowed, true);
    // Not with --help, and a name after "--" is a name.
    EXPECT_EQ(Parse({"--window", "--help"}).action, EAction::Usage);
    EXPECT_EQ(Parse({"--", "--window"}).dataDirectory, "--window");
    EXPECT_FALSE(Parse({"--", "--window"}).windowed.has_value());
}

} // namespace
