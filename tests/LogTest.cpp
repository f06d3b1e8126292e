#include "settings/Log.h"
#include "TestSupport.h"
#include "platform/Path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <vector>

namespace {

std::string MaskTime(const std::string& log) {
    return std::regex_replace(log,
                              std::regex("<h2>[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\\d "
                                         "\\d\\d:\\d\\d:\\d\\d \\d{4}\n</h2>"),
                              "<h2>TIME\n</h2>");
}

std::string Header() {
    return "<html>\n<body>\n<h2>TIME\n</h2>\n<b><i>" + platform::ProgramPath() +
           "</i></b><br><br><br>\n<b>Logbuch geöffnet:</b><br>\n<table>\n";
}

const std::string kFooter = "</table>\n<b>Logbuch geschlossen</b>\n</body>\n</html>";

TEST(Log, EmptyRunIsAValidPage) {
    test::CScratchDir dir;
    { CLog log("empty.htm"); }
    EXPECT_EQ(MaskTime(test::ReadFile("empty.htm")), Header() + kFooter);
}

TEST(Log, WholeFileWithEveryKindOfRow) {
    test::CScratchDir dir;
    {
        CLog log("whole.htm");
        log << LOG_INFO << "Start <b>fett</b> & roh";
        log << LOG_FEHLER << std::string("Datei fehlt: ") << "Level1.txt";
        log << LOG_INFO << 42 << " " << -7 << " " << 2.5f << " " << 0.1f << " " << 1e7f;
        log << "ohne Zeile" << static_cast<const char*>(nullptr);
    }
    EXPECT_EQ(MaskTime(test::ReadFile("whole.htm")),
              Header() +
                  "\n<tr><td><font color=\"green\"><b>Info</b></font><td>Start <b>fett</b> "
                  "& roh"
                  "\n<tr><td><font color=\"red\"><b>Fehler</b></font><td>Datei fehlt: "
                  "Level1.txt"
                  "\n<tr><td><font color=\"green\"><b>Info</b></font><td>42 -7 2.5 0.1 "
                  "1e+07"
                  "ohne Zeile" +
                  kFooter);
}

TEST(Log, OpenStartsTheFileAnew) {
    test::CScratchDir dir;
    CLog log("again.htm");
    log << LOG_INFO << "alt";
    log.Open();
    EXPECT_EQ(MaskTime(test::ReadFile("again.htm")), Header());
}

TEST(Log, EveryItemIsOnDiskAtOnce) {
    test::CScratchDir dir;
    CLog log("live.htm");
    log << LOG_INFO << "erste";
    EXPECT_TRUE(test::ReadFile("live.htm").ends_with("<td>erste"));
}

// Every file and folder under the working directory, with each file's content.
std::vector<std::string> Tree() {
    std::vector<std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(".")) {
        tree.push_back(entry.path().string() +
                       (entry.is_directory() ? "/" : ": " + test::ReadFile(entry.path())));
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}

TEST(Log, UnwritableFileLosesItemsQuietly) {
    test::CScratchDir dir;
    std::filesystem::create_directory("blocked.htm");
    test::WriteFile("blocked.htm/inside.txt", "bleibt");
    const std::vector<std::string> before = Tree();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    CLog log("blocked.htm");
    log << LOG_INFO << "verloren";
    {
        CLog other("blocked.htm");
        other << LOG_FEHLER << std::string("auch verloren ") << 7 << " " << 2.5f;
        other.Open();
    } // and its footer
    log.Open();
    log << LOG_INFO << "noch einer";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(Tree(), before);

    // With the folder gone, the same log writes again from its next start.
    std::filesystem::remove_all("blocked.htm");
    log.Open();
    log << LOG_INFO << "wieder da";
    EXPECT_EQ(MaskTime(test::ReadFile("blocked.htm")),
              Header() + "\n<tr><td><font color=\"green\"><b>Info</b></font><td>wieder da");
}

TEST(Log, ErrorAndVariableRowsGoToTheGameLog) {
    test::CScratchDir dir;
    g_Log.Open();
    LogError("Textur konnte nicht geladen werden!");
    int m_iLevelnummer = 3;
    const int line = __LINE__ + 1;
    LOG_VARIABLE(m_iLevelnummer);
    std::string g_Directory = "Standard\\";
    LOG_VARIABLE(g_Directory);
    float fFaktor = 1.5f;
    LOG_VARIABLE(fFaktor);
    const std::string file = __FILE__;
    EXPECT_EQ(
        test::LogRows(),
        "\n<tr><td><font color=\"red\"><b>Fehler</b></font><td>Textur konnte nicht geladen "
        "werden!"
        "\n<tr><td><font color=\"blue\"><b>Variable</b></font><td>int m_iLevelnummer=3<td> in " +
            file + " Line: " + std::to_string(line) +
            "\n<tr><td><font color=\"blue\"><b>Variable</b></font><td>std::__cxx11::basic_string<"
            "char, std::char_traits<char>, std::allocator<char> > g_Directory=Standard\\<td> in " +
            file + " Line: " + std::to_string(line + 2) +
            "\n<tr><td><font color=\"blue\"><b>Variable</b></font><td>float fFaktor=1.5<td> in " +
            file + " Line: " + std::to_string(line + 4));
}

} // namespace
