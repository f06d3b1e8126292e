#include "ReplaceFile.h"

#include "Path.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h> // NOLINT(modernize-deprecated-headers): SIGXFSZ is POSIX's, not C++'s
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace platform {
namespace {

// More links in a row than this are a loop (the system's own limit is 40).
constexpr int kMostLinks = 40;
// Names tried for a temporary file before giving up.
constexpr int kNameTries = 100;

// Closes a descriptor when it goes.
class CDescriptor {
  public:
    explicit CDescriptor(int fd) : m_Fd(fd) {}
    ~CDescriptor() {
        if (m_Fd >= 0) {
            close(m_Fd);
        }
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    int Get() const { return m_Fd; }
    void Reset(int fd) {
        if (m_Fd >= 0) {
            close(m_Fd);
        }
        m_Fd = fd;
    }
    // Closes it now; false, with errno set, when the close reports an error.
    bool Close() {
        const int fd = m_Fd;
        m_Fd = -1;
        return close(fd) == 0;
    }

  private:
    int m_Fd;
};

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Base(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Reason(int error) {
    return std::strerror(error);
}

// The file the path names once symbolic links are followed: the path itself when it is no
// link, or names nothing yet (then the file will be made there).
bool Resolve(std::string path, std::string& target, std::string& why) {
    for (int link = 0; link <= kMostLinks; ++link) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                target = path;
                return true;
            }
            why = Reason(errno);
            return false;
        }
        if (!S_ISLNK(info.st_mode)) {
            target = path;
            return true;
        }
        std::vector<char> buffer(256);
        ssize_t length = 0;
        while ((length = readlink(path.c_str(), buffer.data(), buffer.size())) >= 0 &&
               static_cast<std::size_t>(length) == buffer.size()) {
            buffer.resize(buffer.size() * 2);
        }
        if (length < 0) {
            why = Reason(errno);
            return false;
        }
        const std::string next(buffer.data(), static_cast<std::size_t>(length));
        path = next.starts_with('/') ? next : Folder(path) + "/" + next;
    }
    why = Reason(ELOOP);
    return false;
}

// A name no file in the folder has yet is found by trying: base.PID.XXXXXX.tmp, where PID
// is the writing process.
std::string CandidateName(const std::string& folder, const std::string& base) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = folder + "/" + base + "." + std::to_string(getpid()) + ".";
    for (int i = 0; i < 6; ++i) {
        name += kLetters[pick(random)];
    }
    return name + ".tmp";
}

// A writer that was killed between naming its temporary file and renaming it left the file
// behind; the next writer of the same file removes those whose process is gone.
void RemoveLeftovers(const std::string& folder, const std::string& base) {
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(opendir(folder.c_str()), closedir);
    if (!directory) {
        return;
    }
    const std::string prefix = base + ".";
    while (const dirent* entry = readdir(directory.get())) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !name.ends_with(".tmp")) {
            continue;
        }
        // PID.XXXXXX between the prefix and ".tmp"
        const std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        const std::size_t dot = middle.find('.');
        if (dot == 0 || dot == std::string_view::npos || middle.size() - dot != 7) {
            continue;
        }
        pid_t pid = 0;
        const auto [end, error] = std::from_chars(middle.data(), middle.data() + dot, pid);
        if (error != std::errc() || end != middle.data() + dot || pid <= 0) {
            continue;
        }
        if (kill(pid, 0) != 0 && errno == ESRCH) {
            unlinkat(dirfd(directory.get()), entry->d_name, 0);
        }
    }
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The replace behind ReplaceFile, on a native path. It reads best as the one sequence of
// steps it is, each with its failure, so it stays whole.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
bool Replace(const std::string& path, std::string_view content, std::string& why) {
    std::string target;
    if (!Resolve(path, target, why)) {
        return false;
    }
    struct stat info {};
    const bool exists = stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        why = Reason(errno);
        return false;
    }
    if (exists && !S_ISREG(info.st_mode)) {
        why = Reason(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        return false;
    }
    // A file no one may write is read-only on purpose, also for a user the system would let.
    if (exists && (info.st_mode & 0222) == 0) {
        why = Reason(EACCES);
        return false;
    }
    if (exists && access(target.c_str(), W_OK) != 0) {
        why = Reason(errno);
        return false;
    }

    // The new content goes into a file without a name where the file system has them, so
    // that nothing is left behind when the program ends half way; else into a named one.
    const std::string folder = Folder(target);
    const std::string base = Base(target);
    std::string named;
    CDescriptor file(open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file.Get() < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            why = Reason(errno);
            return false;
        }
        for (int attempt = 0; attempt < kNameTries && file.Get() < 0; ++attempt) {
            named = CandidateName(folder, base);
            file.Reset(open(named.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (file.Get() < 0 && errno != EEXIST) {
                break;
            }
        }
        if (file.Get() < 0) {
            why = Reason(errno);
            return false;
        }
    }
    const auto fail = [&](int error) {
        if (!named.empty()) {
            unlink(named.c_str());
        }
        why = Reason(error);
        return false;
    };
    if (!WriteAll(file.Get(), content) ||
        (exists && fchmod(file.Get(), info.st_mode & 07777) != 0) || fsync(file.Get()) != 0) {
        return fail(errno);
    }
    if (named.empty()) {
        // The file gets a name of its own, then the target's.
        const std::string self = "/proc/self/fd/" + std::to_string(file.Get());
        for (int attempt = 0; attempt < kNameTries; ++attempt) {
            const std::string candidate = CandidateName(folder, base);
            if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) ==
                0) {
                named = candidate;
                break;
            }
            if (errno != EEXIST) {
                return fail(errno);
            }
        }
        if (named.empty()) {
            return fail(EEXIST);
        }
    }
    if (!file.Close() || rename(named.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    RemoveLeftovers(folder, base);
    // The rename itself lasts once the folder is synced; a file system that cannot sync a
    // folder has done what it can.
    CDescriptor directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Get() >= 0) {
        fsync(directory.Get());
    }
    return true;
}

} // namespace

bool ReplaceFile(std::string_view path, std::string_view content, std::string* reason) {
    std::string why;
    if (Replace(NativePath(path), content, why)) {
        return true;
    }
    if (reason != nullptr) {
        *reason = why;
    }
    return false;
}

void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace platform
