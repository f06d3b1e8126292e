#pragma once

#include <filesystem>
#include <string>

namespace test {

// A fresh temporary directory that is the working directory while the object lives; the
// old working directory comes back and the directory is removed afterwards.
class CScratchDir {
  public:
    CScratchDir();
    ~CScratchDir();
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;

    const std::filesystem::path& Path() const { return m_Path; }

  private:
    std::filesystem::path m_Path;
    std::filesystem::path m_Previous;
};

// Copies the tests' fallback settings, which the build puts beside the test program in
// "Standard/Zantor.ini", into "Standard/" of the working directory: the data root of the
// tests, where the settings lookup finds them.
void CopyTestSettings();

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& content);

// The positive number the environment variable holds, else fallback: how long a long test
// plays is set from outside (ZANTOR_SOAK_MINUTES and the like).
double PositiveFromEnvironment(const char* name, double fallback);

// The rows of the log file in the working directory: everything after the header's table
// start, up to the end of the file.
std::string LogRows();

} // namespace test
