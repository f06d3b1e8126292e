#pragma once

#include "platform/GraphicsDevice.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct SHeadlessScript;

// A texture of the recording device: it keeps its picture for tests to look at.
class CRecordedTexture final : public ITexture {
  public:
    CRecordedTexture(SImage image, int levels, ETextureAddress address)
        : m_Image(std::move(image)), m_iLevels(levels), m_Address(address) {}
    int GetWidth() const override { return m_Image.width; }
    int GetHeight() const override { return m_Image.height; }
    int GetLevelCount() const override { return m_iLevels; }
    const SImage& GetImage() const { return m_Image; }
    ETextureAddress GetAddress() const { return m_Address; }

  private:
    SImage m_Image;
    int m_iLevels;
    ETextureAddress m_Address;
};

// One draw call as the recording device saw it, with the states it was drawn with.
struct SRecordedDraw {
    enum class EKind { Indexed, FromMemory, ScreenQuads };
    EKind kind = EKind::Indexed;
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    int primitiveCount = 0;
    int numVertices = 0;
    int startIndex = 0;
    std::uint32_t fvf = 0;
    D3DXMATRIX world;
    D3DXMATRIX view;
    D3DXMATRIX projection;
    ITexture* texture0 = nullptr;
    ITexture* texture1 = nullptr;
    std::uint32_t stage1ColorOp = 0;
    std::map<int, std::uint32_t> renderStates; // every state set so far
    std::vector<std::uint8_t> vertices;        // drawn from memory: the vertices
    std::vector<SScreenQuad> quads;            // screen quads: the rectangles
    D3DCOLOR color = 0;                        // screen quads: the colour
    SRect scissor;                             // the scissor rectangle set

    std::uint32_t State(D3DRENDERSTATETYPE state) const;
};

// The device of the headless window: it keeps the device state, records every draw with the
// state it used, and writes a line per frame call into the script's trace (unless the
// script's record is off). Nothing is drawn; the front buffer holds the last clear colour.
class CRecordingDevice final : public IGraphicsDevice {
  public:
    CRecordingDevice(std::shared_ptr<SHeadlessScript> script, int width, int height);

    const std::vector<SRecordedDraw>& GetDraws() const { return m_Draws; }
    void ClearDraws() { m_Draws.clear(); }
    std::uint32_t GetRenderState(D3DRENDERSTATETYPE state) const;
    std::uint32_t GetSamplerState(int stage, D3DSAMPLERSTATETYPE state) const;
    std::uint32_t GetTextureStageState(int stage, D3DTEXTURESTAGESTATETYPE state) const;
    const D3DXMATRIX& GetTransform(D3DTRANSFORMSTATETYPE state) const;
    const D3DMATERIAL9& GetMaterial() const { return m_Material; }
    const D3DLIGHT9& GetLight() const { return m_Light; }
    bool IsLightEnabled() const { return m_bLightEnabled; }
    std::uint32_t GetFVF() const { return m_FVF; }
    ITexture* GetTexture(int stage) const {
        return stage == 0 || stage == 1 ? m_Textures[stage] : nullptr;
    }
    // How many times a state was set: a way to see that a call changed nothing.
    int GetStateChangeCount() const { return m_iStateChanges; }

    int GetBackBufferWidth() const override { return m_iWidth; }
    int GetBackBufferHeight() const override { return m_iHeight; }
    void Clear(D3DCOLOR color, float z, std::uint32_t stencil) override;
    void BeginScene() override;
    void EndScene() override;
    bool Present() override;
    void KeepFrame() override;
    void SetRenderState(D3DRENDERSTATETYPE state, std::uint32_t value) override;
    void SetSamplerState(int stage, D3DSAMPLERSTATETYPE state, std::uint32_t value) override;
    void SetTextureStageState(int stage, D3DTEXTURESTAGESTATETYPE state,
                              std::uint32_t value) override;
    void SetTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX& matrix) override;
    void SetScissorRect(const SRect& rect) override;
    void SetMaterial(const D3DMATERIAL9& material) override;
    void SetLight(int index, const D3DLIGHT9& light) override;
    void LightEnable(int index, bool enable) override;
    void SetFVF(std::uint32_t fvf) override;
    void SetTexture(int stage, ITexture* texture) override;
    std::unique_ptr<ITexture> CreateTexture(const SImage& image, const std::vector<SImage>& levels,
                                            ETextureAddress address) override;
    std::unique_ptr<IVertexBuffer> CreateVertexBuffer(const void* data, std::size_t bytes) override;
    std::unique_ptr<IIndexBuffer> CreateIndexBuffer(const std::uint16_t* indices,
                                                    std::size_t count) override;
    void SetStreamSource(IVertexBuffer* buffer, std::size_t offset, std::size_t stride) override;
    void SetIndices(IIndexBuffer* buffer) override;
    void DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertex, int minIndex, int numVertices,
                              int startIndex, int primitiveCount) override;
    void DrawPrimitiveUP(D3DPRIMITIVETYPE type, int primitiveCount, const void* vertices,
                         std::size_t stride) override;
    void DrawScreenQuads(ITexture* texture, const SScreenQuad* quads, std::size_t count,
                         D3DCOLOR color) override;
    SImage ReadFrontBuffer() override;
    // Every draw call, recorded or not.
    std::uint64_t GetDrawCallCount() const override { return m_uDrawCalls; }

    IVertexBuffer* GetStreamSource() const { return m_pStream; }
    IIndexBuffer* GetIndices() const { return m_pIndices; }

  private:
    SRecordedDraw MakeDraw(SRecordedDraw::EKind kind) const;

    std::shared_ptr<SHeadlessScript> m_Script;
    int m_iWidth;
    int m_iHeight;
    std::map<int, std::uint32_t> m_RenderStates;
    std::map<int, std::uint32_t> m_SamplerStates;      // stage × 1000 + state
    std::map<int, std::uint32_t> m_TextureStageStates; // stage × 1000 + state
    D3DXMATRIX m_Transforms[3];                        // world, view, projection
    SRect m_ScissorRect;
    D3DMATERIAL9 m_Material;
    D3DLIGHT9 m_Light;
    bool m_bLightEnabled = false;
    std::uint32_t m_FVF = 0;
    ITexture* m_Textures[2] = {nullptr, nullptr};
    IVertexBuffer* m_pStream = nullptr;
    IIndexBuffer* m_pIndices = nullptr;
    D3DCOLOR m_ClearColor = 0;
    D3DCOLOR m_FrontColor = 0;
    int m_iStateChanges = 0;
    std::vector<SRecordedDraw> m_Draws;
    std::uint64_t m_uDrawCalls = 0;
};

} // namespace platform
