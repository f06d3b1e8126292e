// zantor: the game.
//
//   zantor [DATA]          plays with the data directory DATA ("Standard" without one)
//   zantor --help | --version
#include "CommandLine.h"
#include "Program.h"
#include "platform/ReplaceFile.h"

#include <cstdio>
#include <string>

namespace {

int Help() {
    std::printf("Aufruf: zantor [DATEN]\n"
                "        zantor --help | --version\n"
                "\n"
                "Zantor, ein Ballspiel in drei Dimensionen.\n"
                "\n"
                "  DATEN      der Datenordner des Spiels: seine Level, Bilder, Klänge und\n"
                "             Einstellungen; was darin fehlt, kommt aus „Standard“. Ohne\n"
                "             DATEN spielt Zantor mit „Standard“. Mehrere Wörter sind ein\n"
                "             Name („zantor Mein Level“); ein Name, der mit - beginnt, folgt\n"
                "             auf -- („zantor -- -x“).\n"
                "  --help     diese Hilfe ausgeben\n"
                "  --version  die Version ausgeben\n"
                "\n"
                "Rückgabewert: 0 nach einem Spiel, 1 wenn kein Fenster oder keine Grafik\n"
                "angelegt werden konnte (log.htm sagt, warum), 2 bei falschem Aufruf.\n");
    return 0;
}

int Version() {
    std::printf("zantor %s\n", ZANTOR_VERSION);
    return 0;
}

int Usage(const std::string& unknown) {
    std::fprintf(stderr,
                 "zantor: unbekannte Option: %s\n"
                 "Aufruf: zantor [DATEN]\n"
                 "Mehr mit: zantor --help\n",
                 unknown.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    platform::IgnoreFileSizeSignal();
    const SCommandLine line =
        ParseCommandLine({argv + 1, argc > 1 ? static_cast<std::size_t>(argc - 1) : 0});
    switch (line.action) {
    case SCommandLine::EAction::Help:
        return Help();
    case SCommandLine::EAction::Version:
        return Version();
    case SCommandLine::EAction::Usage:
        return Usage(line.unknown);
    case SCommandLine::EAction::Play:
        break;
    }
    return ZantorMain(line.dataDirectory);
}
