#include "CachedFile.h"

#include "Path.h"

#include <sys/stat.h>

namespace platform {
namespace {

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

SFileStamp StampOf(const struct stat& info) {
    return SFileStamp{info.st_dev, info.st_ino, info.st_size, Nanoseconds(info.st_mtim),
                      Nanoseconds(info.st_ctim)};
}

// True when the file was last modified so far in the past that a change now moves its
// modification time. (The change time is in the stamp but not looked at here: setting a
// file's modification time moves it to now.)
bool IsSettled(const SFileStamp& stamp) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now) - stamp.modified >= CCachedFile::kSettleSeconds * 1'000'000'000;
}

} // namespace

CCachedFile::CCachedFile(std::string_view path, std::size_t maxBytes)
    : m_Path(path), m_Native(NativePath(path)), m_MaxBytes(maxBytes) {}

void CCachedFile::Forget() {
    if (m_bReadable || m_Content || m_Stamp) {
        ++m_Version;
    }
    m_Stamp.reset();
    m_bReadable = false;
    m_Content.reset();
}

bool CCachedFile::Refresh() {
    struct stat info {};
    if (stat(m_Native.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        Forget();
        return false;
    }
    if (m_Stamp && *m_Stamp == StampOf(info)) {
        return m_bReadable;
    }

    ++m_ReadCount;
    ++m_Version;
    m_Stamp.reset();
    m_Content.reset();
    const FilePtr file = OpenFile(m_Native, "rb");
    // What was read belongs to the file that was opened, which may be newer than the one
    // looked at above.
    if (file && fstat(fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode)) {
        m_bReadable = true;
        m_Content = ReadRest(file.get(), m_MaxBytes);
    } else {
        m_bReadable = false;
    }
    const SFileStamp stamp = StampOf(info);
    if (IsSettled(stamp)) {
        m_Stamp = stamp;
    }
    return m_bReadable;
}

} // namespace platform
