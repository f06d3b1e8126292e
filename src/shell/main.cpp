// zantor: the game.
//
//   zantor [--window | --fullscreen] [DATA]
//                          plays with the data directory DATA ("Standard" without one)
//   zantor --help | --version
#include "CommandLine.h"
#include "Program.h"
#include "platform/Places.h"
#include "platform/ReplaceFile.h"
#include "platform/Translation.h"

#include <cstdio>
#include <string>

namespace {

int Help() {
    std::fputs(Tr("Aufruf: zantor [--window | --fullscreen] [DATEN]\n"
                  "        zantor --help | --version\n"
                  "\n"
                  "Zantor, ein Ballspiel in drei Dimensionen.\n"
                  "\n"
                  "  DATEN         der Datenordner des Spiels: seine Level, Bilder, Klänge und\n"
                  "                Einstellungen, ein Ordner neben „Standard“; was darin fehlt,\n"
                  "                kommt aus „Standard“. Ohne DATEN spielt Zantor mit\n"
                  "                „Standard“. Mehrere Wörter sind ein Name („zantor Mein\n"
                  "                Level“); ein Name, der mit - beginnt, folgt auf --\n"
                  "                („zantor -- -x“).\n"
                  "  --window      diesmal im Fenster spielen\n"
                  "  --fullscreen  diesmal auf dem ganzen Bildschirm spielen\n"
                  "  --help        diese Hilfe ausgeben\n"
                  "  --version     die Version ausgeben\n"
                  "\n"
                  "Ist der Datenordner beschreibbar, bleiben Highscore, Fortschritt, log.htm\n"
                  "und Screenshot.bmp darin und daneben. Sonst (installiert) kommen sie nach\n"
                  "$XDG_DATA_HOME/zantor/DATEN/, $XDG_STATE_HOME/zantor/log.htm und, mit\n"
                  "eigenem Namen, in den Bilder-Ordner.\n"
                  "\n"
                  "Alt+Eingabe oder F11 wechselt zwischen Fenster und ganzem Bildschirm.\n"
                  "\n"
                  "Rückgabewert: 0 nach einem Spiel, 1 wenn kein Fenster oder keine Grafik\n"
                  "angelegt werden konnte (log.htm sagt, warum), 2 bei falschem Aufruf.\n"),
               stdout);
    return 0;
}

int Version() {
    std::printf("zantor %s\n", ZANTOR_VERSION);
    return 0;
}

int Usage(const std::string& unknown) {
    std::fprintf(stderr,
                 TrFormat("zantor: unbekannte Option: %s\n"
                          "Aufruf: zantor [--window | --fullscreen] [DATEN]\n"
                          "Mehr mit: zantor --help\n"),
                 unknown.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    platform::IgnoreFileSizeSignal();
    platform::StartTranslation(platform::LocaleFolder(platform::ProgramDataRoot()));
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
    return ZantorMain(line);
}
