#include "Options.h"

#include "platform/Path.h"
#include "platform/Profile.h"
#include "platform/ReplaceFile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

bool Readable(const std::string& path) {
    return platform::OpenFile(path, "r") != nullptr;
}

// Names match as the profile matches them: without regard to case (ASCII).
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
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
        if (SameName(key, option.key)) {
            return &option;
        }
    }
    return nullptr;
}

const SOption* FindOptionByName(std::string_view name) {
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) {
        return FindOptionByKey(name);
    }
    const SOption* option = FindOptionByKey(name.substr(dot + 1));
    return option != nullptr && SameName(name.substr(0, dot), option->section) ? option : nullptr;
}

SAssignment ParseAssignment(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    const std::string_view value = text.substr(equals + 1);
    return {FindOptionByName(text.substr(0, equals)), value == "0" ? 0 : value == "1" ? 1 : -1};
}

SOptionsFile OptionsFile(const platform::SFilePlaces& places, const std::string* dataDirectory) {
    const std::string folder = dataDirectory != nullptr ? *dataDirectory + "/" : "";
    const std::vector<std::string> files = platform::SettingsFiles(places, folder);
    const auto read = std::find_if(files.begin(), files.end(), Readable);
    // None yet: the data set's own file of the data directory, which saving creates.
    const std::string chosen =
        platform::NativePath(read != files.end() ? *read : places.dataRoot + folder + "Zantor.ini");
    return {chosen, platform::NativePath(platform::OwnCopyOf(places, chosen))};
}

int ReadOption(const std::string& file, const char* section, const char* key) {
    const std::string value = platform::ReadProfileString(section, key, "[NOT FOUND]", file);
    if (value == "[NOT FOUND]") {
        const SOption* option = FindOptionByKey(key);
        return option != nullptr && SameName(option->section, section) ? option->missing : 0;
    }
    return std::atoi(value.c_str());
}

bool WriteOption(const std::string& file, const char* section, const char* key, int value) {
    return platform::WriteProfileString(section, key, std::to_string(value), file);
}

bool WriteOptions(const std::string& file, std::span<const SAssignment> values,
                  std::string* reason) {
    // The entries point into these texts, which stay where they are once all are made.
    std::vector<std::string> texts;
    texts.reserve(values.size());
    std::vector<platform::SProfileEntry> entries;
    entries.reserve(values.size());
    for (const SAssignment& value : values) {
        texts.push_back(std::to_string(value.value));
        entries.push_back({value.option->section, value.option->key, texts.back()});
    }
    return platform::WriteProfileStrings(file, entries, reason);
}

bool WriteOptions(const SOptionsFile& files, std::span<const SAssignment> values,
                  std::string* reason) {
    return platform::StartOwnCopy(files.read, files.write, reason) &&
           WriteOptions(files.write, values, reason);
}

void COptionsDialog::Load() {
    for (const int control : {1006, 1007, 1000, 1001, 1002, 1003, 1004, 1005, 1008}) {
        const SOption& option = kOptions[static_cast<std::size_t>(IndexOf(control))];
        m_Values[static_cast<std::size_t>(IndexOf(control))] =
            ReadOption(m_Files.read, option.section, option.key);
    }
}

bool COptionsDialog::Save(std::string* reason) {
    std::array<SAssignment, kOptionCount> values;
    std::size_t next = 0;
    for (const int control : {1007, 1006, 1000, 1001, 1002, 1003, 1004, 1005, 1008}) {
        const int index = IndexOf(control);
        values[next++] = {&kOptions[static_cast<std::size_t>(index)], IsChecked(index) ? 1 : 0};
    }
    return WriteOptions(m_Files, values, reason);
}
