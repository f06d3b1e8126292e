// A small program for the end-to-end input test: the shell's frame loop with the real
// window, keyboard, mouse and sound, on the tests' settings. It prints the game cursor
// whenever it moves and, when it ends (SIGTERM), the music's volume.
// Usage: zantor_input_probe MUSIC_DIRECTORY/ (the directory of musik.mp3, with a slash)
#include "audio/Sound.h"
#include "engine/Direct3D.h"
#include "engine/Sprite.h"
#include "game/Game.h"
#include "input/Input.h"
#include "menu/Menu.h"
#include "platform/Clock.h"
#include "platform/SdlWindow.h"
#include "settings/Settings.h"
#include "shell/FrameLoop.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zantor_input_probe MUSIC_DIRECTORY/\n");
        return 2;
    }
    std::string error;
    auto window = platform::CSdlWindow::Create("Zantor input probe", 640, 480, error);
    if (!window) {
        std::fprintf(stderr, "no window: %s\n", error.c_str());
        return 1;
    }
    CDirect3D direct3D;
    if (!direct3D.Init(window.get())) {
        std::fprintf(stderr, "no device\n");
        return 1;
    }
    CInput input;
    input.Init(window.get());
    CSound sound;
    sound.Init(window.get());
    g_Directory = argv[1];
    sound.LoadMusic("musik");
    sound.PlayMusic("musik", true);
    CGame game;
    CMenu menu;
    CSprite background;
    platform::CSystemClock clock;
    g_iProgramState = 2; // neither menu nor game: only the shell's own keys act
    CFrameLoop loop({*window, clock, direct3D, input, sound, game, menu, background}, false);
    int x = input.GetMouseX();
    int y = input.GetMouseY();
    std::printf("cursor %d %d\n", x, y);
    std::fflush(stdout);
    while (loop.RunPass() != CFrameLoop::EPass::Quit) {
        if (input.GetMouseX() != x || input.GetMouseY() != y) {
            x = input.GetMouseX();
            y = input.GetMouseY();
            std::printf("cursor %d %d\n", x, y);
            std::fflush(stdout);
        }
    }
    const SMusicInfo* music = sound.GetMusic("musik");
    std::printf("music-volume %ld\n",
                music != nullptr && music->pGraph ? music->pGraph->GetVolume() : 1);
    return 0;
}
