#pragma once

#include <span>
#include <string>
#include <string_view>

// Private-profile ("ini") files with the meaning the Windows profile functions give them:
//
//   [Section]
//   ; a comment
//   Key=Value
//
// Section and key names match without regard to case (ASCII). The first section of a name
// is the one that counts, and in it the first line of a key. A value loses its leading and
// trailing blanks and then one pair of enclosing quotes (" or '), and is cut to 255
// characters. Lines end in LF or CRLF; a UTF-8 byte order mark at the start is skipped.
namespace platform {

// Longest value a read returns, as with a 256-byte buffer.
inline constexpr std::size_t kProfileValueMax = 255;
// Larger files are not profiles: reads find nothing in them and writes leave them alone.
inline constexpr std::size_t kProfileFileMax = std::size_t{16} * 1024 * 1024;

enum class EProfileLookup {
    NoFile, // the file cannot be opened for reading (or is no regular file)
    NoKey,  // the file holds no such section or key, or is too large to be a profile
    Found,
};

// Looks key up in section of the file at path and copies its value into buffer, cut to fit
// before a terminating zero. Lookups are served from a parsed copy of the file that is read
// again whenever the file has changed (see CCachedFile): while the file stays as it is, a
// lookup costs one stat and no allocation, and an edit takes effect at the next lookup.
EProfileLookup LookupProfileString(std::string_view section, std::string_view key,
                                   std::string_view path, std::span<char> buffer);

// The value of key in section of the file at path, or fallback when the file, the section
// or the key is missing.
std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view fallback, std::string_view path);

// One key=value of a section, to be written.
struct SProfileEntry {
    std::string_view section;
    std::string_view key;
    std::string_view value;
};

// Writes key=value into section of the file at path. An existing key keeps its line and
// gets the new value; a missing key is added at the end of its section, a missing section at
// the end of the file, and a missing file is created. Every other byte of the file stays as
// it was. The file is replaced safely (ReplaceFile): a failed write leaves it as it was, a
// symbolic link stays one, a read-only file is not written. Returns false, with the reason
// when one is asked for, when the file cannot be read whole (a file that exists but cannot
// be read is never taken for an empty one), cannot be written, or when a name or the value
// would break the file's line structure (line breaks, "=" in a key, "]" in a section name).
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view path, std::string* reason = nullptr);
// The entries written in their order, as WriteProfileString would one after the other, but
// with one replace of the file: all of them are written, or none.
bool WriteProfileStrings(std::string_view path, std::span<const SProfileEntry> entries,
                         std::string* reason = nullptr);

} // namespace platform
