#include "HelpText.h"

#include "platform/Translation.h"
#include "settings/Settings.h"

#include <algorithm>

const platform::CCachedFile* CHelpText::Current(int level) {
    if (m_Files.empty() || level != m_iLevel || m_Directory != g_Directory) {
        const std::string_view german = "Text%d.txt";
        // TRANSLATORS: the file name of the help text before level %d, beside the German
        // one in the data set: a name of the language's own, such as "Text%d.en.txt".
        const std::string_view translated = Tr("Text%d.txt");
        m_iLevel = level;
        m_Directory = g_Directory;
        m_Files.clear();
        for (const auto& path : {DataDirectoryPath, StandardPath}) {
            if (translated != german) {
                m_Files.emplace_back(path(platform::NumberedName(translated, level, german)),
                                     kMaxFileSize);
            }
            m_Files.emplace_back(path(platform::NumberedName(german, level, german)), kMaxFileSize);
        }
        m_pShown = nullptr;
        m_Rows.clear();
    }
    for (platform::CCachedFile& file : m_Files) {
        if (file.Refresh()) {
            return &file;
        }
    }
    return nullptr;
}

bool CHelpText::Exists(int level) {
    return Current(level) != nullptr;
}

const std::vector<std::string>& CHelpText::Rows(int level) {
    const platform::CCachedFile* file = Current(level);
    if (file == m_pShown && (file == nullptr || file->GetVersion() == m_ShownVersion)) {
        return m_Rows;
    }
    m_pShown = file;
    m_ShownVersion = file != nullptr ? file->GetVersion() : 0;
    m_Rows.clear();
    if (file == nullptr || !file->GetContent()) {
        return m_Rows;
    }
    std::string_view rest = *file->GetContent();
    while (!rest.empty()) {
        // One read of the line buffer: up to its size less the terminating zero, through the
        // line break if that comes first. The row shows up to a zero byte.
        std::size_t length = std::min(rest.size(), kRowBuffer - 1);
        const std::size_t newline = rest.substr(0, length).find('\n');
        if (newline != std::string_view::npos) {
            length = newline + 1;
        }
        const std::string_view row = rest.substr(0, length);
        m_Rows.emplace_back(row.substr(0, row.find('\0')));
        rest.remove_prefix(length);
    }
    return m_Rows;
}
