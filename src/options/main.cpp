// zantor-options: switches eight settings of the game in its Zantor.ini.
//
//   zantor-options [DATA]                      the dialog
//   zantor-options [DATA] --list               the eight settings as Section.Key=value
//   zantor-options [DATA] --set NAME=0|1 ...   writes the named ones (Key or Section.Key)
//   zantor-options --help | --version
//
// Without DATA the file is "Zantor.ini" beside the data sets, or else the one in "Standard";
// with DATA, the one the game started with DATA reads. Installed, a change goes into the
// player's own copy under $XDG_DATA_HOME/zantor/, which the game then reads.
#include "Options.h"
#include "OptionsView.h"
#include "platform/Path.h"
#include "platform/Places.h"
#include "platform/ReplaceFile.h"
#include "platform/Translation.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int List(const SOptionsFile& file) {
    for (const SOption& option : kOptions) {
        std::printf("%s.%s=%d\n", option.section, option.key,
                    ReadOption(file.read, option.section, option.key));
    }
    return 0;
}

int Set(const SOptionsFile& file, const std::vector<std::string>& texts) {
    // Every assignment is checked before anything is written, and all are written at once.
    std::vector<SAssignment> assignments;
    for (const std::string& text : texts) {
        const SAssignment assignment = ParseAssignment(text);
        if (assignment.option == nullptr) {
            std::fprintf(stderr, TrFormat("zantor-options: unbekannte Einstellung: %s\n"),
                         text.c_str());
            return 2;
        }
        if (assignment.value < 0) {
            std::fprintf(stderr, TrFormat("zantor-options: %s.%s verlangt 0 oder 1: %s\n"),
                         assignment.option->section, assignment.option->key, text.c_str());
            return 2;
        }
        assignments.push_back(assignment);
    }
    std::string reason;
    if (!WriteOptions(file, assignments, &reason)) {
        std::fprintf(stderr,
                     TrFormat("zantor-options: Die Einstellungen konnten nicht gespeichert "
                              "werden.\nzantor-options: %s: %s\n"),
                     file.write.c_str(), reason.c_str());
        return 1;
    }
    return 0;
}

int Help() {
    std::fputs(
        Tr("Aufruf: zantor-options [DATEN] [--list | --set NAME=0|1 ...]\n"
           "        zantor-options --help | --version\n"
           "\n"
           "Schaltet acht Einstellungen des Spiels Zantor in seiner Zantor.ini.\n"
           "\n"
           "Ohne Optionen zeigt es das Fenster „Zantor Optionen“; OK speichert die acht\n"
           "Kästchen, Abbrechen und Esc speichern nichts.\n"
           "\n"
           "  DATEN           die Zantor.ini bearbeiten, die „zantor DATEN“ liest\n"
           "  --list          die acht Einstellungen als Abschnitt.Schlüssel=Wert ausgeben\n"
           "  --set NAME=0|1  die genannten Einstellungen in einem Schritt schreiben; NAME ist\n"
           "                  der Schlüssel (Intro) oder Abschnitt.Schlüssel (Options.Intro)\n"
           "  --help          diese Hilfe ausgeben\n"
           "  --version       die Version ausgeben\n"
           "\n"
           "Die Einstellungen:\n"),
        stdout);
    for (const SOption& option : kOptions) {
        std::printf("  %s.%s  (%s)\n", option.section, option.key, Tr(option.caption));
    }
    std::fputs(Tr("\n"
                  "Rückgabewert: 0 bei Erfolg, 1 wenn die Datei nicht geschrieben werden "
                  "konnte\noder kein Bildschirm da ist, 2 bei falschem Aufruf.\n"),
               stdout);
    return 0;
}

int Version() {
    std::printf("zantor-options %s\n", ZANTOR_VERSION);
    return 0;
}

int Usage() {
    std::fputs(Tr("Aufruf: zantor-options [DATEN] [--list | --set NAME=0|1 ...]\n"
                  "Mehr mit: zantor-options --help\n"),
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    platform::IgnoreFileSizeSignal();
    platform::StartTranslation(platform::LocaleFolder(platform::ProgramDataRoot()));
    std::string data;
    int next = 1;
    if (next < argc && std::strncmp(argv[next], "--", 2) != 0) {
        data = argv[next++];
    }
    if (next < argc && std::strcmp(argv[next], "--help") == 0) {
        return next + 1 == argc ? Help() : Usage();
    }
    if (next < argc && std::strcmp(argv[next], "--version") == 0) {
        return next + 1 == argc ? Version() : Usage();
    }
    const SOptionsFile file = OptionsFile(
        platform::ProgramFilePlaces(next == 2 ? data : "Standard"), next == 2 ? &data : nullptr);
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
