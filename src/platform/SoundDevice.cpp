#include "SoundDevice.h"

namespace platform {

bool IsPlayablePcm(const SWaveFormat& f) {
    return f.formatTag == 1 && (f.channels == 1 || f.channels == 2) &&
           (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
           f.blockAlign == f.channels * f.bitsPerSample / 8 && f.samplesPerSec >= 1000 &&
           f.samplesPerSec <= 192000;
}

} // namespace platform
