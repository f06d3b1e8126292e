// A small program for the end-to-end input test: the shell's frame loop with the real
// window, keyboard, mouse and sound, on the tests' settings. It prints the game cursor
// whenever it moves and, when it ends (SIGTERM), the music's volume.
// Usage: zantor_input_probe MUSIC_DIRECTORY/ (the directory of musik.mp3, with a slash)
#include "platform/Clock.h"
#include "platform/desktop/SdlWindow.h"
#include "settings/Settings.h"
#include "shell/Shell.h"

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
    g_Directory = argv[1];
    platform::CSystemClock clock;
    CShell shell(*window, clock);
    if (!shell.Start()) {
        std::fprintf(stderr, "no device\n");
        return 1;
    }
    CSound& sound = shell.GetSound();
    sound.LoadMusic("musik");
    sound.PlayMusic("musik", true);
    shell.GetLoop().SetProgramState(2); // neither menu nor game: only the shell's own keys act
    const CInput& input = shell.GetInput();
    int x = input.GetMouseX();
    int y = input.GetMouseY();
    std::printf("cursor %d %d\n", x, y);
    std::fflush(stdout);
    while (shell.RunPass() != CFrameLoop::EPass::Quit) {
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
