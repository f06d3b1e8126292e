#pragma once

#include "platform/TypeName.h"

#include <concepts>
#include <string>
#include <string_view>
#include <typeinfo>

// The game's diagnostic log "log.htm": a small HTML page with one table row per message.
// Every item is written by opening the file, appending and closing it again, so that all
// that was logged is on disk even when the program dies. Nothing is written before the
// file is opened: the program opens g_Log where its places say (log.htm beside a portable
// data set, else in the player's state folder), the tests in their working directory.
class CLog {
  public:
    // Not open yet; the file name is "log.htm" until Open names another.
    CLog();
    // Creates the file and writes the header.
    explicit CLog(std::string fileName);
    // Writes the footer, when the file was opened.
    ~CLog();
    CLog(const CLog&) = delete;
    CLog& operator=(const CLog&) = delete;

    // Starts the file anew with the header: the time, the program's path, the table.
    void Open();
    // The same for another file, whose folder is made when missing.
    void Open(std::string fileName);

    CLog& operator<<(const char* text);
    CLog& operator<<(std::string_view text);
    CLog& operator<<(const std::string& text) { return *this << std::string_view(text); }
    template <std::integral T>
    CLog& operator<<(T value) {
        return *this << std::string_view(std::to_string(value));
    }
    CLog& operator<<(float value) { return *this << static_cast<double>(value); }
    CLog& operator<<(double value);

    const std::string& GetFileName() const { return m_FileName; }

  private:
    void Append(std::string_view text);

    std::string m_FileName;
    bool m_bOpen = false;
};

// Row prefixes: each starts a new table row of its kind.
inline constexpr const char* LOG_INFO = "\n<tr><td><font color=\"green\"><b>Info</b></font><td>";
inline constexpr const char* LOG_FEHLER = "\n<tr><td><font color=\"red\"><b>Fehler</b></font><td>";
inline constexpr const char* LOG_VARIABLE_ROW =
    "\n<tr><td><font color=\"blue\"><b>Variable</b></font><td>";

extern CLog g_Log;

// One Fehler row with the message.
void LogError(const char* message);
inline void LogError(const std::string& message) {
    LogError(message.c_str());
}

// A Variable row: type, name and value of a variable, with the source file and line of the
// statement that logs it.
// NOLINTNEXTLINE(cppcoreguidelines-macro-usage): it needs #variable, __FILE__ and __LINE__
#define LOG_VARIABLE(variable)                                                                     \
    (g_Log << LOG_VARIABLE_ROW << platform::DemangledTypeName(typeid(decltype(variable)).name())   \
           << " " << #variable << "=" << (variable) << "<td> in " << __FILE__                      \
           << " Line: " << __LINE__)
