// Loaded into the game with LD_PRELOAD: counts the frames it shows, one for every
// SDL_GL_SwapWindow, and keeps the count in the file that ZANTOR_SWAP_COUNT names, so that a
// test can read the frame rate from outside without the game's help.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

struct SDL_Window;

extern "C" __attribute__((visibility("default"))) void SDL_GL_SwapWindow(SDL_Window* window) {
    using SwapFunction = void (*)(SDL_Window*);
    static const auto real = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static const int file = [] {
        const char* path = std::getenv("ZANTOR_SWAP_COUNT");
        return path != nullptr ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    }();
    static unsigned long count = 0;
    if (real != nullptr) {
        real(window);
    }
    ++count;
    if (file >= 0) {
        char text[32];
        const int length = std::snprintf(text, sizeof text, "%20lu\n", count);
        if (length > 0 && pwrite(file, text, static_cast<std::size_t>(length), 0) < 0) {
            return; // the count is lost; the game goes on
        }
    }
}
