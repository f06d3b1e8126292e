#include "HeadlessWindow.h"
#include "platform/media/Mp3Decoder.h"

#include <algorithm>

// The silent sound device of the headless window: nothing is heard, but buffers and music
// play for their length on the script's clock, which the test advances.
namespace platform {
namespace {

bool InRange(long volume) {
    return volume >= kVolumeMin && volume <= kVolumeMax;
}

class CSilentBuffer final : public ISoundBuffer {
  public:
    CSilentBuffer(std::shared_ptr<SHeadlessScript> script, double length)
        : m_Script(std::move(script)), m_Length(length) {}

    bool IsPlaying() override {
        return m_bStarted && (m_bLoop || m_Script->audioClock < m_Start + m_Length);
    }
    bool Play(bool loop) override {
        if (!IsPlaying()) {
            m_bStarted = true;
            m_bLoop = loop;
            m_Start = m_Script->audioClock;
        }
        return true;
    }
    long GetVolume() const override { return m_Volume; }
    bool SetVolume(long volume) override {
        if (!InRange(volume)) {
            return false;
        }
        m_Volume = volume;
        return true;
    }
    double GetLength() const { return m_Length; }

  private:
    std::shared_ptr<SHeadlessScript> m_Script;
    double m_Length;
    bool m_bStarted = false;
    bool m_bLoop = false;
    double m_Start = 0.0;
    long m_Volume = 0;
};

class CSilentMusic final : public IMusicGraph {
  public:
    CSilentMusic(std::shared_ptr<SHeadlessScript> script, std::int64_t duration)
        : m_Script(std::move(script)), m_Duration(duration) {}

    bool Run() override {
        if (!m_bRunning) {
            m_bRunning = true;
            m_Start = m_Script->audioClock;
        }
        return true;
    }
    std::int64_t GetCurrentPosition() override {
        if (!m_bRunning) {
            return m_Offset;
        }
        const auto played =
            static_cast<std::int64_t>((m_Script->audioClock - m_Start) * 10000000.0);
        return std::min(m_Offset + played, m_Duration); // it stops at its end
    }
    std::int64_t GetDuration() const override { return m_Duration; }
    bool SetCurrentPosition(std::int64_t position) override {
        m_Offset = std::clamp<std::int64_t>(position, 0, m_Duration);
        m_Start = m_Script->audioClock;
        return true;
    }
    long GetVolume() const override { return m_Volume; }
    bool SetVolume(long volume) override {
        if (!InRange(volume)) {
            return false;
        }
        m_Volume = volume;
        return true;
    }
    void SetLooping(bool) override {}

  private:
    std::shared_ptr<SHeadlessScript> m_Script;
    std::int64_t m_Duration;
    bool m_bRunning = false;
    double m_Start = 0.0;
    std::int64_t m_Offset = 0;
    long m_Volume = 0;
};

class CSilentDevice final : public IDirectSound {
  public:
    explicit CSilentDevice(std::shared_ptr<SHeadlessScript> script) : m_Script(std::move(script)) {}

    std::unique_ptr<ISoundBuffer> CreateBuffer(const SWaveFormat& format, const std::uint8_t*,
                                               std::size_t bytes) override {
        bytes -= IsPlayablePcm(format) ? bytes % format.blockAlign : 0;
        if (!IsPlayablePcm(format) || bytes == 0) {
            return nullptr;
        }
        const double length = static_cast<double>(bytes) / format.blockAlign / format.samplesPerSec;
        return std::make_unique<CSilentBuffer>(m_Script, length);
    }
    std::unique_ptr<ISoundBuffer> DuplicateBuffer(ISoundBuffer& original) override {
        auto* buffer = dynamic_cast<CSilentBuffer*>(&original);
        return buffer != nullptr ? std::make_unique<CSilentBuffer>(m_Script, buffer->GetLength())
                                 : nullptr;
    }
    std::unique_ptr<IMusicGraph> OpenMusic(std::string_view path, std::string& error) override {
        CMp3Decoder decoder;
        if (!decoder.Open(path, error)) {
            return nullptr;
        }
        return std::make_unique<CSilentMusic>(m_Script,
                                              decoder.GetLength() * 10000000 / decoder.GetRate());
    }

  private:
    std::shared_ptr<SHeadlessScript> m_Script;
};

} // namespace

std::unique_ptr<IDirectSound> CHeadlessWindow::CreateSoundDevice(std::string& error) {
    if (m_Script->noSoundDevice) {
        error = "no sound output device can be opened";
        return nullptr;
    }
    return std::make_unique<CSilentDevice>(m_Script);
}

} // namespace platform
