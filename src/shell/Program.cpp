#include "Program.h"

#include "Shell.h"
#include "game/field/Random.h"
#include "platform/Clock.h"
#include "platform/Path.h"
#include "platform/Places.h"
#include "platform/Translation.h"
#include "platform/desktop/SdlWindow.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace {

// The main window. It is made before the data directory is known, so its size comes from the
// settings beside the program (or from "Standard").
std::unique_ptr<platform::IWindow> CreateMainWindow() {
    const int height = ReadIniInt("VideoMode", "Height");
    const int width = ReadIniInt("VideoMode", "Width");
    std::string error;
    std::unique_ptr<platform::IWindow> window =
        platform::CSdlWindow::Create("Zantor", width, height, error);
    if (!window) {
        LogError("Das Fenster konnte nicht angelegt werden!");
        LogError(error);
        std::fprintf(stderr,
                     TrFormat("zantor: Das Fenster konnte nicht angelegt werden: %s\n"
                              "zantor: Zantor braucht eine grafische Sitzung (X11 oder "
                              "Wayland).\n"),
                     error.c_str());
    }
    return window;
}

// Where the data and the player's files are, for the data directory named: the log opens
// there first of all. A data directory that does not exist still plays, with the files of
// "Standard"; the player hears of it once.
void PlaceFiles(const std::string& dataDirectory) {
    platform::SFilePlaces places = platform::ProgramFilePlaces(dataDirectory);
    g_Log.Open(places.logFile);
    if (!platform::IsFolder(places.dataRoot + dataDirectory)) {
        std::fprintf(stderr,
                     TrFormat("zantor: Den Datenordner „%s“ gibt es in %s nicht; Zantor spielt "
                              "mit den Dateien aus „Standard“.\n"),
                     dataDirectory.c_str(), places.dataRoot.c_str());
    }
    SetFilePlaces(std::move(places));
}

} // namespace

int ZantorMain(const SCommandLine& commandLine) {
    PlaceFiles(commandLine.dataDirectory);
    platform::CSystemClock clock;
    SeedRand(clock.TickCount());

    const std::unique_ptr<platform::IWindow> window = CreateMainWindow();
    if (!window) {
        return 1;
    }

    g_Directory = commandLine.dataDirectory + "\\";
    if (g_Directory == "credits\\") {
        g_Log << LOG_INFO << "Zantor für Linux, ein Ballspiel in drei Dimensionen: "
              << "geschrieben in C++ mit SDL2, OpenGL und OpenAL.";
    }
    LOG_VARIABLE(g_Directory);

    CShell shell(*window, clock);
    shell.GetDirect3D().SetWindowedOverride(commandLine.windowed);
    if (!shell.Start()) {
        std::fprintf(stderr,
                     TrFormat("zantor: Die Grafik konnte nicht gestartet werden; die Gründe "
                              "stehen in %s.\n"),
                     platform::NativePath(g_Log.GetFileName()).c_str());
        return 1;
    }
    shell.Run();
    return 0;
}
