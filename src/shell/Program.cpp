#include "Program.h"

#include "Shell.h"
#include "game/field/Random.h"
#include "platform/Clock.h"
#include "platform/desktop/SdlWindow.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <cstdio>
#include <memory>

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
                     "zantor: Das Fenster konnte nicht angelegt werden: %s\n"
                     "zantor: Zantor braucht eine grafische Sitzung (X11 oder Wayland).\n",
                     error.c_str());
    }
    return window;
}

} // namespace

int ZantorMain(const std::string& commandLine) {
    platform::CSystemClock clock;
    SeedRand(clock.TickCount());

    const std::unique_ptr<platform::IWindow> window = CreateMainWindow();
    if (!window) {
        return 1;
    }

    g_Directory = commandLine + "\\";
    if (g_Directory == "credits\\") {
        g_Log << LOG_INFO << "Zantor für Linux, ein Ballspiel in drei Dimensionen: "
              << "geschrieben in C++ mit SDL2, OpenGL und OpenAL.";
    }
    LOG_VARIABLE(g_Directory);

    CShell shell(*window, clock);
    if (!shell.Start()) {
        std::fprintf(stderr, "zantor: Die Grafik konnte nicht gestartet werden; die Gründe stehen "
                             "in log.htm.\n");
        return 1;
    }
    shell.Run();
    return 0;
}
