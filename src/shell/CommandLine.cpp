#include "CommandLine.h"

#include <string_view>

SCommandLine ParseCommandLine(std::span<const char* const> arguments) {
    SCommandLine line;
    bool options = true;
    bool first = true; // no part of the name yet
    for (const char* const argument : arguments) {
        const std::string_view text = argument != nullptr ? argument : "";
        if (options && text == "--") {
            options = false;
            continue;
        }
        if (options && (text == "--window" || text == "--fullscreen")) {
            line.windowed = text == "--window";
            continue;
        }
        if (options && text.starts_with('-')) {
            const bool alone = arguments.size() == 1;
            if (alone && (text == "--help" || text == "-h")) {
                line.action = SCommandLine::EAction::Help;
            } else if (alone && text == "--version") {
                line.action = SCommandLine::EAction::Version;
            } else {
                line.action = SCommandLine::EAction::Usage;
                line.unknown = text;
            }
            return line;
        }
        if (!first) {
            line.dataDirectory += ' ';
        }
        line.dataDirectory += text;
        first = false;
    }
    // No name, or an empty one: a data directory of "" would be the root of the file system.
    if (line.dataDirectory.empty()) {
        line.dataDirectory = "Standard";
    }
    return line;
}
