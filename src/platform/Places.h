#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Where the programs find their data and keep the player's files.
//
// The data sets ("Standard" and others) lie in one folder, the data root: beside the program
// when a "Standard" folder is there (the build's stage, a copy the player made), else in the
// installed share folder, found from the program's own folder. The working directory plays
// no part.
//
// A data set beside the program whose folder the player may write to is "portable": the
// highscore, the progress, the settings, log.htm and Screenshot.bmp are kept in and beside
// it, as they always were. An installed one, or one the player may not write to, is not: the
// player's own files go under the XDG base directories, and what is read there first falls
// back to the data set's files. An installed game run by root thereby never writes into the
// installation either.
struct SFilePlaces {
    // The data root with a final "/"; empty: the working directory (the tests' own set-up).
    std::string dataRoot;
    // The player's copies of the data sets ("$XDG_DATA_HOME/zantor/"), with a final "/";
    // empty when the data set is portable.
    std::string userRoot;
    // log.htm's full path.
    std::string logFile;
    // The folder of screenshots with a final "/"; empty: "Screenshot.bmp" in the data root,
    // replaced by each new one.
    std::string screenshotFolder;

    bool IsPortable() const { return userRoot.empty(); }
};

// The environment as the places read it: a variable's value, or null when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;
// The process's own environment.
EnvironmentLookup ProcessEnvironment();

// The data root for the program at programPath (an absolute file path): its own folder when
// "Standard" is a folder there (the stage, a copy the player made), else the installed one at
// installedFromProgram (a relative path such as "../share/zantor") from it, when "Standard"
// is there; the program's folder again when neither has one. Always with a final "/".
struct SDataRoot {
    std::string folder;
    bool installed = false;
};
SDataRoot FindDataRoot(std::string_view programPath, std::string_view installedFromProgram);
// The data root of this program, found from its own path.
SDataRoot ProgramDataRoot();

// True when play with dataDirectory (a folder name inside the data root, without a final
// separator) keeps its files in the data set: not an installed one, and its folder may be
// written to (the data root, when the data directory does not exist).
bool IsPortable(const SDataRoot& root, std::string_view dataDirectory);

// The places for a data root. Portable: everything in and beside the data sets. Otherwise
// the player's folders of the XDG base directories: $XDG_DATA_HOME (default ~/.local/share),
// $XDG_STATE_HOME (default ~/.local/state) and the pictures folder that
// $XDG_CONFIG_HOME/user-dirs.dirs names (default: the home folder). Without a home folder
// they stay portable (and what cannot be written is logged as such).
SFilePlaces MakeFilePlaces(std::string_view dataRoot, bool portable,
                           const EnvironmentLookup& environment);

// The places for this program playing dataDirectory: the data root from its own path and the
// installed layout it was built for, the process's environment.
SFilePlaces ProgramFilePlaces(std::string_view dataDirectory);

// The settings files ("Zantor.ini") that play with dataDirectory consults, in the order they
// are looked at: the data directory's, then the one of "Standard", the player's copy of each
// (when not portable) before the data set's own. dataDirectory ends with its separator ("Mod/",
// "Standard\\") or is empty for the data root itself.
std::vector<std::string> SettingsFiles(const SFilePlaces& places, std::string_view dataDirectory);

// Where the player's copy of a file of the data root is written: the file itself when
// portable, else the same path below the user root.
std::string OwnCopyOf(const SFilePlaces& places, std::string_view file);

// Makes ownCopy a copy of file unless it exists already (its folder made first), through a
// safe replace; a file that cannot be read starts the copy empty, as writing into a missing
// file does. True when the copy is there afterwards; false with the reason otherwise.
bool StartOwnCopy(std::string_view file, std::string_view ownCopy, std::string* reason = nullptr);

// True when path names a folder that this process may create files in.
bool IsWritableFolder(std::string_view path);
// True when path names a folder.
bool IsFolder(std::string_view path);
// Creates the folder and every missing one above it (mode 0700, as the base directories ask).
// True when it exists afterwards.
bool MakeFolders(std::string_view path);

// A path in folder (with its final "/") that no file has yet: "<stem>-<date>-<time><extension>",
// and "-2", "-3" ... before the extension when that one is taken.
std::string UniqueFilePath(std::string_view folder, std::string_view stem,
                           std::string_view extension);

} // namespace platform
