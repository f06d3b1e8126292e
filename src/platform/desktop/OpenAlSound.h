#pragma once

#include "platform/SoundDevice.h"

#include <memory>
#include <string>

namespace platform {

// The OpenAL sound device on the default output; null, with the reason, when no output
// device can be opened (a machine without a sound card).
std::unique_ptr<IDirectSound> CreateOpenAlSoundDevice(std::string& error);

} // namespace platform
