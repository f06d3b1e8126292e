#pragma once

#include "D3D9Types.h"
#include "Image.h"
#include "Rect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A texture on the graphics card: an image with its mip levels.
class ITexture {
  public:
    virtual ~ITexture() = default;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual int GetLevelCount() const = 0;
};

// Vertices or 16-bit indices on the graphics card, filled once when made.
class IVertexBuffer {
  public:
    virtual ~IVertexBuffer() = default;
    virtual std::size_t GetSize() const = 0;
};

class IIndexBuffer {
  public:
    virtual ~IIndexBuffer() = default;
    virtual std::size_t GetCount() const = 0;
};

// How a texture is read beyond its edges: repeated (meshes) or its edge pixels (2D pictures).
enum class ETextureAddress { Wrap, Clamp };

// One rectangle of a picture drawn on the screen: its four corners in screen pixels (y down),
// top-left, top-right, bottom-left, bottom-right, and the texture coordinates of each.
struct SScreenVertex {
    float x = 0, y = 0;
    float u = 0, v = 0;
};
struct SScreenQuad {
    SScreenVertex corners[4];
};

// The graphics device the game draws through, shaped like the Direct3D 9 device and the
// D3DX sprite: a frame is a Clear, a scene between BeginScene and EndScene, and a Present
// that shows it. The states are Direct3D's, with its defaults: depth test and writing on,
// counter-clockwise faces culled, blending off, lighting on, point sampling.
class IGraphicsDevice {
  public:
    virtual ~IGraphicsDevice() = default;

    // The size of the picture the device draws, in pixels.
    virtual int GetBackBufferWidth() const = 0;
    virtual int GetBackBufferHeight() const = 0;

    // Clears the colour buffer to an ARGB colour, the depth buffer to z (0 near, 1 far)
    // and the stencil buffer, whatever the states say.
    virtual void Clear(D3DCOLOR color, float z, std::uint32_t stencil) = 0;
    virtual void BeginScene() = 0;
    virtual void EndScene() = 0;
    // Shows the frame; false when it could not be shown. A Present with nothing drawn since
    // the last one shows that frame again, exactly only when it was kept.
    virtual bool Present() = 0;
    // Keeps the frame being drawn when it is presented, to be shown again or read back
    // exactly, whatever happens to the window meanwhile. A device that keeps every frame
    // need do nothing.
    virtual void KeepFrame() {}

    virtual void SetRenderState(D3DRENDERSTATETYPE state, std::uint32_t value) = 0;
    virtual void SetSamplerState(int stage, D3DSAMPLERSTATETYPE state, std::uint32_t value) = 0;
    virtual void SetTextureStageState(int stage, D3DTEXTURESTAGESTATETYPE state,
                                      std::uint32_t value) = 0;
    virtual void SetTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX& matrix) = 0;
    // While D3DRS_SCISSORTESTENABLE is on, draws touch only the pixels inside rect (back
    // buffer pixels, y down); Clear is not limited.
    virtual void SetScissorRect(const SRect& rect) = 0;
    virtual void SetMaterial(const D3DMATERIAL9& material) = 0;
    virtual void SetLight(int index, const D3DLIGHT9& light) = 0;
    virtual void LightEnable(int index, bool enable) = 0;
    virtual void SetFVF(std::uint32_t fvf) = 0;
    // Stage 0 or 1; null draws untextured (the texture reads as opaque white).
    virtual void SetTexture(int stage, ITexture* texture) = 0;

    // Null when the card has no room or the image is empty. levels are the mip levels
    // below image, each half the size of the one above.
    virtual std::unique_ptr<ITexture> CreateTexture(const SImage& image,
                                                    const std::vector<SImage>& levels,
                                                    ETextureAddress address) = 0;
    virtual std::unique_ptr<IVertexBuffer> CreateVertexBuffer(const void* data,
                                                              std::size_t bytes) = 0;
    virtual std::unique_ptr<IIndexBuffer> CreateIndexBuffer(const std::uint16_t* indices,
                                                            std::size_t count) = 0;

    virtual void SetStreamSource(IVertexBuffer* buffer, std::size_t offset, std::size_t stride) = 0;
    virtual void SetIndices(IIndexBuffer* buffer) = 0;
    // Draws primitives from the stream source and the indices in the vertex format set.
    virtual void DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertex, int minIndex,
                                      int numVertices, int startIndex, int primitiveCount) = 0;
    // Draws primitives from vertices in memory, in the vertex format set.
    virtual void DrawPrimitiveUP(D3DPRIMITIVETYPE type, int primitiveCount, const void* vertices,
                                 std::size_t stride) = 0;

    // Draws pictures on the screen as the D3DX sprite does: textured rectangles (texture
    // colour × colour), alpha blended over the frame, without depth, lighting or culling.
    // The device's states are the same afterwards.
    virtual void DrawScreenQuads(ITexture* texture, const SScreenQuad* quads, std::size_t count,
                                 D3DCOLOR color) = 0;

    // The last presented frame, as a picture of the back buffer's size: exactly when it
    // was kept (KeepFrame).
    virtual SImage ReadFrontBuffer() = 0;
    // How many draws the device has handed on since it was made (to the graphics system, or
    // into its records): on a renderer that pays for each one's set-up, a share of a frame's
    // cost.
    virtual std::uint64_t GetDrawCallCount() const = 0;
};

// The wanted picture: its size, colour depth (16 or 32 bits), whether it shows in a window
// or on the whole screen, and whether presenting waits for the display's vertical retrace
// (where the display can; otherwise frames are shown at once).
struct SPresentParameters {
    int width = 0;
    int height = 0;
    int depth = 32;
    bool windowed = true;
    bool vsync = false;
};

// A display mode: size, bits per pixel (16 or 32) and refresh rate.
struct SDisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int refreshRate = 0;
};

} // namespace platform
