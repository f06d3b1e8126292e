// The bytes as a score file ("Highscore.dat"): read, then written anew and read back.
#include "FuzzSupport.h"
#include "game/ScoreFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::CEnvironment environment;
    const std::string path = environment.WriteData("Highscore.dat", fuzz::AsText(data, size));

    // The first four bytes, little-endian; missing ones count as 0.
    std::uint32_t expected = 0;
    for (std::size_t i = 0; i < 4 && i < size; ++i) {
        expected |= std::uint32_t{data[i]} << (8 * i);
    }
    const int value = ReadScoreFile(path);
    FUZZ_CHECK(static_cast<std::uint32_t>(value) == expected);

    const int next = static_cast<int>(~expected);
    FUZZ_CHECK(WriteScoreFile(path, next));
    FUZZ_CHECK(ReadScoreFile(path) == next);
    FUZZ_CHECK(fuzz::ReadFile(environment.DataDir() / "Highscore.dat").size() == 4);
    return 0;
}
