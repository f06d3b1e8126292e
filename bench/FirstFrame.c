/* Preloaded into the game by the bench's start-up measurement. It stands in for
 * SDL_GL_SwapWindow, which shows every frame: the first call writes the CLOCK_MONOTONIC time
 * in nanoseconds to the file named by ZANTOR_FIRST_FRAME_FILE; after
 * ZANTOR_FIRST_FRAME_FRAMES further frames (30 without it), or a second after the first,
 * it raises SIGTERM once, which the game takes as a close request and ends in order. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

typedef struct SDL_Window SDL_Window;
typedef void (*SwapFunction)(SDL_Window*);

static long long s_FirstFrame = -1;
static long s_Frames = 0;
static int s_Ended = 0;

static long long Now(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

static void WriteStamp(long long when) {
    const char* path = getenv("ZANTOR_FIRST_FRAME_FILE");
    if (path == NULL || path[0] == '\0') {
        return;
    }
    char text[32];
    const int length = snprintf(text, sizeof text, "%lld\n", when);
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    if (write(fd, text, (size_t)length) != length) {
        /* The bench finds the file short and says so. */
    }
    close(fd);
}

static long FramesAfterFirst(void) {
    const char* frames = getenv("ZANTOR_FIRST_FRAME_FRAMES");
    const long value = frames != NULL ? strtol(frames, NULL, 10) : 0;
    return value > 0 ? value : 30;
}

void SDL_GL_SwapWindow(SDL_Window* window) {
    static SwapFunction s_Real = NULL;
    const long long now = Now();
    if (s_Real == NULL) {
        s_Real = (SwapFunction)dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
    }
    if (s_Real != NULL) {
        s_Real(window);
    }
    if (s_FirstFrame < 0) {
        s_FirstFrame = now;
        WriteStamp(now);
        return;
    }
    ++s_Frames;
    if (!s_Ended && (s_Frames >= FramesAfterFirst() || now - s_FirstFrame >= 1000000000LL)) {
        s_Ended = 1;
        raise(SIGTERM);
    }
}
