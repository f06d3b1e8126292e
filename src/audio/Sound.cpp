#include "Sound.h"

#include "platform/Path.h"
#include "platform/Translation.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// A sound file larger than this is no sound effect of the game.
constexpr std::size_t kMaxWaveFile = std::size_t{256} * 1024 * 1024;
// More duplicates than this cannot be meant.
constexpr int kMaxDuplicates = 256;

void LogRows(const char* message, const std::string& detail) {
    LogError(message);
    LogError(detail);
}

bool SameIdNoCase(const char* id, const char* expected) {
    for (int i = 0; i < 4; ++i) {
        const auto a = static_cast<unsigned char>(id[i]);
        const auto b = static_cast<unsigned char>(expected[i]);
        if (std::toupper(a) != std::toupper(b)) {
            return false;
        }
    }
    return true;
}

std::uint32_t ReadU32(const std::string& bytes, std::size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

long Clamped(long long value) {
    // Beyond long's range the device refuses it anyway; keep it refusable.
    return value < -1000000000LL  ? -1000000000L
           : value > 1000000000LL ? 1000000000L
                                  : static_cast<long>(value);
}

void Step(platform::ISoundBuffer* buffer, int delta) {
    if (buffer != nullptr) {
        buffer->SetVolume(Clamped(static_cast<long long>(buffer->GetVolume()) + delta));
    }
}

} // namespace

CSound::~CSound() {
    m_Sounds.clear();
    m_Music.clear();
    m_pDS.reset();
}

namespace {

constexpr int kSilent = -10000;

// The change as every buffer makes it: only when the new volume stays in the range.
int Changed(int volume, int delta) {
    const long long next = static_cast<long long>(volume) + delta;
    return next >= kSilent && next <= 0 ? static_cast<int>(next) : volume;
}

int Kept(int volume) {
    return std::clamp(volume, kSilent, 0);
}

} // namespace

int VolumePercent(int volume) {
    return (Kept(volume) - kSilent + 50) / 100;
}

void CSound::Init(platform::IWindow* window) {
    m_iVolume = Kept(ReadIniIntOr("Options", "Effektlautstaerke", 0));
    m_iMusicVolume = Kept(ReadIniIntOr("Options", "Musiklautstaerke", 0));
    std::string error = "no window";
    m_pDS = window != nullptr ? window->CreateSoundDevice(error) : nullptr;
    if (m_pDS) {
        m_bPrimary = true;
    } else {
        std::fprintf(stderr, TrFormat("zantor: keine Tonausgabe (%s); das Spiel bleibt stumm.\n"),
                     error.c_str());
    }
    CheckInit();
}

void CSound::CheckInit() {
    if (!m_pDS) {
        LogError("Direct Audio fehlerhaft initialisiert!");
    }
    if (!m_bPrimary) {
        LogError("Direct Audio fehlerhaft initialisiert!");
    }
}

void CSound::LoadSound(const char* name, int count) {
    CheckInit();
    const std::string path = DataFilePath(std::string(name) + ".wav");
    auto found = m_Sounds.find(name);
    if (found != m_Sounds.end()) {
        LogRows("Sound wurde zweimal geöffnet!", path);
    }
    SSoundInfo& entry = m_Sounds[name];
    entry = SSoundInfo{};
    if (count < 0 || count > kMaxDuplicates) {
        LogError("Speicher konnte nicht reserviert werden!");
        count = 0;
    }
    entry.iCount = count;
    entry.Duplicates.resize(static_cast<std::size_t>(count));

    if (!LoadWave(path.c_str(), &entry)) {
        LogRows("Sound konnte nicht geladen werden!:", path);
    }
    for (auto& duplicate : entry.Duplicates) {
        if (m_pDS && entry.pBuffer) {
            duplicate = m_pDS->DuplicateBuffer(*entry.pBuffer);
        }
        if (!duplicate) {
            LogError("Clon konnte nicht erstellt werden!");
        }
    }
    if (m_iVolume != 0) {
        Step(entry.pBuffer.get(), m_iVolume);
        for (const auto& duplicate : entry.Duplicates) {
            Step(duplicate.get(), m_iVolume);
        }
    }
}

void CSound::Play(const char* name, bool loop) {
    CheckInit();
    const auto found = m_Sounds.find(name);
    if (found == m_Sounds.end() || !found->second.pBuffer) {
        return; // a sound that was never loaded stays silent
    }
    SSoundInfo& entry = found->second;
    if (!entry.pBuffer->IsPlaying()) {
        entry.pBuffer->Play(loop);
        return;
    }
    for (const auto& duplicate : entry.Duplicates) {
        if (duplicate && !duplicate->IsPlaying()) {
            duplicate->Play(loop);
            return;
        }
    }
    LogRows("Kein freier Buffer gefunden!", name);
}

void CSound::SaveVolumes() const {
    const std::string effects = std::to_string(m_iVolume);
    const std::string music = std::to_string(m_iMusicVolume);
    const std::array<platform::SProfileEntry, 2> values{{
        {"Options", "Effektlautstaerke", effects},
        {"Options", "Musiklautstaerke", music},
    }};
    WriteIniValues(values);
}

void CSound::ChangeVolume(int delta) {
    m_iVolume = Changed(m_iVolume, delta);
    for (auto& [name, entry] : m_Sounds) {
        Step(entry.pBuffer.get(), delta);
        for (const auto& duplicate : entry.Duplicates) {
            Step(duplicate.get(), delta);
        }
    }
}

bool CSound::LoadWave(const char* path, SSoundInfo* entry) {
    CheckInit();
    const std::optional<std::string> file = platform::ReadWholeFile(path, kMaxWaveFile);
    if (!file) {
        LogRows("DirectAudio: Fehler beim öffnen der Datei:", path);
        return false;
    }
    const std::string& bytes = *file;
    if (bytes.size() < 12 || !SameIdNoCase(bytes.data(), "RIFF")) {
        LogRows("DirectAudio: Fehler, Datei enthält keinen Riff Header!", path);
        return false;
    }
    if (!SameIdNoCase(bytes.data() + 8, "WAVE")) {
        LogRows("DirectAudio: Fehler, Datei ist keine Wavedatei!", path);
        return false;
    }

    // The chunks, to the end of the file; a later format or data chunk replaces an earlier
    // one. No size is trusted beyond what the file holds.
    platform::SWaveFormat format;
    std::size_t dataAt = 0;
    std::size_t dataLength = 0;
    std::uint64_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const char* id = bytes.data() + pos;
        const std::uint64_t size = ReadU32(bytes, static_cast<std::size_t>(pos) + 4);
        pos += 8;
        const std::uint64_t available = bytes.size() - pos;
        if (SameIdNoCase(id, "FMT ")) {
            if (size > 18) {
                LogRows("DirectAudio: Datei hat falsches Format!", path);
                return false;
            }
            std::uint8_t record[18] = {};
            std::memcpy(record, bytes.data() + pos, std::min(size, available));
            const auto u16 = [&record](int at) {
                return static_cast<std::uint16_t>(record[at] | record[at + 1] << 8);
            };
            const auto u32 = [&u16](int at) {
                return std::uint32_t{u16(at)} | std::uint32_t{u16(at + 2)} << 16;
            };
            format =
                platform::SWaveFormat{u16(0), u16(2), u32(4), u32(8), u16(12), u16(14), u16(16)};
        } else if (SameIdNoCase(id, "DATA")) {
            if (size > available) {
                LogRows("DirectAudio: Datei ist kürzer als ihr Datenblock:", path);
            }
            dataAt = static_cast<std::size_t>(pos);
            dataLength = static_cast<std::size_t>(std::min(size, available));
        }
        // Chunks of odd size are followed by a pad byte.
        pos += size + (size & 1u);
    }

    entry->pBuffer =
        m_pDS ? m_pDS->CreateBuffer(format,
                                    reinterpret_cast<const std::uint8_t*>(bytes.data() + dataAt),
                                    dataLength)
              : nullptr;
    if (!entry->pBuffer) {
        LogRows("DirectAudio: Fehler beim erstellen des Soundbuffers für:", path);
        return false;
    }
    return true;
}

void CSound::LoadMusic(const char* name) {
    CheckInit();
    const std::string path = DataFilePath(std::string(name) + ".mp3");
    if (m_Music.contains(name)) {
        LogError("Musik wurde schon geladen!");
    }
    SMusicInfo& entry = m_Music[name];
    entry = SMusicInfo{};
    if (!m_pDS) {
        LogError("Keine Tonausgabe vorhanden.");
        LogRows("CoCreateInstance fehlgeschlagen!", name);
        LogRows("Musik konnte nicht geladen werden!", name);
        return;
    }
    std::string error;
    entry.pGraph = m_pDS->OpenMusic(path, error);
    if (!entry.pGraph) {
        LogRows("Musik konnte nicht geladen werden!", name);
    } else if (m_iMusicVolume != 0) {
        entry.pGraph->SetVolume(m_iMusicVolume);
    }
}

void CSound::PlayMusic(const char* name, bool loop) {
    CheckInit();
    const auto found = m_Music.find(name);
    SMusicInfo* entry = found != m_Music.end() ? &found->second : nullptr;
    if (entry == nullptr || !entry->pGraph) {
        LogError("lpControl fehlerhaft!");
        LogRows("Musik konnte nicht abgespielt werden:", name);
        return;
    }
    if (!entry->pGraph->Run()) {
        LogRows("Musik konnte nicht abgespielt werden:", name);
    }
    entry->bLoop = loop;
    entry->pGraph->SetLooping(loop);
}

void CSound::Update() {
    for (auto& [name, entry] : m_Music) {
        if (!entry.bLoop || !entry.pGraph) {
            continue;
        }
        if (entry.pGraph->GetCurrentPosition() >= entry.pGraph->GetDuration()) {
            entry.pGraph->SetCurrentPosition(0);
            entry.pGraph->Run();
        }
    }
}

void CSound::ChangeMusicVolume(int delta) {
    m_iMusicVolume = Changed(m_iMusicVolume, delta);
    for (auto& [name, entry] : m_Music) {
        if (entry.pGraph) {
            entry.pGraph->SetVolume(
                Clamped(static_cast<long long>(entry.pGraph->GetVolume()) + delta));
        }
    }
}

const SSoundInfo* CSound::GetSound(const std::string& name) const {
    const auto found = m_Sounds.find(name);
    return found != m_Sounds.end() ? &found->second : nullptr;
}

const SMusicInfo* CSound::GetMusic(const std::string& name) const {
    const auto found = m_Music.find(name);
    return found != m_Music.end() ? &found->second : nullptr;
}
