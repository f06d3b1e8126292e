#include "Mp3Decoder.h"

#include <mpg123.h>

namespace platform {

void CMp3Decoder::SHandleDeleter::operator()(mpg123_handle_struct* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
}

CMp3Decoder::CMp3Decoder() = default;
CMp3Decoder::~CMp3Decoder() = default;

bool CMp3Decoder::Open(std::string_view path, std::string& error) {
    m_File = OpenFile(path, "rb");
    if (!m_File) {
        error = "the file cannot be opened";
        return false;
    }
    int result = MPG123_OK;
    m_Handle.reset(mpg123_new(nullptr, &result));
    if (!m_Handle) {
        error = mpg123_plain_strerror(result);
        return false;
    }
    mpg123_handle* handle = m_Handle.get();
    // Quiet, and decoded to signed 16 bits at the file's own rate and channels.
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(handle);
    for (const long rate :
         {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L}) {
        mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_open_fd(handle, fileno(m_File.get())) != MPG123_OK) {
        error = mpg123_strerror(handle);
        return false;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels < 1 || channels > 2) {
        error = "no MPEG audio frames";
        return false;
    }
    // No other format may appear later in the stream.
    mpg123_format_none(handle);
    mpg123_format(handle, rate, channels, encoding);
    m_iRate = static_cast<int>(rate);
    m_iChannels = channels;
    // A damaged header may claim any length: one beyond a day is counted from the frames
    // themselves, and refused when it is still not believable (the players turn lengths
    // into units of 100 ns, which must not overflow).
    const off_t maxLength = static_cast<off_t>(rate) * 60 * 60 * 24;
    off_t length = mpg123_length(handle);
    if (length > maxLength && mpg123_scan(handle) == MPG123_OK) {
        length = mpg123_length(handle);
    }
    if (length <= 0 || length > maxLength) {
        error = "the piece has no believable length";
        return false;
    }
    m_Length = static_cast<std::int64_t>(length);
    return true;
}

std::size_t CMp3Decoder::Read(std::uint8_t* out, std::size_t maxBytes) {
    if (!m_Handle) {
        return 0;
    }
    std::size_t done = 0;
    const int result = mpg123_read(m_Handle.get(), out, maxBytes, &done);
    if (result != MPG123_OK && result != MPG123_DONE && result != MPG123_NEW_FORMAT) {
        return 0;
    }
    return done;
}

bool CMp3Decoder::Seek(std::int64_t frame) {
    return m_Handle && mpg123_seek(m_Handle.get(), static_cast<off_t>(frame), SEEK_SET) >= 0;
}

} // namespace platform
