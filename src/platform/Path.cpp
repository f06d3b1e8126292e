#include "Path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {

std::string NativePath(std::string_view path) {
    std::string slashed(path);
    for (char& c : slashed) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (slashed.find("/.") == std::string::npos && !slashed.starts_with(".")) {
        return slashed;
    }

    const bool absolute = slashed.starts_with('/');
    const bool trailingSlash = slashed.ends_with('/');
    std::vector<std::string_view> parts;
    std::string_view rest(slashed);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") {
                parts.pop_back();
            } else if (!absolute) {
                parts.push_back(part);
            }
            continue;
        }
        parts.push_back(part);
    }

    if (parts.empty()) {
        return std::string(absolute ? "/" : ".");
    }
    std::string result;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (absolute || i > 0) {
            result += '/';
        }
        result += parts[i];
    }
    if (trailingSlash) {
        result += '/';
    }
    return result;
}

const std::string& ProgramPath() {
    static const std::string path = [] {
        std::vector<char> buffer(256);
        for (;;) {
            const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
            if (length < 0) {
                return std::string();
            }
            if (static_cast<std::size_t>(length) < buffer.size()) {
                return std::string(buffer.data(), static_cast<std::size_t>(length));
            }
            buffer.resize(buffer.size() * 2);
        }
    }();
    return path;
}

FilePtr OpenFile(std::string_view path, const char* mode) {
    const std::string native = NativePath(path);
    const bool both = std::strchr(mode, '+') != nullptr;
    // Opened without blocking: a FIFO or a device in a file's place would otherwise wait
    // for a writer (or reader) for ever before it could be refused.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (mode[0]) {
    case 'r':
        flags |= both ? O_RDWR : O_RDONLY;
        break;
    case 'w':
        flags |= (both ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
        break;
    case 'a':
        flags |= (both ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
        break;
    default:
        errno = EINVAL;
        return nullptr;
    }
    const int fd = open(native.c_str(), flags, 0666);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(fd);
        errno = error;
        return nullptr;
    }
    // A regular file never blocks; reads and writes go on as usual.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FilePtr file(fdopen(fd, mode));
    if (!file) {
        const int error = errno;
        close(fd);
        errno = error;
    }
    return file;
}

std::optional<std::string> ReadWholeFile(std::string_view path, std::size_t maxBytes) {
    FilePtr file = OpenFile(path, "rb");
    if (!file) {
        return std::nullopt;
    }
    return ReadRest(file.get(), maxBytes);
}

std::optional<std::string> ReadRest(std::FILE* file, std::size_t maxBytes) {
    std::string content;
    char chunk[8192];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (got == 0) {
            break;
        }
        if (content.size() + got > maxBytes) {
            return std::nullopt;
        }
        content.append(chunk, got);
    }
    if (std::ferror(file)) {
        return std::nullopt;
    }
    return content;
}

} // namespace platform
