#include "audio/Sound.h"
#include "EngineSupport.h"

namespace {

// The bytes of a WAV file: the RIFF header and the chunks given.
struct SChunk {
    std::string id;
    std::string body;
    std::uint32_t claimedSize = UINT32_MAX; // the size written, if not the body's
    bool pad = true;                        // a pad byte after an odd-sized body
};

std::string Le32(std::uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) {
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    return s;
}

std::string Le16(std::uint16_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

// A PCM "fmt " body: channels, rate, bits.
std::string PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    const auto align = static_cast<std::uint16_t>(channels * bits / 8);
    return Le16(1) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}

std::string Wave(const std::vector<SChunk>& chunks, const std::string& riff = "RIFF",
                 const std::string& wave = "WAVE") {
    std::string body = wave;
    for (const SChunk& chunk : chunks) {
        body += chunk.id;
        body += Le32(chunk.claimedSize == UINT32_MAX ? static_cast<std::uint32_t>(chunk.body.size())
                                                     : chunk.claimedSize);
        body += chunk.body;
        if (chunk.pad && chunk.body.size() % 2 == 1) {
            body += '\0';
        }
    }
    return riff + Le32(static_cast<std::uint32_t>(body.size())) + body;
}

// One second of 16-bit mono silence at 8000 Hz.
std::string OneSecond() {
    return Wave({{"fmt ", PcmFormat(1, 8000, 16)}, {"data", std::string(16000, '\0')}});
}

class Sound : public test::CEngineTest {
  protected:
    Sound() {
        m_Sound.Init(&m_Window);
        g_Log.Open();
    }
    void WriteWave(const std::string& name, const std::string& bytes) {
        test::WriteFile(m_DataDir / (name + ".wav"), bytes);
    }
    void Advance(double seconds) { m_Window.Script().audioClock += seconds; }
    platform::ISoundBuffer& Buffer(const char* name, int index) {
        const SSoundInfo* info = m_Sound.GetSound(name);
        return index < 0 ? *info->pBuffer : *info->Duplicates.at(static_cast<std::size_t>(index));
    }

    CSound m_Sound;
};

TEST_F(Sound, TenthPlayOfAPoolOfNineFindsNoBuffer) {
    WriteWave("paddel", OneSecond());
    m_Sound.LoadSound("paddel", 8);
    EXPECT_EQ(test::LogRows(), "");
    for (int i = 0; i < 10; ++i) {
        m_Sound.Play("paddel", false);
    }
    EXPECT_TRUE(Buffer("paddel", -1).IsPlaying());
    EXPECT_TRUE(Buffer("paddel", 7).IsPlaying());
    EXPECT_EQ(test::LogRows(),
              test::ErrorRow("Kein freier Buffer gefunden!") + test::ErrorRow("paddel"));
}

TEST_F(Sound, FirstSilentBufferOfThePoolIsTaken) {
    WriteWave("ploing", OneSecond());
    m_Sound.LoadSound("ploing", 4);
    m_Sound.Play("ploing", false); // main, until 1.0
    Advance(0.1);
    m_Sound.Play("ploing", false); // duplicate 0, until 1.1
    Advance(0.95);
    m_Sound.Play("ploing", false); // main again: it has ended
    EXPECT_FALSE(Buffer("ploing", 1).IsPlaying());
    Advance(0.15);
    EXPECT_FALSE(Buffer("ploing", 0).IsPlaying());
    m_Sound.Play("ploing", false); // duplicate 0 again, not duplicate 1
    EXPECT_TRUE(Buffer("ploing", 0).IsPlaying());
    EXPECT_FALSE(Buffer("ploing", 1).IsPlaying());
}

TEST_F(Sound, LowerCaseHeadersListChunksAndPadBytesLoad) {
    WriteWave("a", Wave({{"fmt ", PcmFormat(2, 22050, 8)}, {"data", std::string(400, 'x')}}, "riff",
                        "wave"));
    WriteWave("b", Wave({{"LIST", "INFOISFT\x07\0\0\0Zantor\0"},
                         {"fmt ", PcmFormat(1, 8000, 16)},
                         {"odd ", "123"},
                         {"data", std::string(800, '\0')}}));
    m_Sound.LoadSound("a", 0);
    m_Sound.LoadSound("b", 0);
    EXPECT_EQ(test::LogRows(), "");
    EXPECT_NE(m_Sound.GetSound("a")->pBuffer, nullptr);
    EXPECT_NE(m_Sound.GetSound("b")->pBuffer, nullptr);
}

TEST_F(Sound, ExtensibleFormatChunkIsRefused) {
    WriteWave("x", Wave({{"fmt ", PcmFormat(2, 44100, 16) + std::string(24, '\0')},
                         {"data", std::string(400, '\0')}}));
    m_Sound.LoadSound("x", 1);
    const std::string path = g_Directory + "x.wav";
    EXPECT_EQ(test::LogRows(),
              test::ErrorRow("DirectAudio: Datei hat falsches Format!") + test::ErrorRow(path) +
                  test::ErrorRow("Sound konnte nicht geladen werden!:") + test::ErrorRow(path) +
                  test::ErrorRow("Clon konnte nicht erstellt werden!"));
    m_Sound.Play("x", false); // nothing to play, nothing breaks
}

TEST_F(Sound, NamesLoadedTwiceAreReplaced) {
    WriteWave("klick", OneSecond());
    m_Sound.LoadSound("klick", 4);
    m_Sound.Play("klick", false);
    m_Sound.LoadSound("klick", 2);
    EXPECT_EQ(test::LogRows(), test::ErrorRow("Sound wurde zweimal geöffnet!") +
                                   test::ErrorRow(g_Directory + "klick.wav"));
    EXPECT_EQ(m_Sound.GetSound("klick")->Duplicates.size(), 2u);
    EXPECT_FALSE(Buffer("klick", -1).IsPlaying()); // the new buffers
    m_Sound.Play("klick", false);
    EXPECT_TRUE(Buffer("klick", -1).IsPlaying());
}

TEST_F(Sound, MissingFileFallsBackToStandardAndIsReportedFromThere) {
    test::WriteFile(m_Dir.Path() / "Standard" / "wall.wav", OneSecond());
    m_Sound.LoadSound("wall", 1);
    EXPECT_EQ(test::LogRows(), "");
    m_Sound.LoadSound("none", 1);
    EXPECT_EQ(test::LogRows(), test::ErrorRow("DirectAudio: Fehler beim öffnen der Datei:") +
                                   test::ErrorRow("Standard\\none.wav") +
                                   test::ErrorRow("Sound konnte nicht geladen werden!:") +
                                   test::ErrorRow("Standard\\none.wav") +
                                   test::ErrorRow("Clon konnte nicht erstellt werden!"));
}

TEST_F(Sound, VolumeStepsThatLeaveTheRangeAreNotMade) {
    WriteWave("s", OneSecond());
    m_Sound.LoadSound("s", 1);
    Buffer("s", -1).SetVolume(-9990);
    Buffer("s", 0).SetVolume(-8);
    m_Sound.ChangeVolume(-16);
    EXPECT_EQ(Buffer("s", -1).GetVolume(), -9990);
    EXPECT_EQ(Buffer("s", 0).GetVolume(), -24);
    m_Sound.ChangeVolume(16);
    m_Sound.ChangeVolume(16);
    EXPECT_EQ(Buffer("s", -1).GetVolume(), -9958);
    EXPECT_EQ(Buffer("s", 0).GetVolume(), -8); // -24 → -8, then +16 would pass 0
    Buffer("s", 0).SetVolume(-16);
    m_Sound.ChangeVolume(16);
    EXPECT_EQ(Buffer("s", 0).GetVolume(), 0);
    m_Sound.ChangeVolume(2000000000); // no overflow, simply refused
    EXPECT_EQ(Buffer("s", 0).GetVolume(), 0);
}

TEST_F(Sound, HostileFilesAreReportedAndNeverReadPastTheirEnd) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"empty", ""},
        {"short", "RIFF\x04\0\0\0WA"},
        {"notriff", "RIFX" + Le32(4) + "WAVE"},
        {"notwave", "RIFF" + Le32(4) + "AVI "},
        {"nofmt", Wave({{"data", std::string(100, '\0')}})},
        {"smallfmt",
         Wave({{"fmt ", PcmFormat(1, 8000, 16).substr(0, 12)}, {"data", std::string(100, '\0')}})},
        {"nodata", Wave({{"fmt ", PcmFormat(1, 8000, 16)}})},
        {"huge", Wave({{"fmt ", PcmFormat(1, 8000, 16)},
                       {"LIST", "abcd", 0xFFFFFFF0u},
                       {"data", std::string(100, '\0')}})},
        {"float", Wave({{"fmt ", Le16(3) + PcmFormat(1, 8000, 32).substr(2)},
                        {"data", std::string(100, '\0')}})},
        {"header", "RIFF" + Le32(100) + "WAVEfmt " + Le32(16) + "\x01"},
    };
    for (const auto& [name, bytes] : files) {
        WriteWave(name, bytes);
        m_Sound.LoadSound(name.c_str(), 2);
        EXPECT_EQ(m_Sound.GetSound(name)->pBuffer, nullptr) << name;
        EXPECT_NE(test::LogRows().find("Sound konnte nicht geladen werden!:"), std::string::npos)
            << name;
        m_Sound.Play(name.c_str(), false);
        g_Log.Open();
    }
}

TEST_F(Sound, DataChunkLongerThanTheFileLoadsWhatIsThere) {
    WriteWave("cut", Wave({{"fmt ", PcmFormat(1, 8000, 16)},
                           {"data", std::string(8000, '\0'), 0x7FFFFFFFu}}));
    m_Sound.LoadSound("cut", 0);
    EXPECT_EQ(test::LogRows(), test::ErrorRow("DirectAudio: Datei ist kürzer als ihr Datenblock:") +
                                   test::ErrorRow(g_Directory + "cut.wav"));
    m_Sound.Play("cut", false);
    Advance(0.49);
    EXPECT_TRUE(Buffer("cut", -1).IsPlaying());
    Advance(0.02);
    EXPECT_FALSE(Buffer("cut", -1).IsPlaying()); // half a second was there
}

TEST(SoundWithoutDevice, GoesOnSilentWithRowsFromCheckInit) {
    test::CScratchDir dir;
    g_Log.Open();
    platform::CHeadlessWindow window(640, 480);
    window.Script().noSoundDevice = true;
    CSound sound;
    sound.Init(&window);
    sound.LoadSound("ball", 4);
    sound.Play("ball", false);
    sound.ChangeVolume(-100);
    sound.LoadMusic("musik");
    sound.PlayMusic("musik", true);
    sound.Update();
    sound.ChangeMusicVolume(-100);
    const std::string rows = test::LogRows();
    EXPECT_TRUE(rows.starts_with(test::ErrorRow("Direct Audio fehlerhaft initialisiert!") +
                                 test::ErrorRow("Direct Audio fehlerhaft initialisiert!")));
    EXPECT_NE(rows.find("Musik konnte nicht geladen werden!"), std::string::npos);
}

// Music on the silent device: it plays for its length on the test's clock.
class Music : public Sound {
  protected:
    Music() {
        std::filesystem::copy_file(std::filesystem::path(platform::ProgramPath()).parent_path() /
                                       "tone.mp3",
                                   m_DataDir / "musik.mp3");
    }
    platform::IMusicGraph& Player() { return *m_Sound.GetMusic("musik")->pGraph; }
};

TEST_F(Music, LoopingPieceStartsAgainWithinAFrameOfItsEnd) {
    m_Sound.LoadMusic("musik");
    m_Sound.PlayMusic("musik", true);
    EXPECT_EQ(test::LogRows(), "");
    const std::int64_t duration = Player().GetDuration();
    EXPECT_NEAR(static_cast<double>(duration), 2.0e7, 0.1e7);
    for (int loop = 0; loop < 5; ++loop) {
        for (double t = 0; t < 2.0; t += 0.016) {
            Advance(0.016);
            m_Sound.Update();
        }
        EXPECT_LT(Player().GetCurrentPosition(), 0.05e7) << "loop " << loop;
    }
}

TEST_F(Music, PieceWithoutLoopStaysAtItsEnd) {
    m_Sound.LoadMusic("musik");
    m_Sound.PlayMusic("musik", false);
    Advance(3.0);
    m_Sound.Update();
    EXPECT_EQ(Player().GetCurrentPosition(), Player().GetDuration());
}

TEST_F(Music, VolumeStopsShortOfBothEnds) {
    m_Sound.LoadMusic("musik");
    m_Sound.ChangeMusicVolume(16);
    EXPECT_EQ(Player().GetVolume(), 0);
    for (int frame = 0; frame < 2000; ++frame) {
        m_Sound.ChangeMusicVolume(-17); // S held with frames of 17 ms
    }
    EXPECT_EQ(Player().GetVolume(), -9996); // one more step would pass -10000
}

TEST_F(Music, LoadedTwiceIsReportedAndLoopsOnlyAfterPlay) {
    m_Sound.LoadMusic("musik");
    m_Sound.PlayMusic("musik", true);
    m_Sound.LoadMusic("musik");
    EXPECT_EQ(test::LogRows(), test::ErrorRow("Musik wurde schon geladen!"));
    EXPECT_FALSE(m_Sound.GetMusic("musik")->bLoop);
    m_Sound.PlayMusic("musik", true);
    EXPECT_TRUE(m_Sound.GetMusic("musik")->bLoop);
}

TEST_F(Music, FilesThatAreNoMp3AreReportedAndLeftAlone) {
    for (const std::string& bytes : {std::string(), std::string("Dies ist kein Lied.\n"),
                                     std::string(5000, '\xFF'), OneSecond()}) {
        test::WriteFile(m_DataDir / "musik.mp3", bytes);
        m_Sound.LoadMusic("musik");
        m_Sound.PlayMusic("musik", true);
        m_Sound.Update();
        m_Sound.ChangeMusicVolume(-100);
        const std::string rows = test::LogRows();
        EXPECT_NE(rows.find(test::ErrorRow("Musik konnte nicht geladen werden!") +
                            test::ErrorRow("musik")),
                  std::string::npos)
            << rows;
        EXPECT_NE(rows.find(test::ErrorRow("lpControl fehlerhaft!")), std::string::npos);
        g_Log.Open();
    }
}

} // namespace
