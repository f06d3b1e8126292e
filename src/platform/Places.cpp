#include "Places.h"

#include "Path.h"
#include "ReplaceFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace platform {

namespace {

std::string WithSlash(std::string path) {
    if (!path.empty() && !path.ends_with('/')) {
        path += '/';
    }
    return path;
}

// A base directory from the environment: only an absolute path counts, as the base
// directories' rules say; else the default below the home folder.
std::string BaseDirectory(const EnvironmentLookup& environment, const char* variable,
                          const std::string& home, const char* fallback) {
    const char* value = environment(variable);
    if (value != nullptr && value[0] == '/') {
        return WithSlash(value);
    }
    return home.empty() ? std::string() : home + fallback;
}

std::string HomeFolder(const EnvironmentLookup& environment) {
    const char* home = environment("HOME");
    if (home != nullptr && home[0] == '/') {
        return WithSlash(home);
    }
    return {};
}

// The pictures folder as user-dirs.dirs names it: XDG_PICTURES_DIR="$HOME/Bilder" or an
// absolute path; the home folder when the file or the line is missing.
std::string PicturesFolder(const std::string& configHome, const std::string& home) {
    constexpr std::size_t kMaxSize = std::size_t{64} * 1024;
    const std::optional<std::string> dirs = ReadWholeFile(configHome + "user-dirs.dirs", kMaxSize);
    if (dirs) {
        constexpr std::string_view kKey = "XDG_PICTURES_DIR=\"";
        std::string_view rest(*dirs);
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            std::string_view line = rest.substr(0, end);
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            if (!line.starts_with(kKey) || !line.ends_with('"')) {
                continue;
            }
            line = line.substr(kKey.size(), line.size() - kKey.size() - 1);
            if (line.starts_with("$HOME/")) {
                return WithSlash(home + std::string(line.substr(6)));
            }
            if (line.starts_with('/')) {
                return WithSlash(std::string(line));
            }
        }
    }
    return home;
}

// True when anything at all, even a dangling link, has the name.
bool Taken(const std::string& path) {
    struct stat info {};
    return lstat(NativePath(path).c_str(), &info) == 0;
}

std::string FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

} // namespace

EnvironmentLookup ProcessEnvironment() {
    return [](const char* name) -> const char* { return std::getenv(name); };
}

SDataRoot FindDataRoot(std::string_view programPath, std::string_view installedFromProgram) {
    const std::string programFolder = FolderOf(programPath);
    if (IsFolder(programFolder + "Standard")) {
        return {programFolder, false};
    }
    const std::string installed =
        WithSlash(NativePath(programFolder + std::string(installedFromProgram)));
    if (!installedFromProgram.empty() && IsFolder(installed + "Standard")) {
        return {installed, true};
    }
    return {programFolder, false};
}

bool IsPortable(const SDataRoot& root, std::string_view dataDirectory) {
    if (root.installed) {
        return false;
    }
    const std::string dataFolder = root.folder + std::string(dataDirectory);
    return IsFolder(dataFolder) ? IsWritableFolder(dataFolder)
                                : IsWritableFolder(root.folder.empty() ? "." : root.folder);
}

SFilePlaces MakeFilePlaces(std::string_view dataRoot, bool portable,
                           const EnvironmentLookup& environment) {
    SFilePlaces places;
    places.dataRoot = WithSlash(std::string(dataRoot));
    const std::string home = HomeFolder(environment);
    if (portable || home.empty()) {
        places.logFile = places.dataRoot + "log.htm";
        return places;
    }
    places.userRoot =
        BaseDirectory(environment, "XDG_DATA_HOME", home, ".local/share/") + "zantor/";
    places.logFile =
        BaseDirectory(environment, "XDG_STATE_HOME", home, ".local/state/") + "zantor/log.htm";
    places.screenshotFolder =
        PicturesFolder(BaseDirectory(environment, "XDG_CONFIG_HOME", home, ".config/"), home);
    return places;
}

SDataRoot ProgramDataRoot() {
    return FindDataRoot(ProgramPath(), ZANTOR_DATA_FROM_PROGRAM);
}

SFilePlaces ProgramFilePlaces(std::string_view dataDirectory) {
    const SDataRoot root = ProgramDataRoot();
    return MakeFilePlaces(root.folder, IsPortable(root, dataDirectory), ProcessEnvironment());
}

std::vector<std::string> SettingsFiles(const SFilePlaces& places, std::string_view dataDirectory) {
    std::vector<std::string> files;
    for (const std::string_view folder : {dataDirectory, std::string_view("Standard/")}) {
        if (!places.IsPortable()) {
            files.push_back(places.userRoot + std::string(folder) + "Zantor.ini");
        }
        files.push_back(places.dataRoot + std::string(folder) + "Zantor.ini");
    }
    return files;
}

std::string OwnCopyOf(const SFilePlaces& places, std::string_view file) {
    if (places.IsPortable() || file.starts_with(places.userRoot) ||
        !file.starts_with(places.dataRoot)) {
        return std::string(file);
    }
    return places.userRoot + std::string(file.substr(places.dataRoot.size()));
}

bool StartOwnCopy(std::string_view file, std::string_view ownCopy, std::string* reason) {
    if (file == ownCopy || OpenFile(ownCopy, "rb") != nullptr) {
        return true;
    }
    constexpr std::size_t kMaxSize = std::size_t{1024} * 1024;
    const std::optional<std::string> content = ReadWholeFile(file, kMaxSize);
    const std::string folder = FolderOf(NativePath(ownCopy));
    if (!folder.empty()) {
        MakeFolders(folder);
    }
    return ReplaceFile(ownCopy, content.value_or(""), reason);
}

bool IsFolder(std::string_view path) {
    struct stat info {};
    return stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsWritableFolder(std::string_view path) {
    const std::string native = NativePath(path);
    return IsFolder(native) && access(native.c_str(), W_OK | X_OK) == 0;
}

bool MakeFolders(std::string_view path) {
    const std::string native = NativePath(path);
    for (std::size_t slash = native.find('/', 1); slash != std::string::npos;
         slash = native.find('/', slash + 1)) {
        mkdir(native.substr(0, slash).c_str(), 0700); // an existing one is no error
    }
    if (mkdir(native.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return IsFolder(native);
}

std::string UniqueFilePath(std::string_view folder, std::string_view stem,
                           std::string_view extension) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char when[32];
    std::strftime(when, sizeof when, "-%Y-%m-%d-%H%M%S", &local);
    const std::string base = std::string(folder) + std::string(stem) + when;
    std::string path = base + std::string(extension);
    for (int number = 2; Taken(path); ++number) {
        path = base + "-" + std::to_string(number) + std::string(extension);
    }
    return path;
}

} // namespace platform
