// The bytes as an MP3 file: opened with CMp3Decoder, decoded a little, and wound back to its
// start as looping music is.
#include "FuzzSupport.h"
#include "platform/media/Mp3Decoder.h"

#include <array>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::CEnvironment environment;
    static const std::string path = (environment.DataDir() / "fuzz.mp3").string();
    fuzz::WriteFile(path, fuzz::AsText(data, size));

    platform::CMp3Decoder decoder;
    std::string error;
    if (!decoder.Open(path, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    FUZZ_CHECK(decoder.GetRate() >= 8000 && decoder.GetRate() <= 48000);
    FUZZ_CHECK(decoder.GetChannels() == 1 || decoder.GetChannels() == 2);
    // The music players give the duration in units of 100 ns: length × 10^7 must be a number.
    FUZZ_CHECK(decoder.GetLength() > 0);
    FUZZ_CHECK(decoder.GetLength() <= std::numeric_limits<std::int64_t>::max() / 10000000);

    std::array<std::uint8_t, 4608> chunk{};
    for (int i = 0; i < 4; ++i) {
        FUZZ_CHECK(decoder.Read(chunk.data(), chunk.size()) <= chunk.size());
    }
    if (decoder.Seek(0)) {
        FUZZ_CHECK(decoder.Read(chunk.data(), chunk.size()) <= chunk.size());
    }
    return 0;
}
