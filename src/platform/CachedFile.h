#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// What tells one version of a file from another without reading it.
struct SFileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0; // nanoseconds
    std::int64_t changed = 0;  // nanoseconds; a change of permissions moves it too

    bool operator==(const SFileStamp&) const = default;
};

// A file kept in memory and read again only when it has changed. Each Refresh looks at the
// file's identity, size and modification and change times (one stat) and reads the file anew
// when any of them differs from the copy's. File systems keep those times coarsely (to the
// kernel's tick, some to two seconds), so a file modified less than kSettleSeconds before it
// was read is read again at every Refresh until it has been left alone that long: an edit
// within the same tick cannot go unseen.
class CCachedFile {
  public:
    static constexpr std::int64_t kSettleSeconds = 2;

    // path is written the game's way (see NativePath); files larger than maxBytes are
    // readable but hold no content.
    CCachedFile(std::string_view path, std::size_t maxBytes);

    // Brings the copy up to date; true when the file can be opened for reading now.
    // Anything but a regular file counts as missing.
    bool Refresh();

    bool IsReadable() const { return m_bReadable; }
    // The content as of the last Refresh; nothing when the file is missing, cannot be read
    // or is too large.
    const std::optional<std::string>& GetContent() const { return m_Content; }
    // Goes up by one every time the file is read anew or found gone.
    std::uint64_t GetVersion() const { return m_Version; }
    // How many times the file itself was opened and read.
    std::uint64_t GetReadCount() const { return m_ReadCount; }
    const std::string& GetPath() const { return m_Path; }
    // Forgets the copy: the next Refresh reads the file.
    void Invalidate() { m_Stamp.reset(); }

  private:
    void Forget();

    std::string m_Path;
    std::string m_Native;
    std::size_t m_MaxBytes;
    std::optional<SFileStamp> m_Stamp; // of the copy, while it can be trusted
    bool m_bReadable = false;
    std::optional<std::string> m_Content;
    std::uint64_t m_Version = 0;
    std::uint64_t m_ReadCount = 0;
};

} // namespace platform
