// Makes the Standard data set's pictures, meshes, sounds and music, the same bytes on every
// run, into an output directory. The music is written as WAV; the build encodes it as MP3.
//
// Usage: zantor-assetgen OUTPUT_DIRECTORY SETTINGS_FILE MUSIC_WAV [LIST]
//        zantor-assetgen --icon SIZE FILE.png       (the window icon at SIZE x SIZE)
//        zantor-assetgen --tone FILE.wav SECONDS    (a test tone)
//
// LIST receives the names of the files written into OUTPUT_DIRECTORY, one a line: the
// install takes exactly these from the stage, never a file a player left there.
#include "Assets.h"
#include "platform/Path.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A tone for tests: a chord of a few seconds, stereo at 44100 Hz.
assetgen::SSound TestTone(double seconds) {
    assetgen::SSound tone;
    tone.channels = 2;
    const auto frames = static_cast<std::size_t>(seconds * 44100);
    tone.samples.resize(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / 44100;
        const double value =
            0.3 * std::sin(2 * 3.14159265 * 440 * t) + 0.2 * std::sin(2 * 3.14159265 * 660 * t);
        tone.samples[i * 2] = tone.samples[i * 2 + 1] = static_cast<std::int16_t>(value * 32767);
    }
    return tone;
}

bool Fail(const std::string& path) {
    std::fprintf(stderr, "zantor-assetgen: cannot write %s\n", path.c_str());
    return false;
}

bool WriteAll(const std::string& directory, const std::string& settings,
              const std::string& musicWav, std::string& names) {
    for (const assetgen::SPicture& picture : assetgen::MakePictures()) {
        const std::string path = directory + "/" + picture.name;
        if (!platform::SavePng(picture.image, path)) {
            return Fail(path);
        }
        names += picture.name + "\n";
    }
    for (const assetgen::SMesh& mesh : assetgen::MakeMeshes(settings)) {
        const std::string path = directory + "/" + mesh.name;
        platform::FilePtr file = platform::OpenFile(path, "wb");
        if (!file ||
            std::fwrite(mesh.bytes.data(), 1, mesh.bytes.size(), file.get()) != mesh.bytes.size()) {
            return Fail(path);
        }
        names += mesh.name + "\n";
    }
    for (const assetgen::SSound& sound : assetgen::MakeSounds()) {
        const std::string path = directory + "/" + sound.name + ".wav";
        if (!assetgen::WriteWave(path, sound)) {
            return Fail(path);
        }
        names += sound.name + ".wav\n";
    }
    return assetgen::WriteWave(musicWav, assetgen::MakeMusic()) || Fail(musicWav);
}

bool WriteText(const std::string& path, const std::string& text) {
    platform::FilePtr file = platform::OpenFile(path, "wb");
    return (file && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
            std::fflush(file.get()) == 0) ||
           Fail(path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--tone") {
        return assetgen::WriteWave(argv[2], TestTone(std::atof(argv[3]))) ? 0 : 1;
    }
    if (argc == 4 && std::string(argv[1]) == "--icon") {
        const int size = std::atoi(argv[2]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "zantor-assetgen: no icon size: %s\n", argv[2]);
            return 2;
        }
        return platform::SavePng(assetgen::MakeIcon(size), argv[3]) || Fail(argv[3]) ? 0 : 1;
    }
    if ((argc != 4 && argc != 5) || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: zantor-assetgen OUTPUT_DIRECTORY SETTINGS_FILE MUSIC_WAV [LIST]\n"
                     "       zantor-assetgen --icon SIZE FILE.png\n"
                     "       zantor-assetgen --tone FILE.wav SECONDS\n");
        return 2;
    }
    std::string names;
    if (!WriteAll(argv[1], argv[2], argv[3], names)) {
        return 1;
    }
    return argc == 4 || WriteText(argv[4], names) ? 0 : 1;
}
