#include "Program.h"

#include "FrameLoop.h"
#include "audio/Sound.h"
#include "engine/Direct3D.h"
#include "engine/Sprite.h"
#include "game/Game.h"
#include "game/field/Random.h"
#include "input/Input.h"
#include "menu/Menu.h"
#include "platform/Clock.h"
#include "platform/Image.h"
#include "platform/SdlWindow.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <cstdio>
#include <memory>
#include <optional>

// The process-wide objects, made in this order before the program starts and destroyed in
// the reverse order after it ends (the data directory and the log come first, see
// Settings.cpp and Log.cpp). The window outlives everything that draws into it.
namespace {
std::unique_ptr<platform::IWindow> s_pWindow;
}
platform::IWindow* g_hWnd = nullptr;
CDirect3D g_Direct3D;
CInput g_Input;
CSound g_Sound;
CGame g_Game;
CMenu g_Menu;
CSprite g_Background;

namespace {

bool CreateMainWindow() {
    const int height = ReadIniInt("VideoMode", "Height");
    const int width = ReadIniInt("VideoMode", "Width");
    std::string error;
    s_pWindow = platform::CSdlWindow::Create("Zantor", width, height, error);
    if (!s_pWindow) {
        LogError("Das Fenster konnte nicht angelegt werden!");
        LogError(error);
        std::fprintf(stderr,
                     "zantor: Das Fenster konnte nicht angelegt werden: %s\n"
                     "zantor: Zantor braucht eine grafische Sitzung (X11 oder Wayland).\n",
                     error.c_str());
        return false;
    }
    g_hWnd = s_pWindow.get();
    return true;
}

} // namespace

int ZantorMain(const std::string& commandLine) {
    platform::CSystemClock clock;
    SeedRand(clock.TickCount());

    // The window is made before the data directory is known, so its size comes from the
    // settings beside the program (or from "Standard").
    if (!CreateMainWindow()) {
        return 1;
    }

    g_Directory = commandLine + "\\";
    if (g_Directory == "credits\\") {
        g_Log << LOG_INFO << "Zantor für Linux, ein Ballspiel in drei Dimensionen: "
              << "geschrieben in C++ mit SDL2, OpenGL und OpenAL.";
    }
    LOG_VARIABLE(g_Directory);
    if (const std::optional<platform::SImage> icon =
            platform::LoadPng(DataFilePath("zantor.png"))) {
        g_hWnd->SetIcon(*icon);
    }

    // Without a device there would be nothing to see: the rows in the log say why.
    if (!g_Direct3D.Init(g_hWnd)) {
        std::fprintf(stderr, "zantor: Die Grafik konnte nicht gestartet werden; die Gründe stehen "
                             "in log.htm.\n");
        return 1;
    }
    g_Direct3D.SetClearColor(0xFF000000u);
    g_Input.Init(g_hWnd);
    g_Sound.Init(g_hWnd);
    g_Game.Init(&g_Direct3D, &g_Input, &g_Sound);
    g_Menu.Init(&g_Direct3D, &g_Input, &g_Sound, &g_Game);
    g_Background.Load("background.png", &g_Direct3D, 0);
    if (g_Background.GetWidth() > 0 && g_Background.GetHeight() > 0) {
        g_Background.SetScale(
            static_cast<float>(g_iScreenWidth) / static_cast<float>(g_Background.GetWidth()),
            static_cast<float>(g_iScreenHeight) / static_cast<float>(g_Background.GetHeight()));
    }
    const bool showSpeed = ReadIniInt("Options", "ShowSpeed") == 1;

    CFrameLoop loop({*g_hWnd, clock, g_Direct3D, g_Input, g_Sound, g_Game, g_Menu, g_Background},
                    showSpeed);
    loop.Run();

    g_Game.Release();
    return 0;
}
