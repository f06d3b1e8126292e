#include "Options.h"

#include "platform/Path.h"
#include "platform/Profile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool Readable(const std::string& path) {
    return platform::OpenFile(path, "r") != nullptr;
}

int IndexOf(int control) {
    for (int i = 0; i < kOptionCount; ++i) {
        if (kOptions[static_cast<std::size_t>(i)].control == control) {
            return i;
        }
    }
    return -1;
}

} // namespace

const SOption* FindOption(int control) {
    const int index = IndexOf(control);
    return index >= 0 ? &kOptions[static_cast<std::size_t>(index)] : nullptr;
}

const SOption* FindOptionByKey(std::string_view key) {
    for (const SOption& option : kOptions) {
        if (key.size() == std::strlen(option.key)) {
            bool same = true;
            for (std::size_t i = 0; i < key.size(); ++i) {
                same = same && std::tolower(static_cast<unsigned char>(key[i])) ==
                                   std::tolower(static_cast<unsigned char>(option.key[i]));
            }
            if (same) {
                return &option;
            }
        }
    }
    return nullptr;
}

std::string OptionsFile(const std::string& programPath, const std::string* dataDirectory) {
    const std::string first = programPath + "\\..\\" +
                              (dataDirectory != nullptr ? *dataDirectory + "\\" : "") +
                              "Zantor.ini";
    const std::string second = programPath + "\\..\\Standard\\Zantor.ini";
    if (Readable(first) || !Readable(second)) {
        return platform::NativePath(first);
    }
    return platform::NativePath(second);
}

int ReadOption(const std::string& file, const char* section, const char* key) {
    const std::string value = platform::ReadProfileString(section, key, "[NOT FOUND]", file);
    if (value == "[NOT FOUND]") {
        return 0;
    }
    return std::atoi(value.c_str());
}

bool WriteOption(const std::string& file, const char* section, const char* key, int value) {
    return platform::WriteProfileString(section, key, std::to_string(value), file);
}

void COptionsDialog::Load() {
    for (const int control : {1006, 1007, 1000, 1001, 1002, 1003, 1004, 1005}) {
        const SOption& option = kOptions[static_cast<std::size_t>(IndexOf(control))];
        m_Values[static_cast<std::size_t>(IndexOf(control))] =
            ReadOption(m_File, option.section, option.key);
    }
}

bool COptionsDialog::Save() {
    bool written = true;
    for (const int control : {1007, 1006, 1000, 1001, 1002, 1003, 1004, 1005}) {
        const int index = IndexOf(control);
        const SOption& option = kOptions[static_cast<std::size_t>(index)];
        written =
            WriteOption(m_File, option.section, option.key, IsChecked(index) ? 1 : 0) && written;
    }
    return written;
}
