#pragma once

#include "platform/Path.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct mpg123_handle_struct;

namespace platform {

// An MP3 file decoded piece by piece into interleaved signed 16-bit samples (libmpg123).
class CMp3Decoder {
  public:
    CMp3Decoder();
    ~CMp3Decoder();
    CMp3Decoder(const CMp3Decoder&) = delete;
    CMp3Decoder& operator=(const CMp3Decoder&) = delete;

    // False, with the reason, when the file cannot be opened or holds no MP3 frames.
    bool Open(std::string_view path, std::string& error);
    int GetRate() const { return m_iRate; }
    int GetChannels() const { return m_iChannels; }
    // The length of the piece in sample frames (one frame: a sample for each channel).
    std::int64_t GetLength() const { return m_Length; }
    // Decodes up to maxBytes of samples into out; 0 at the end of the piece or on an error.
    std::size_t Read(std::uint8_t* out, std::size_t maxBytes);
    // Goes to a sample frame; false when that is impossible.
    bool Seek(std::int64_t frame);

  private:
    struct SHandleDeleter {
        void operator()(mpg123_handle_struct* handle) const;
    };
    FilePtr m_File; // outlives the decoder that reads it
    std::unique_ptr<mpg123_handle_struct, SHandleDeleter> m_Handle;
    int m_iRate = 0;
    int m_iChannels = 0;
    std::int64_t m_Length = 0;
};

} // namespace platform
