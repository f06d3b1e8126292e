#include "StartupProbe.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// The longest a start may take before the program is killed and the run counts as failed.
constexpr double kTimeoutSeconds = 60.0;
// Frames the program shows after its first before the library asks it to end.
constexpr const char* kFramesAfterFirst = "30";

long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

class CFileActions {
  public:
    CFileActions() { posix_spawn_file_actions_init(&m_Actions); }
    ~CFileActions() { posix_spawn_file_actions_destroy(&m_Actions); }
    CFileActions(const CFileActions&) = delete;
    CFileActions& operator=(const CFileActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &m_Actions; }

  private:
    posix_spawn_file_actions_t m_Actions;
};

// The end of a file, for a message.
std::string Tail(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    return all.size() > 2000 ? all.substr(all.size() - 2000) : all;
}

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

} // namespace

CStartupProbe::CStartupProbe(std::string game, std::string library, std::filesystem::path workDir)
    : m_Game(std::move(game)), m_Library(std::move(library)), m_WorkDir(std::move(workDir)) {}

bool CStartupProbe::Prepare(const std::filesystem::path& standard, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code failure;
    fs::remove_all(m_WorkDir, failure);
    const fs::path data = m_WorkDir / "Standard";
    fs::create_directories(data, failure);
    if (failure) {
        error = "cannot make " + data.string() + ": " + failure.message();
        return false;
    }
    const fs::path source = fs::canonical(standard, failure);
    if (failure) {
        error = "no data set at " + standard.string();
        return false;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(source, failure)) {
        const std::string name = entry.path().filename().string();
        // The player's progress and highscore stay out: the game starts as on a fresh
        // installation and writes its own into the links' folder.
        if (name == "Daten.dat" || name == "Highscore.dat") {
            continue;
        }
        fs::create_symlink(entry.path(), data / name, failure);
        if (failure) {
            error = "cannot link " + name + " into " + data.string() + ": " + failure.message();
            return false;
        }
    }
    return true;
}

bool CStartupProbe::Run(SStartup& result, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::path stamp = m_WorkDir / "first-frame.txt";
    const fs::path output = m_WorkDir / "zantor-output.txt";
    fs::remove(stamp, ignored);
    fs::remove(m_WorkDir / "log.htm", ignored);
    fs::remove(m_WorkDir / "Standard" / "Daten.dat", ignored);
    fs::remove(m_WorkDir / "Standard" / "Highscore.dat", ignored);

    // The bench's environment with the start-up's own settings.
    std::vector<std::string> variables;
    std::string preload = m_Library;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (StartsWith(*variable, "LD_PRELOAD=")) {
            preload += ":" + std::string(*variable + std::strlen("LD_PRELOAD="));
        } else if (!StartsWith(*variable, "ALSOFT_DRIVERS=") &&
                   !StartsWith(*variable, "ZANTOR_FIRST_FRAME_")) {
            variables.emplace_back(*variable);
        }
    }
    variables.push_back("LD_PRELOAD=" + preload);
    variables.push_back("ALSOFT_DRIVERS=null");
    variables.push_back("ZANTOR_FIRST_FRAME_FILE=" + stamp.string());
    variables.push_back(std::string("ZANTOR_FIRST_FRAME_FRAMES=") + kFramesAfterFirst);
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::string program = m_Game;
    std::string data = "Standard";
    char* argv[] = {program.data(), data.data(), nullptr};

    CFileActions actions;
    const std::string dir = m_WorkDir.string();
    const std::string out = output.string();
    posix_spawn_file_actions_addchdir_np(actions.Get(), dir.c_str());
    posix_spawn_file_actions_addopen(actions.Get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(actions.Get(), STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(actions.Get(), STDOUT_FILENO, STDERR_FILENO);

    pid_t pid = 0;
    const long long spawned = MonotonicNanoseconds();
    const int spawnError =
        posix_spawn(&pid, program.c_str(), actions.Get(), nullptr, argv, envp.data());
    if (spawnError != 0) {
        error = "cannot start " + m_Game + ": " + std::strerror(spawnError);
        return false;
    }

    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) {
            break;
        }
        if (done < 0 && errno != EINTR) {
            error = std::string("waiting for the game failed: ") + std::strerror(errno);
            return false;
        }
        if (static_cast<double>(MonotonicNanoseconds() - spawned) * 1e-9 > kTimeoutSeconds) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            error = "the game did not end within a minute; its output:\n" + Tail(output);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ostringstream why;
        if (WIFEXITED(status)) {
            why << "the game ended with exit code " << WEXITSTATUS(status);
        } else {
            why << "the game was ended by signal " << WTERMSIG(status);
        }
        why << "; its output:\n" << Tail(output);
        error = why.str();
        return false;
    }
    std::ifstream file(stamp);
    long long firstFrame = 0;
    if (!(file >> firstFrame)) {
        error = "the game ended without showing a frame; its output:\n" + Tail(output);
        return false;
    }
    result.seconds = static_cast<double>(firstFrame - spawned) * 1e-9;
    result.maxRssKiB = usage.ru_maxrss;
    return true;
}
