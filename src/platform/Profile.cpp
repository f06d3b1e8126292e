#include "Profile.h"

#include "CachedFile.h"
#include "Path.h"
#include "ReplaceFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

// One line of a profile file, as positions into the file's text.
struct SLine {
    enum class EKind { Other, Section, Key };
    EKind kind = EKind::Other;
    std::size_t begin = 0;      // first byte of the line
    std::size_t end = 0;        // end of the line's text, before "\r\n" or "\n"
    std::size_t next = 0;       // first byte of the following line
    std::string_view name;      // section or key name, trimmed
    std::size_t valueBegin = 0; // for keys: first byte after "="
};

class CLineReader {
  public:
    explicit CLineReader(std::string_view text) : m_Text(text) {
        if (m_Text.starts_with("\xEF\xBB\xBF")) {
            m_Pos = 3;
        }
    }

    bool Next(SLine& line) {
        if (m_Pos >= m_Text.size()) {
            return false;
        }
        line = SLine{};
        line.begin = m_Pos;
        const std::size_t newline = m_Text.find('\n', m_Pos);
        line.next = newline == std::string_view::npos ? m_Text.size() : newline + 1;
        line.end = newline == std::string_view::npos ? m_Text.size() : newline;
        if (line.end > line.begin && m_Text[line.end - 1] == '\r') {
            --line.end;
        }
        m_Pos = line.next;

        const std::string_view body = Trim(m_Text.substr(line.begin, line.end - line.begin));
        if (body.empty() || body.front() == ';') {
            return true;
        }
        if (body.front() == '[') {
            const std::size_t close = body.find(']');
            line.kind = SLine::EKind::Section;
            line.name =
                Trim(body.substr(1, close == std::string_view::npos ? body.size() - 1 : close - 1));
            return true;
        }
        const std::size_t equals = m_Text.substr(line.begin, line.end - line.begin).find('=');
        if (equals != std::string_view::npos) {
            line.kind = SLine::EKind::Key;
            line.name = Trim(m_Text.substr(line.begin, equals));
            line.valueBegin = line.begin + equals + 1;
        }
        return true;
    }

  private:
    std::string_view m_Text;
    std::size_t m_Pos = 0;
};

// Where a key stands in a profile text: its section, its line, or neither.
struct SLocation {
    bool sectionFound = false;
    std::size_t sectionBodyEnd = 0; // where a new key of the section goes
    std::optional<SLine> keyLine;
};

SLocation Locate(std::string_view text, std::string_view section, std::string_view key) {
    SLocation location;
    CLineReader reader(text);
    SLine line;
    bool inSection = false;
    while (reader.Next(line)) {
        if (line.kind == SLine::EKind::Section) {
            if (inSection) {
                break; // only the first section of a name counts
            }
            if (EqualNoCase(line.name, section)) {
                inSection = true;
                location.sectionFound = true;
                location.sectionBodyEnd = line.next;
            }
            continue;
        }
        if (!inSection || line.kind != SLine::EKind::Key) {
            continue;
        }
        location.sectionBodyEnd = line.next;
        if (EqualNoCase(line.name, key)) {
            location.keyLine = line;
            break;
        }
    }
    return location;
}

std::string_view ValueOf(std::string_view text, const SLine& line) {
    std::string_view value = Trim(text.substr(line.valueBegin, line.end - line.valueBegin));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value.substr(0, kProfileValueMax);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// A profile file in memory with its sections and keys found once per version of the file.
class CProfileCopy {
  public:
    explicit CProfileCopy(std::string_view path) : m_File(path, kProfileFileMax) {}

    const std::string& GetPath() const { return m_File.GetPath(); }

    // True when the file can be read; its index is then up to date.
    bool Refresh() {
        if (!m_File.Refresh()) {
            return false;
        }
        if (m_File.GetVersion() != m_IndexedVersion) {
            BuildIndex();
        }
        return true;
    }

    // The value of the first key of the name in the first section of the name.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const {
        for (const SSection& s : m_Sections) {
            if (!EqualNoCase(s.name, section)) {
                continue;
            }
            for (std::size_t i = s.firstKey; i < s.endKey; ++i) {
                if (EqualNoCase(m_Keys[i].name, key)) {
                    return m_Keys[i].value;
                }
            }
            return std::nullopt; // only the first section of a name counts
        }
        return std::nullopt;
    }

  private:
    struct SSection {
        std::string_view name;
        std::size_t firstKey = 0;
        std::size_t endKey = 0;
    };
    struct SKey {
        std::string_view name;
        std::string_view value;
    };

    void BuildIndex() {
        m_IndexedVersion = m_File.GetVersion();
        m_Sections.clear();
        m_Keys.clear();
        if (!m_File.GetContent()) {
            return; // too large: a file, but no profile
        }
        const std::string_view text = *m_File.GetContent();
        CLineReader reader(text);
        SLine line;
        while (reader.Next(line)) {
            if (line.kind == SLine::EKind::Section) {
                m_Sections.push_back(SSection{line.name, m_Keys.size(), m_Keys.size()});
            } else if (line.kind == SLine::EKind::Key && !m_Sections.empty()) {
                m_Keys.push_back(SKey{line.name, ValueOf(text, line)});
                m_Sections.back().endKey = m_Keys.size();
            }
        }
    }

    CCachedFile m_File;
    std::uint64_t m_IndexedVersion = ~std::uint64_t{0};
    std::vector<SSection> m_Sections;
    std::vector<SKey> m_Keys; // views into the file's content
};

// The profiles read so far, the one used last first; a handful at most.
constexpr std::size_t kCachedProfiles = 8;
std::mutex s_CacheMutex;
std::vector<std::unique_ptr<CProfileCopy>> s_Profiles;

CProfileCopy& CachedProfile(std::string_view path) {
    const auto found = std::find_if(s_Profiles.begin(), s_Profiles.end(),
                                    [path](const auto& copy) { return copy->GetPath() == path; });
    if (found != s_Profiles.end()) {
        std::rotate(s_Profiles.begin(), found, found + 1);
    } else {
        if (s_Profiles.size() == kCachedProfiles) {
            s_Profiles.pop_back();
        }
        s_Profiles.insert(s_Profiles.begin(), std::make_unique<CProfileCopy>(path));
    }
    return *s_Profiles.front();
}

} // namespace

namespace {

// The lookup behind both reads; the value stays valid while the cache's lock is held.
EProfileLookup Lookup(std::string_view section, std::string_view key, std::string_view path,
                      std::string_view& value) {
    CProfileCopy& copy = CachedProfile(path);
    if (!copy.Refresh()) {
        return EProfileLookup::NoFile;
    }
    const std::optional<std::string_view> found = copy.Find(section, key);
    if (!found) {
        return EProfileLookup::NoKey;
    }
    value = *found;
    return EProfileLookup::Found;
}

} // namespace

EProfileLookup LookupProfileString(std::string_view section, std::string_view key,
                                   std::string_view path, std::span<char> buffer) {
    const std::lock_guard lock(s_CacheMutex);
    std::string_view value;
    const EProfileLookup result = Lookup(section, key, path, value);
    if (result == EProfileLookup::Found && !buffer.empty()) {
        const std::size_t length = std::min(value.size(), buffer.size() - 1);
        std::copy_n(value.data(), length, buffer.data());
        buffer[length] = '\0';
    }
    return result;
}

std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view fallback, std::string_view path) {
    const std::lock_guard lock(s_CacheMutex);
    std::string_view value;
    if (Lookup(section, key, path, value) != EProfileLookup::Found) {
        value = fallback.substr(0, kProfileValueMax);
    }
    return std::string(value);
}

namespace {

bool BreaksTheFile(const SProfileEntry& entry) {
    const std::string_view key = Trim(entry.key);
    return HasLineBreak(entry.section) || HasLineBreak(entry.key) || HasLineBreak(entry.value) ||
           entry.section.find(']') != std::string_view::npos ||
           entry.key.find('=') != std::string_view::npos || key.empty() || key.front() == '[' ||
           key.front() == ';';
}

// Writes the entry into the profile text as WriteProfileString describes it.
void Apply(std::string& text, const SProfileEntry& entry) {
    const std::size_t firstNewline = text.find('\n');
    const std::string_view eol =
        firstNewline != std::string::npos && firstNewline > 0 && text[firstNewline - 1] == '\r'
            ? "\r\n"
            : "\n";
    const std::string line = std::string(entry.key) + "=" + std::string(entry.value);

    const SLocation location = Locate(text, entry.section, entry.key);
    if (location.keyLine) {
        // Keep the key as written and any blanks after "=", replace the rest of the line.
        std::size_t valueStart = location.keyLine->valueBegin;
        while (valueStart < location.keyLine->end &&
               (text[valueStart] == ' ' || text[valueStart] == '\t')) {
            ++valueStart;
        }
        text.replace(valueStart, location.keyLine->end - valueStart, entry.value);
    } else if (location.sectionFound) {
        std::string added = line + std::string(eol);
        const std::size_t at = location.sectionBodyEnd;
        if (at == text.size() && !text.empty() && text.back() != '\n') {
            added.insert(0, eol);
        }
        text.insert(at, added);
    } else {
        if (!text.empty() && text.back() != '\n') {
            text += eol;
        }
        if (!text.empty()) {
            text += eol;
        }
        text += "[" + std::string(entry.section) + "]" + std::string(eol) + line + std::string(eol);
    }
}

// The file's present text: empty when there is no file yet; nothing, with the reason, when
// there is one that cannot be read whole (a file that cannot be read is not an empty one).
std::optional<std::string> PresentText(const std::string& native, std::string& why) {
    struct stat info {};
    if (stat(native.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return std::string();
        }
        why = std::strerror(errno);
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode)) {
        why = std::strerror(EISDIR);
        return std::nullopt;
    }
    FilePtr file = OpenFile(native, "rb");
    if (!file) {
        why = std::strerror(errno != 0 ? errno : EINVAL);
        return std::nullopt;
    }
    std::optional<std::string> text = ReadRest(file.get(), kProfileFileMax);
    if (!text) {
        why = std::ferror(file.get()) ? std::strerror(EIO) : std::strerror(EFBIG);
    }
    return text;
}

} // namespace

bool WriteProfileStrings(std::string_view path, std::span<const SProfileEntry> entries,
                         std::string* reason) {
    std::string why;
    const auto fail = [&](std::string text) {
        if (reason != nullptr) {
            *reason = std::move(text);
        }
        return false;
    };
    for (const SProfileEntry& entry : entries) {
        if (BreaksTheFile(entry)) {
            return fail(std::strerror(EINVAL));
        }
    }
    const std::string native = NativePath(path);
    std::optional<std::string> text = PresentText(native, why);
    if (!text) {
        return fail(why);
    }
    for (const SProfileEntry& entry : entries) {
        Apply(*text, entry);
    }
    if (!ReplaceFile(native, *text, &why)) {
        return fail(why);
    }
    return true;
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view path, std::string* reason) {
    const SProfileEntry entry{section, key, value};
    return WriteProfileStrings(path, std::span(&entry, 1), reason);
}

} // namespace platform
