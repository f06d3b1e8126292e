#pragma once

#include <cstdint>

namespace platform {

// The graphics device the engine draws through, shaped like the Direct3D 9 device: a frame
// is a clear, a scene between BeginScene and EndScene, and a Present that shows it.
class IGraphicsDevice {
  public:
    virtual ~IGraphicsDevice() = default;

    // Clears the colour buffer to an ARGB colour, the depth buffer to z (0 near, 1 far)
    // and the stencil buffer.
    virtual void Clear(std::uint32_t color, float z, std::uint32_t stencil) = 0;
    virtual void BeginScene() = 0;
    virtual void EndScene() = 0;
    // Shows the frame; false when it could not be shown.
    virtual bool Present() = 0;
};

} // namespace platform
