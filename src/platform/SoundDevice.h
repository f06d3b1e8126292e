#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The format of PCM sample data, laid out as a WAV file's "fmt " chunk (WAVEFORMATEX).
struct SWaveFormat {
    std::uint16_t formatTag = 0; // 1: PCM
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

// Volumes are in hundredths of a decibel: 0 is full level, -10000 silence. Values outside
// that range are refused and change nothing.
inline constexpr long kVolumeMin = -10000;
inline constexpr long kVolumeMax = 0;

// A sound's samples, ready to play, as a DirectSound secondary buffer: it plays once or
// looping from its start, and reports whether it is still playing.
class ISoundBuffer {
  public:
    virtual ~ISoundBuffer() = default;
    virtual bool IsPlaying() = 0;
    // Starts the buffer from its beginning; a buffer that is playing is not restarted.
    virtual bool Play(bool loop) = 0;
    virtual long GetVolume() const = 0;
    // False, changing nothing, for a volume outside -10000…0.
    virtual bool SetVolume(long volume) = 0;
};

// A piece of music from an MP3 file, as a DirectShow graph plays it: run, position and
// duration in units of 100 ns, seek, volume. At its end it stops and stays at the end.
class IMusicGraph {
  public:
    virtual ~IMusicGraph() = default;
    virtual bool Run() = 0;
    virtual std::int64_t GetCurrentPosition() = 0;
    virtual std::int64_t GetDuration() const = 0;
    virtual bool SetCurrentPosition(std::int64_t position) = 0;
    virtual long GetVolume() const = 0;
    virtual bool SetVolume(long volume) = 0;
    // Whether the piece will be started again from its beginning when it reaches its end
    // (through SetCurrentPosition(0)): the player then has the beginning ready, so that
    // the piece goes on without a gap.
    virtual void SetLooping(bool looping) = 0;
};

// The sound device: makes buffers from PCM data (8 or 16 bits, mono or stereo), duplicates
// them (the same samples with their own position, status and volume) and opens music.
class IDirectSound {
  public:
    virtual ~IDirectSound() = default;
    // Null when the format is not one the device plays, or there is no data.
    virtual std::unique_ptr<ISoundBuffer>
    CreateBuffer(const SWaveFormat& format, const std::uint8_t* data, std::size_t bytes) = 0;
    virtual std::unique_ptr<ISoundBuffer> DuplicateBuffer(ISoundBuffer& original) = 0;
    // Null, with the reason in error, when the file is missing or holds no MP3 audio.
    virtual std::unique_ptr<IMusicGraph> OpenMusic(std::string_view path, std::string& error) = 0;
};

// True for the PCM formats every sound device plays: 8 or 16 bits, one or two channels,
// a consistent block alignment and a sensible rate.
bool IsPlayablePcm(const SWaveFormat& format);

} // namespace platform
