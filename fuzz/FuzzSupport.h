#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The entry point of every fuzz target: libFuzzer calls it with each input it makes, the
// corpus runner (CorpusMain.cpp) with each file of a seed corpus.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Ends the process with the broken rule on stderr; the fuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* file, int line, const char* condition);

#define FUZZ_CHECK(condition) ((condition) ? void(0) : ::fuzz::Fail(__FILE__, __LINE__, #condition))

// Settings of a small game: a 640 × 480 window, five block types as in Standard, level 1
// with blocks two units apart.
extern const char* const kSettings;

// What the game's lookups need, made once per process at a target's first input: a scratch
// working directory (in memory where /dev/shm is available), the data root of the lookups,
// with a data directory in it that holds Zantor.ini; g_Directory names it. The log goes to
// /dev/null, so that it does not grow with every input. The directory goes, and the old
// working directory comes back, when the process ends normally; that of a process that
// crashed goes at the next start of a target.
class CEnvironment {
  public:
    explicit CEnvironment(std::string_view settings = kSettings);
    ~CEnvironment();
    CEnvironment(const CEnvironment&) = delete;
    CEnvironment& operator=(const CEnvironment&) = delete;

    // Writes a file into the data directory; returns its path as the game spells it,
    // relative to the working directory ("fuzz-1a2b3c\Level1.txt").
    std::string WriteData(std::string_view name, std::string_view content) const;
    // Replaces the data directory's Zantor.ini.
    void WriteSettings(std::string_view content) const;
    std::string SettingsPath() const { return (m_DataDir / "Zantor.ini").string(); }
    const std::filesystem::path& DataDir() const { return m_DataDir; }

  private:
    std::filesystem::path m_Previous;
    std::filesystem::path m_WorkDir;
    std::filesystem::path m_DataDir;
};

void WriteFile(const std::filesystem::path& path, std::string_view content);
std::string ReadFile(const std::filesystem::path& path);

} // namespace fuzz
