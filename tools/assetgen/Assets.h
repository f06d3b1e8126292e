#pragma once

// The parts of zantor-assetgen: each makes one kind of the Standard data set's files, in
// memory and the same on every run. AssetGen.cpp writes them.

#include "platform/Image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// A deterministic random source (xorshift32), so that every build makes the same bytes.
class CRandom {
  public:
    explicit CRandom(std::uint32_t seed) : m_State(seed != 0 ? seed : 1) {}
    std::uint32_t Next() {
        m_State ^= m_State << 13;
        m_State ^= m_State >> 17;
        m_State ^= m_State << 5;
        return m_State;
    }
    // A value in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 8) / 16777216.0; }

  private:
    std::uint32_t m_State;
};

// 16-bit PCM samples, interleaved when there are two channels.
struct SSound {
    std::string name; // the file's base name: "ball" is written as "ball.wav"
    int channels = 1;
    int rate = 44100;
    std::vector<std::int16_t> samples;
};

// The game's ten sound effects: "ball", "ploing", "wall", "newball", "launch", "paddel",
// "gameover", "highscore", "next", "klick".
std::vector<SSound> MakeSounds();

// The music "musik": stereo at 44100 Hz, at least 60 seconds, its end running into its
// beginning without a click so that it loops.
SSound MakeMusic();

// Writes a WAV file (RIFF, a 16-byte "fmt " chunk, "data"); false when it cannot be written.
bool WriteWave(const std::string& path, const SSound& sound);

// A picture and its file name ("start.png").
struct SPicture {
    std::string name;
    platform::SImage image;
};

// Every picture of the data set: background, buttons, pointer, arrows, particle atlas,
// cracks, the ball picture, the meshes' textures and the window icon.
std::vector<SPicture> MakePictures();

// The window icon ("zantor.png", 64 x 64) rendered at size x size from the same drawing: the
// desktop icons of the installed game.
platform::SImage MakeIcon(int size);

// A mesh file's bytes and its name ("ball.mdl").
struct SMesh {
    std::string name;
    std::string bytes;
};

// Every mesh of the data set; the blocks take their sizes from the settings file given.
std::vector<SMesh> MakeMeshes(const std::string& settingsPath);

} // namespace assetgen
