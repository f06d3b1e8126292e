#pragma once

#include <filesystem>
#include <string>

// One start of the real program: the time from just before it was spawned to its first
// presented frame, and its peak resident memory.
struct SStartup {
    double seconds = 0.0;
    long maxRssKiB = 0;
};

// Starts the game (the program file given) with the data directory "Standard" in workDir,
// with OpenAL's null output and the first-frame library preloaded; that library notes when
// the first frame is shown and asks the program to end a moment later, as SIGTERM does.
// The program must end by itself with exit code 0. False, with the reason in error, when
// it did not.
class CStartupProbe {
  public:
    CStartupProbe(std::string game, std::string library, std::filesystem::path workDir);

    // Makes workDir with a "Standard" folder of links to the staged data set's files, so
    // that what the game writes (Daten.dat, log.htm) stays out of the player's folder.
    bool Prepare(const std::filesystem::path& standard, std::string& error);
    bool Run(SStartup& result, std::string& error);

  private:
    std::string m_Game;
    std::string m_Library;
    std::filesystem::path m_WorkDir;
};
