// The real sound device on OpenAL Soft. Without a sound card these run on OpenAL's null
// output (ALSOFT_DRIVERS=null); the wave-writer test runs with a configuration that sends
// the mix into a WAV file (ALSOFT_CONF) and reads it back.
#include "TestSupport.h"
#include "platform/Path.h"
#include "platform/SoundDevice.h"
#include "platform/desktop/OpenAlSound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::string TestMusic() {
    return (std::filesystem::path(platform::ProgramPath()).parent_path() / "tone.mp3").string();
}

// seconds of a 440 Hz tone, 16-bit mono at 22050 Hz.
std::vector<std::uint8_t> Tone(double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * 22050);
    std::vector<std::uint8_t> bytes(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(
            12000 * std::sin(2 * 3.14159265 * 440 * static_cast<double>(i) / 22050));
        bytes[i * 2] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[i * 2 + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }
    return bytes;
}

const platform::SWaveFormat kMono16{1, 1, 22050, 44100, 2, 16, 0};

// Polls the condition every 10 ms until it holds; false when it still does not after 10 s.
template <typename Condition>
bool Await(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// The seconds of sound in a WAV file that is still being written: its data so far over the
// byte rate of its header (0 while the header has not reached the file).
double SecondsWritten(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(128, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t data = head.find("data");
    if (head.size() < 32 || data == std::string::npos) {
        return 0;
    }
    std::uint32_t rate = 0;
    for (int i = 3; i >= 0; --i) {
        rate = rate << 8 | static_cast<unsigned char>(head[28 + static_cast<std::size_t>(i)]);
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || rate == 0 || size < data + 8) {
        return 0;
    }
    return static_cast<double>(size - data - 8) / rate;
}

class OpenAl : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        m_Device = platform::CreateOpenAlSoundDevice(error);
        ASSERT_NE(m_Device, nullptr) << error;
    }
    std::unique_ptr<platform::IDirectSound> m_Device;
};

TEST_F(OpenAl, EveryPoolOfTheGamePlaysAndFallsSilentAtItsEnd) {
    const std::vector<std::uint8_t> tone = Tone(0.2);
    // The game's pools: ball 4, ploing 4, wall 5, newball 4, launch 4, paddel 8, gameover 4,
    // highscore 4, next 4, klick 4.
    for (const int duplicates : {4, 4, 5, 4, 4, 8, 4, 4, 4, 4}) {
        auto main = m_Device->CreateBuffer(kMono16, tone.data(), tone.size());
        ASSERT_NE(main, nullptr);
        std::vector<std::unique_ptr<platform::ISoundBuffer>> pool;
        for (int i = 0; i < duplicates; ++i) {
            pool.push_back(m_Device->DuplicateBuffer(*main));
            ASSERT_NE(pool.back(), nullptr);
        }
        pool.push_back(std::move(main));
        for (const auto& buffer : pool) {
            EXPECT_FALSE(buffer->IsPlaying());
            EXPECT_TRUE(buffer->Play(false));
            EXPECT_TRUE(buffer->IsPlaying());
        }
    }
    auto last = m_Device->CreateBuffer(kMono16, tone.data(), tone.size());
    last->Play(false);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Await([&] { return !last->IsPlaying(); })) << "still playing after 10 s";
    // At its end, not before: OpenAL mixes no further than the time that has passed.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
    EXPECT_TRUE(last->Play(false)); // from its beginning again
    EXPECT_TRUE(last->IsPlaying());
}

TEST_F(OpenAl, OnlyEightAndSixteenBitPcmMakesABuffer) {
    const std::vector<std::uint8_t> data(4000, 0x80);
    EXPECT_NE(m_Device->CreateBuffer({1, 2, 11025, 22050, 2, 8, 0}, data.data(), data.size()),
              nullptr);
    EXPECT_NE(m_Device->CreateBuffer({1, 2, 44100, 176400, 4, 16, 0}, data.data(), data.size()),
              nullptr);
    EXPECT_EQ(m_Device->CreateBuffer({3, 1, 44100, 176400, 4, 32, 0}, data.data(), data.size()),
              nullptr);
    EXPECT_EQ(m_Device->CreateBuffer({1, 6, 44100, 529200, 12, 16, 0}, data.data(), data.size()),
              nullptr);
    EXPECT_EQ(m_Device->CreateBuffer({1, 1, 44100, 88200, 2, 16, 0}, data.data(), 1), nullptr);
    EXPECT_EQ(m_Device->CreateBuffer({}, data.data(), data.size()), nullptr);
}

TEST_F(OpenAl, VolumeOutsideTheRangeIsRefused) {
    const std::vector<std::uint8_t> tone = Tone(0.1);
    auto buffer = m_Device->CreateBuffer(kMono16, tone.data(), tone.size());
    EXPECT_TRUE(buffer->SetVolume(-10000));
    EXPECT_FALSE(buffer->SetVolume(-10001));
    EXPECT_FALSE(buffer->SetVolume(1));
    EXPECT_EQ(buffer->GetVolume(), -10000);
}

TEST_F(OpenAl, MusicRunsOnItsOwnAndSeeksBackToItsBeginning) {
    std::string error;
    auto music = m_Device->OpenMusic(TestMusic(), error);
    ASSERT_NE(music, nullptr) << error;
    EXPECT_NEAR(static_cast<double>(music->GetDuration()), 2.0e7, 0.1e7);
    EXPECT_EQ(music->GetCurrentPosition(), 0);
    const auto start = std::chrono::steady_clock::now();
    music->Run();
    std::int64_t position = 0;
    ASSERT_TRUE(Await([&] { return (position = music->GetCurrentPosition()) > 0.2e7; }))
        << "at " << position << " after 10 s";
    // It plays in real time, not faster (give or take OpenAL's buffer).
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(static_cast<double>(position), (elapsed.count() + 0.2) * 1e7);
    music->SetCurrentPosition(0);
    EXPECT_LT(music->GetCurrentPosition(), 0.1e7);
    EXPECT_FALSE(music->SetVolume(100));
    EXPECT_TRUE(music->SetVolume(-2000));
}

TEST_F(OpenAl, LoopingMusicGoesOnPastItsEndWithoutAGap) {
    std::string error;
    auto music = m_Device->OpenMusic(TestMusic(), error);
    ASSERT_NE(music, nullptr) << error;
    music->SetLooping(true);
    music->Run();
    // Frames of 50 ms, as slow as a busy machine might make them, for 2.6 seconds: the
    // sleeps are the game's frames, and the time they take is what is measured (the piece
    // must reach its end and go on, 0.6 s into its second turn, with no gap between).
    for (int frame = 0; frame < 52; ++frame) {
        std::this_thread::sleep_for(50ms);
        if (music->GetCurrentPosition() >= music->GetDuration()) {
            music->SetCurrentPosition(0);
            music->Run();
        }
    }
    const std::int64_t position = music->GetCurrentPosition();
    EXPECT_GT(position, 0.3e7); // 0.6 s into the second turn, give or take
    EXPECT_LT(position, 1.0e7);
}

TEST_F(OpenAl, MusicFilesThatAreNoMp3AreRefused) {
    test::CScratchDir dir;
    test::WriteFile("text.mp3", "Dies ist kein Lied.\n");
    test::WriteFile("empty.mp3", "");
    std::string error;
    EXPECT_EQ(m_Device->OpenMusic("text.mp3", error), nullptr);
    EXPECT_EQ(m_Device->OpenMusic("empty.mp3", error), nullptr);
    EXPECT_EQ(m_Device->OpenMusic("missing.mp3", error), nullptr);
    EXPECT_FALSE(error.empty());
}

// The mean absolute sample value of a stretch of a 16-bit WAV file's data.
double Loudness(const std::string& wav, double fromSeconds, double toSeconds, int rate,
                int channels) {
    const std::size_t data = wav.find("data");
    if (data == std::string::npos) {
        return 0;
    }
    const auto* samples = reinterpret_cast<const std::int16_t*>(wav.data() + data + 8);
    const std::size_t count = (wav.size() - data - 8) / 2;
    const auto from = static_cast<std::size_t>(fromSeconds * rate * channels);
    const auto to = std::min(count, static_cast<std::size_t>(toSeconds * rate * channels));
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) {
        sum += std::abs(static_cast<double>(samples[i]));
    }
    return to > from ? sum / static_cast<double>(to - from) : 0;
}

TEST(OpenAlOutput, SoundAndMusicReachTheOutput) {
    const char* out = std::getenv("ZANTOR_WAVE_OUT");
    if (std::getenv("ALSOFT_CONF") == nullptr || out == nullptr) {
        GTEST_SKIP() << "runs with OpenAL's wave writer only (see tests/CMakeLists.txt)";
    }
    {
        std::string error;
        auto device = platform::CreateOpenAlSoundDevice(error);
        ASSERT_NE(device, nullptr) << error;
        // Each part starts when the output holds the seconds before it.
        const std::vector<std::uint8_t> tone = Tone(0.5);
        auto sound = device->CreateBuffer(kMono16, tone.data(), tone.size());
        ASSERT_NE(sound, nullptr);
        ASSERT_TRUE(Await([&] { return SecondsWritten(out) >= 0.3; })); // silence first
        sound->Play(false);
        ASSERT_TRUE(Await([&] { return SecondsWritten(out) >= 1.1; }));
        auto music = device->OpenMusic(TestMusic(), error);
        ASSERT_NE(music, nullptr) << error;
        music->Run();
        ASSERT_TRUE(Await([&] { return SecondsWritten(out) >= 1.9; }));
    }
    const std::string wav = test::ReadFile(out);
    ASSERT_GT(wav.size(), 44u);
    const int rate = static_cast<unsigned char>(wav[24]) |
                     static_cast<unsigned char>(wav[25]) << 8 |
                     static_cast<unsigned char>(wav[26]) << 16;
    const int channels = static_cast<unsigned char>(wav[22]);
    const double silence = Loudness(wav, 0.05, 0.25, rate, channels);
    const double sound = Loudness(wav, 0.4, 0.7, rate, channels);
    const double afterSound = Loudness(wav, 0.95, 1.05, rate, channels);
    const double music = Loudness(wav, 1.3, 1.8, rate, channels);
    EXPECT_LT(silence, 50);
    EXPECT_GT(sound, 1000);
    EXPECT_LT(afterSound, 50);
    EXPECT_GT(music, 1000);
}

} // namespace
