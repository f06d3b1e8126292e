#include "TestSupport.h"

#include "platform/Path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test {

CScratchDir::CScratchDir() : m_Previous(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zantor-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "no temporary directory";
        return;
    }
    m_Path = pattern;
    std::filesystem::current_path(m_Path);
}

void CopyTestSettings() {
    const std::filesystem::path program = platform::ProgramPath();
    std::filesystem::create_directories("Standard");
    std::filesystem::copy_file(program.parent_path() / "Standard" / "Zantor.ini",
                               "Standard/Zantor.ini",
                               std::filesystem::copy_options::overwrite_existing);
}

CScratchDir::~CScratchDir() {
    std::filesystem::current_path(m_Previous);
    std::error_code ignored;
    std::filesystem::remove_all(m_Path, ignored);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

double PositiveFromEnvironment(const char* name, double fallback) {
    if (const char* text = std::getenv(name)) {
        const double value = std::atof(text);
        if (value > 0) {
            return value;
        }
    }
    return fallback;
}

std::string LogRows() {
    const std::string log = ReadFile("log.htm");
    const std::string start = "<table>\n";
    const std::size_t at = log.find(start);
    return at == std::string::npos ? std::string() : log.substr(at + start.size());
}

} // namespace test
