#include "Log.h"

#include "platform/Path.h"
#include "platform/Places.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

// The log opens as the program starts and closes after main has returned. The game's objects
// live inside main (CShell), so every one of them may log from its constructor and destructor;
// no other process-wide object logs.
CLog g_Log;

CLog::CLog() : m_FileName("log.htm") {}

CLog::CLog(std::string fileName) : m_FileName(std::move(fileName)) {
    Open();
}

CLog::~CLog() {
    if (!m_bOpen) {
        return;
    }
    Append("</table>\n");
    Append("<b>Logbuch geschlossen</b>\n");
    Append("</body>\n");
    Append("</html>");
}

void CLog::Open(std::string fileName) {
    m_FileName = std::move(fileName);
    const std::size_t slash = m_FileName.find_last_of("/\\");
    if (slash != std::string::npos) {
        platform::MakeFolders(m_FileName.substr(0, slash));
    }
    Open();
}

void CLog::Open() {
    m_bOpen = true;
    const std::time_t now = std::time(nullptr);
    const char* when = std::ctime(&now);
    platform::FilePtr file = platform::OpenFile(m_FileName, "wb");
    if (!file) {
        return;
    }
    std::fputs("<html>\n", file.get());
    std::fputs("<body>\n", file.get());
    std::fputs("<h2>", file.get());
    std::fputs(when != nullptr ? when : "\n", file.get());
    std::fputs("</h2>\n", file.get());
    std::fputs("<b><i>", file.get());
    std::fputs(platform::ProgramPath().c_str(), file.get());
    std::fputs("</i></b><br><br><br>\n", file.get());
    std::fputs("<b>Logbuch geöffnet:</b><br>\n", file.get());
    std::fputs("<table>\n", file.get());
}

void CLog::Append(std::string_view text) {
    if (!m_bOpen) {
        return;
    }
    platform::FilePtr file = platform::OpenFile(m_FileName, "ab");
    if (file) {
        std::fwrite(text.data(), 1, text.size(), file.get());
    }
}

CLog& CLog::operator<<(const char* text) {
    if (text != nullptr) {
        Append(text);
    }
    return *this;
}

CLog& CLog::operator<<(std::string_view text) {
    Append(text);
    return *this;
}

CLog& CLog::operator<<(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    Append(text);
    return *this;
}

void LogError(const char* message) {
    g_Log << LOG_FEHLER << message;
}
