#pragma once

#include <optional>
#include <span>
#include <string>

// What the program's arguments ask for.
struct SCommandLine {
    enum class EAction {
        Play,    // the game with dataDirectory
        Help,    // --help or -h alone
        Version, // --version alone
        Usage,   // anything else that starts with "-": a mistake, named in unknown
    };
    EAction action = EAction::Play;
    // The arguments joined with single blanks ("zantor Mein Level" plays "Mein Level"), or
    // "Standard" when they name nothing.
    std::string dataDirectory;
    // --window (true) or --fullscreen (false) for this run, whatever the settings say; the
    // last one given counts. Unset: the settings decide.
    std::optional<bool> windowed;
    std::string unknown;
};

// Reads the arguments after the program's name. An argument that starts with "-" is an
// option; after "--" every argument is part of the data directory's name, so that a folder
// called "-x" can be played with "zantor -- -x".
SCommandLine ParseCommandLine(std::span<const char* const> arguments);
