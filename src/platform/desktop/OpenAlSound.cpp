#include "OpenAlSound.h"
#include "platform/media/Mp3Decoder.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Sound on OpenAL Soft: one AL buffer per sound, shared by its duplicates, and one source per
// buffer of a pool; music decoded by libmpg123 on a thread of its own into a queue of AL
// buffers, about a second ahead, so that a slow frame never starves it.
namespace platform {

namespace {

float GainOf(long volume) {
    return static_cast<float>(std::pow(10.0, static_cast<double>(volume) / 2000.0));
}

bool InRange(long volume) {
    return volume >= kVolumeMin && volume <= kVolumeMax;
}

// The device and its context; every AL object holds it, so it goes last.
struct SAlContext {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    SAlContext() = default;
    SAlContext(const SAlContext&) = delete; // a copy would close the device twice
    SAlContext& operator=(const SAlContext&) = delete;
    ~SAlContext() {
        alcMakeContextCurrent(nullptr);
        if (context != nullptr) {
            alcDestroyContext(context);
        }
        if (device != nullptr) {
            alcCloseDevice(device);
        }
    }
};

// The samples of one sound, shared by the buffer and its duplicates.
struct SAlSamples {
    std::shared_ptr<SAlContext> context;
    ALuint buffer = 0;
    SAlSamples() = default;
    SAlSamples(const SAlSamples&) = delete; // a copy would delete the buffer twice
    SAlSamples& operator=(const SAlSamples&) = delete;
    ~SAlSamples() { alDeleteBuffers(1, &buffer); }
};

class COpenAlBuffer final : public ISoundBuffer {
  public:
    explicit COpenAlBuffer(std::shared_ptr<SAlSamples> samples) : m_Samples(std::move(samples)) {
        alGenSources(1, &m_Source);
        alSourcei(m_Source, AL_BUFFER, static_cast<ALint>(m_Samples->buffer));
        // Sounds are not placed in space: they play as they are.
        alSourcei(m_Source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(m_Source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    }
    ~COpenAlBuffer() override {
        alSourceStop(m_Source);
        alDeleteSources(1, &m_Source);
    }
    COpenAlBuffer(const COpenAlBuffer&) = delete;
    COpenAlBuffer& operator=(const COpenAlBuffer&) = delete;

    bool IsPlaying() override {
        ALint state = AL_STOPPED;
        alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
        return state == AL_PLAYING;
    }
    bool Play(bool loop) override {
        if (IsPlaying()) {
            return true; // a playing buffer goes on; OpenAL would restart it
        }
        alSourcei(m_Source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
        alSourcePlay(m_Source);
        return alGetError() == AL_NO_ERROR;
    }
    long GetVolume() const override { return m_Volume; }
    bool SetVolume(long volume) override {
        if (!InRange(volume)) {
            return false;
        }
        m_Volume = volume;
        alSourcef(m_Source, AL_GAIN, GainOf(volume));
        return true;
    }
    const std::shared_ptr<SAlSamples>& Samples() const { return m_Samples; }

  private:
    std::shared_ptr<SAlSamples> m_Samples;
    ALuint m_Source = 0;
    long m_Volume = 0;
};

class COpenAlMusic final : public IMusicGraph {
  public:
    static constexpr std::size_t kBuffers = 6;
    static constexpr std::size_t kFramesPerBuffer = 8192;

    COpenAlMusic(std::shared_ptr<SAlContext> context, std::unique_ptr<CMp3Decoder> decoder)
        : m_Context(std::move(context)), m_Decoder(std::move(decoder)),
          m_Chunk(kFramesPerBuffer * FrameBytes()) {
        alGenSources(1, &m_Source);
        alSourcei(m_Source, AL_SOURCE_RELATIVE, AL_TRUE);
        alGenBuffers(static_cast<ALsizei>(m_Buffers.size()), m_Buffers.data());
        for (const ALuint buffer : m_Buffers) {
            m_Free.push_back(buffer);
        }
        m_Thread = std::thread([this] { Stream(); });
    }
    ~COpenAlMusic() override {
        {
            std::lock_guard lock(m_Mutex);
            m_bQuit = true;
        }
        m_Wake.notify_all();
        m_Thread.join();
        alSourceStop(m_Source);
        alSourcei(m_Source, AL_BUFFER, 0);
        alDeleteSources(1, &m_Source);
        alDeleteBuffers(static_cast<ALsizei>(m_Buffers.size()), m_Buffers.data());
    }
    COpenAlMusic(const COpenAlMusic&) = delete;
    COpenAlMusic& operator=(const COpenAlMusic&) = delete;

    bool Run() override {
        std::lock_guard lock(m_Mutex);
        m_bRunning = true;
        Refill();
        StartIfQueued();
        return true;
    }
    std::int64_t GetCurrentPosition() override {
        std::lock_guard lock(m_Mutex);
        Reap();
        ALint offset = 0;
        alGetSourcei(m_Source, AL_SAMPLE_OFFSET, &offset);
        const std::int64_t frame = m_Processed + offset - m_Base;
        return frame * 10000000 / m_Decoder->GetRate();
    }
    std::int64_t GetDuration() const override {
        return m_Decoder->GetLength() * 10000000 / m_Decoder->GetRate();
    }
    bool SetCurrentPosition(std::int64_t position) override {
        std::lock_guard lock(m_Mutex);
        const std::int64_t frame = position * m_Decoder->GetRate() / 10000000;
        if (frame == 0 && m_WrapAt >= 0) {
            // The beginning is queued already right after the end: go on without a gap.
            m_Base = m_WrapAt;
            m_WrapAt = -1;
            m_bHeld = false;
            return true;
        }
        alSourceStop(m_Source);
        Reap();
        ALint queued = 0;
        alGetSourcei(m_Source, AL_BUFFERS_QUEUED, &queued);
        while (queued-- > 0) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(m_Source, 1, &buffer);
            m_Free.push_back(buffer);
        }
        m_Processed = 0;
        m_Queued = 0;
        m_QueuedFrames.clear();
        m_Base = -frame;
        m_WrapAt = -1;
        m_bHeld = false;
        m_bDecoderAtEnd = !m_Decoder->Seek(frame);
        if (m_bRunning) {
            Refill();
            StartIfQueued();
        }
        return true;
    }
    long GetVolume() const override { return m_Volume; }
    bool SetVolume(long volume) override {
        if (!InRange(volume)) {
            return false;
        }
        m_Volume = volume;
        std::lock_guard lock(m_Mutex);
        alSourcef(m_Source, AL_GAIN, GainOf(volume));
        return true;
    }
    void SetLooping(bool looping) override {
        std::lock_guard lock(m_Mutex);
        m_bLooping = looping;
    }

  private:
    std::size_t FrameBytes() const {
        return static_cast<std::size_t>(m_Decoder->GetChannels()) * 2;
    }

    // The streaming thread: keeps the queue full while the music runs.
    void Stream() {
        std::unique_lock lock(m_Mutex);
        while (!m_bQuit) {
            if (m_bRunning) {
                Reap();
                Refill();
                // A queue that ran dry (the machine was too busy) starts again.
                ALint state = AL_STOPPED;
                alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
                if (state != AL_PLAYING) {
                    StartIfQueued();
                }
            }
            m_Wake.wait_for(lock, std::chrono::milliseconds(20));
        }
    }

    // Takes the buffers OpenAL has played off the queue and counts their frames.
    void Reap() {
        ALint processed = 0;
        alGetSourcei(m_Source, AL_BUFFERS_PROCESSED, &processed);
        while (processed-- > 0) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(m_Source, 1, &buffer);
            m_Free.push_back(buffer);
            if (!m_QueuedFrames.empty()) {
                m_Processed += m_QueuedFrames.front();
                m_QueuedFrames.erase(m_QueuedFrames.begin());
            }
        }
    }

    // Decodes into every free buffer and queues it. At the end of the piece a looping piece
    // goes on from its beginning; the frame where it did is kept for SetCurrentPosition(0).
    void Refill() {
        const std::size_t frameBytes = FrameBytes();
        while (!m_Free.empty() && !m_bDecoderAtEnd && !m_bHeld) {
            std::size_t filled = 0;
            while (filled < m_Chunk.size()) {
                const std::size_t got =
                    m_Decoder->Read(m_Chunk.data() + filled, m_Chunk.size() - filled);
                filled += got;
                if (got == 0) {
                    if (m_bLooping && m_WrapAt >= 0) {
                        // The last turn has not been taken yet: wait for it.
                        m_bHeld = true;
                        break;
                    }
                    if (!m_bLooping || !m_Decoder->Seek(0)) {
                        m_bDecoderAtEnd = true;
                        break;
                    }
                    m_WrapAt = m_Queued + static_cast<std::int64_t>(filled / frameBytes);
                }
            }
            filled -= filled % frameBytes;
            if (filled == 0) {
                break;
            }
            const ALuint buffer = m_Free.back();
            m_Free.pop_back();
            alBufferData(buffer,
                         m_Decoder->GetChannels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16,
                         m_Chunk.data(), static_cast<ALsizei>(filled), m_Decoder->GetRate());
            alSourceQueueBuffers(m_Source, 1, &buffer);
            const auto frames = static_cast<std::int64_t>(filled / frameBytes);
            m_QueuedFrames.push_back(frames);
            m_Queued += frames;
        }
    }

    void StartIfQueued() {
        ALint queued = 0;
        alGetSourcei(m_Source, AL_BUFFERS_QUEUED, &queued);
        ALint state = AL_STOPPED;
        alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
        if (queued > 0 && state != AL_PLAYING) {
            alSourcePlay(m_Source);
        }
    }

    std::shared_ptr<SAlContext> m_Context;
    std::unique_ptr<CMp3Decoder> m_Decoder;
    ALuint m_Source = 0;
    std::array<ALuint, kBuffers> m_Buffers{};
    std::vector<ALuint> m_Free;
    std::vector<std::int64_t> m_QueuedFrames; // frames of each queued buffer, oldest first
    std::vector<std::uint8_t> m_Chunk;
    std::int64_t m_Queued = 0;    // frames queued since the last seek
    std::int64_t m_Processed = 0; // frames played and taken off the queue since then
    std::int64_t m_Base = 0;      // the frame count at which the position is 0
    std::int64_t m_WrapAt = -1;   // where a looping piece went on from its beginning
    bool m_bRunning = false;
    bool m_bLooping = false;
    bool m_bDecoderAtEnd = false;
    bool m_bHeld = false; // at the end again before the last turn was taken
    bool m_bQuit = false;
    long m_Volume = 0;
    std::mutex m_Mutex;
    std::condition_variable m_Wake;
    std::thread m_Thread;
};

class COpenAlDevice final : public IDirectSound {
  public:
    explicit COpenAlDevice(std::shared_ptr<SAlContext> context) : m_Context(std::move(context)) {}

    std::unique_ptr<ISoundBuffer> CreateBuffer(const SWaveFormat& format, const std::uint8_t* data,
                                               std::size_t bytes) override {
        if (!IsPlayablePcm(format)) {
            return nullptr;
        }
        bytes -= bytes % format.blockAlign;
        if (bytes == 0 || bytes > 0x7FFFFFFF) {
            return nullptr;
        }
        const ALenum alFormat =
            format.channels == 1
                ? (format.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16)
                : (format.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16);
        auto samples = std::make_shared<SAlSamples>();
        samples->context = m_Context;
        alGetError();
        alGenBuffers(1, &samples->buffer);
        alBufferData(samples->buffer, alFormat, data, static_cast<ALsizei>(bytes),
                     static_cast<ALsizei>(format.samplesPerSec));
        if (alGetError() != AL_NO_ERROR) {
            return nullptr;
        }
        return std::make_unique<COpenAlBuffer>(std::move(samples));
    }

    std::unique_ptr<ISoundBuffer> DuplicateBuffer(ISoundBuffer& original) override {
        auto* buffer = dynamic_cast<COpenAlBuffer*>(&original);
        if (buffer == nullptr) {
            return nullptr;
        }
        return std::make_unique<COpenAlBuffer>(buffer->Samples());
    }

    std::unique_ptr<IMusicGraph> OpenMusic(std::string_view path, std::string& error) override {
        auto decoder = std::make_unique<CMp3Decoder>();
        if (!decoder->Open(path, error)) {
            return nullptr;
        }
        return std::make_unique<COpenAlMusic>(m_Context, std::move(decoder));
    }

  private:
    std::shared_ptr<SAlContext> m_Context;
};

} // namespace

std::unique_ptr<IDirectSound> CreateOpenAlSoundDevice(std::string& error) {
    auto context = std::make_shared<SAlContext>();
    context->device = alcOpenDevice(nullptr);
    if (context->device == nullptr) {
        error = "no sound output device can be opened";
        return nullptr;
    }
    context->context = alcCreateContext(context->device, nullptr);
    if (context->context == nullptr || alcMakeContextCurrent(context->context) != ALC_TRUE) {
        error = "no OpenAL context";
        return nullptr;
    }
    return std::make_unique<COpenAlDevice>(std::move(context));
}

} // namespace platform
