// zantor-options: switches eight settings of the game in its Zantor.ini.
//
//   zantor-options [DATA]                      the dialog
//   zantor-options [DATA] --list               the eight settings as Section.Key=value
//   zantor-options [DATA] --set KEY=0|1 ...    writes the named ones
//
// Without DATA the file is "Zantor.ini" beside the program, or else the one in "Standard"
// beside it; with DATA, the one the game started with DATA reads.
#include "Options.h"
#include "OptionsView.h"
#include "platform/Path.h"
#include "platform/ReplaceFile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

int List(const std::string& file) {
    for (const SOption& option : kOptions) {
        std::printf("%s.%s=%d\n", option.section, option.key,
                    ReadOption(file, option.section, option.key));
    }
    return 0;
}

int Set(const std::string& file, const std::vector<std::string>& assignments) {
    // Every assignment is checked before anything is written.
    std::vector<std::pair<const SOption*, int>> changes;
    for (const std::string& assignment : assignments) {
        const std::size_t equals = assignment.find('=');
        const SOption* option =
            equals != std::string::npos ? FindOptionByKey(assignment.substr(0, equals)) : nullptr;
        const std::string value = equals != std::string::npos ? assignment.substr(equals + 1) : "";
        if (option == nullptr) {
            std::fprintf(stderr, "zantor-options: unbekannte Einstellung: %s\n",
                         assignment.c_str());
            return 2;
        }
        if (value != "0" && value != "1") {
            std::fprintf(stderr, "zantor-options: %s verlangt 0 oder 1: %s\n", option->key,
                         assignment.c_str());
            return 2;
        }
        changes.emplace_back(option, value == "1" ? 1 : 0);
    }
    for (const auto& [option, value] : changes) {
        if (!WriteOption(file, option->section, option->key, value)) {
            std::fprintf(stderr, "zantor-options: %s konnte nicht geschrieben werden.\n",
                         file.c_str());
            return 1;
        }
    }
    return 0;
}

int Usage() {
    std::fprintf(stderr, "Aufruf: zantor-options [DATEN] [--list | --set SCHLÜSSEL=0|1 ...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    platform::IgnoreFileSizeSignal();
    std::string data;
    int next = 1;
    if (next < argc && std::strncmp(argv[next], "--", 2) != 0) {
        data = argv[next++];
    }
    const std::string file = OptionsFile(platform::ProgramPath(), next == 2 ? &data : nullptr);
    if (next < argc && std::strcmp(argv[next], "--list") == 0) {
        return next + 1 == argc ? List(file) : Usage();
    }
    if (next < argc && std::strcmp(argv[next], "--set") == 0) {
        const std::vector<std::string> assignments(argv + next + 1, argv + argc);
        return assignments.empty() ? Usage() : Set(file, assignments);
    }
    if (next < argc) {
        return Usage();
    }
    COptionsDialog dialog(file);
    dialog.Load();
    return RunOptionsDialog(dialog, argc, argv);
}
