#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The game writes paths the way its data and settings name them: "\" as separator and
// "prog\..\Standard\" steps that leave a file name. NativePath turns such a path into the
// one the file system understands: every "\" becomes "/", and "." and ".." steps are
// resolved by the text alone, as Windows does, so that "dir/zantor/../Standard" names
// "dir/Standard" even though "zantor" is a file.
std::string NativePath(std::string_view path);

// Full path of the running program file, read from /proc/self/exe; empty when unknown.
const std::string& ProgramPath();

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The one place where the game opens files: maps the path with NativePath and opens it
// with the stdio mode given ("r", "w" or "a", with "b" and "+" as stdio has them). Only a
// regular file opens: a folder, a FIFO, a device or a socket in a file's place fails at
// once, without waiting (errno EISDIR or EINVAL).
FilePtr OpenFile(std::string_view path, const char* mode);

// The whole content of a file, or nothing when it cannot be opened or holds more than
// maxBytes bytes. Reads only what the file holds.
std::optional<std::string> ReadWholeFile(std::string_view path, std::size_t maxBytes);
// The rest of an open file, or nothing when reading fails or it holds more than maxBytes.
std::optional<std::string> ReadRest(std::FILE* file, std::size_t maxBytes);

} // namespace platform
