#include "FuzzSupport.h"

#include "platform/Path.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace fuzz {
namespace {

std::filesystem::path MakeTemporaryDirectory(const std::filesystem::path& parent,
                                             const std::string& prefix) {
    std::string pattern = (parent / (prefix + "XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "fuzz: cannot make a directory in %s\n", parent.c_str());
        std::abort();
    }
    return pattern;
}

// Directories of processes that ended without cleaning up (a crash, a killed fuzzer), found
// by the process id in their names.
void RemoveLeftovers(const std::filesystem::path& parent, const std::string& prefix) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(parent, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(prefix)) {
            continue;
        }
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid > 0 && *end == '-' && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::filesystem::remove_all(entry.path(), error);
        }
    }
}

std::filesystem::path ScratchParent() {
    std::error_code ignored;
    if (std::filesystem::is_directory("/dev/shm", ignored) && access("/dev/shm", W_OK) == 0) {
        return "/dev/shm";
    }
    return std::filesystem::temp_directory_path();
}

} // namespace

const char* const kSettings = R"([VideoMode]
Width=640
Height=480
Depth=32
Windowed=1
[Options]
NumBlocks=5
HilfeTextColor=0xffe8ecff
[Block0]
Hitpoints=1
SizeX=1.8
SizeY=0.7
SizeZ=0.8
[Block1]
Hitpoints=2
SizeX=1.8
SizeY=0.7
SizeZ=0.8
[Block2]
Hitpoints=1
SizeX=1.8
SizeY=0.8
SizeZ=0.8
[Block3]
Hitpoints=1
SizeX=1.8
SizeY=0.9
SizeZ=0.8
[Block4]
Hitpoints=1
SizeX=1.8
SizeY=0.8
SizeZ=0.8
[Level1]
SizeX=14
SizeZ=17
BlockSizeX=2
BlockSizeY=1
)";

void Fail(const char* file, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

CEnvironment::CEnvironment(std::string_view settings)
    : m_Previous(std::filesystem::current_path()) {
    const std::filesystem::path scratch = ScratchParent();
    RemoveLeftovers(scratch, "zantor-fuzz-");
    const std::string pid = std::to_string(getpid()) + "-";
    m_WorkDir = MakeTemporaryDirectory(scratch, "zantor-fuzz-" + pid);
    m_DataDir = MakeTemporaryDirectory(m_WorkDir, "fuzz-" + pid);
    const std::string name = m_DataDir.filename().string();
    std::filesystem::current_path(m_WorkDir);
    std::filesystem::create_symlink("/dev/null", "log.htm");
    g_Log.Open();
    g_Directory = name + "\\";
    WriteSettings(settings);
}

CEnvironment::~CEnvironment() {
    std::error_code ignored;
    std::filesystem::current_path(m_Previous, ignored);
    std::filesystem::remove_all(m_WorkDir, ignored);
}

std::string CEnvironment::WriteData(std::string_view name, std::string_view content) const {
    WriteFile(m_DataDir / name, content);
    return g_Directory + std::string(name);
}

void CEnvironment::WriteSettings(std::string_view content) const {
    WriteFile(m_DataDir / "Zantor.ini", content);
}

void WriteFile(const std::filesystem::path& path, std::string_view content) {
    platform::FilePtr file(std::fopen(path.c_str(), "wb"));
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(content.data(), 1, content.size(), file.get()) == content.size());
    FUZZ_CHECK(std::fclose(file.release()) == 0);
}

std::string ReadFile(const std::filesystem::path& path) {
    platform::FilePtr file(std::fopen(path.c_str(), "rb"));
    FUZZ_CHECK(file != nullptr);
    std::string content;
    char chunk[8192];
    for (std::size_t got = 0; (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
        content.append(chunk, got);
    }
    return content;
}

} // namespace fuzz
