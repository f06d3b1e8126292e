// For the kill test: writes rising values into a score file with the game's own writer,
// as fast as it can, until it is killed. Usage: zantor_score_writer FILE START
#include "game/ScoreFile.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zantor_score_writer FILE START\n");
        return 2;
    }
    for (int value = std::atoi(argv[2]);; ++value) {
        if (!WriteScoreFile(argv[1], value)) {
            return 1;
        }
    }
}
