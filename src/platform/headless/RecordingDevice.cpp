#include "RecordingDevice.h"

#include "HeadlessWindow.h"
#include "platform/D3DXMath.h"

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

int TransformIndex(D3DTRANSFORMSTATETYPE state) {
    switch (state) {
    case D3DTS_WORLD:
        return 0;
    case D3DTS_VIEW:
        return 1;
    case D3DTS_PROJECTION:
        return 2;
    }
    return 0;
}

class CRecordedVertexBuffer final : public IVertexBuffer {
  public:
    explicit CRecordedVertexBuffer(std::size_t bytes) : m_Size(bytes) {}
    std::size_t GetSize() const override { return m_Size; }

  private:
    std::size_t m_Size;
};

class CRecordedIndexBuffer final : public IIndexBuffer {
  public:
    explicit CRecordedIndexBuffer(std::size_t count) : m_Count(count) {}
    std::size_t GetCount() const override { return m_Count; }

  private:
    std::size_t m_Count;
};

// Direct3D's starting states, as far as the game reads them back.
const std::map<int, std::uint32_t> kDefaultRenderStates = {
    {D3DRS_ZENABLE, 1},
    {D3DRS_ZWRITEENABLE, 1},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ALPHABLENDENABLE, 0},
    {D3DRS_SPECULARENABLE, 0},
    {D3DRS_LIGHTING, 1},
    {D3DRS_AMBIENT, 0},
    {D3DRS_BLENDFACTOR, 0xFFFFFFFFu},
};

} // namespace

std::uint32_t SRecordedDraw::State(D3DRENDERSTATETYPE state) const {
    const auto it = renderStates.find(state);
    return it != renderStates.end() ? it->second : 0;
}

CRecordingDevice::CRecordingDevice(std::shared_ptr<SHeadlessScript> script, int width, int height)
    : m_Script(std::move(script)), m_iWidth(width), m_iHeight(height),
      m_RenderStates(kDefaultRenderStates) {
    for (D3DXMATRIX& transform : m_Transforms) {
        D3DXMatrixIdentity(&transform);
    }
    m_TextureStageStates[0 * 1000 + D3DTSS_COLOROP] = D3DTOP_MODULATE;
    m_TextureStageStates[1 * 1000 + D3DTSS_COLOROP] = D3DTOP_DISABLE;
    for (int stage = 0; stage < 2; ++stage) {
        m_SamplerStates[stage * 1000 + D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        m_SamplerStates[stage * 1000 + D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        m_SamplerStates[stage * 1000 + D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    }
}

std::uint32_t CRecordingDevice::GetRenderState(D3DRENDERSTATETYPE state) const {
    const auto it = m_RenderStates.find(state);
    return it != m_RenderStates.end() ? it->second : 0;
}

std::uint32_t CRecordingDevice::GetSamplerState(int stage, D3DSAMPLERSTATETYPE state) const {
    const auto it = m_SamplerStates.find(stage * 1000 + state);
    return it != m_SamplerStates.end() ? it->second : 0;
}

std::uint32_t CRecordingDevice::GetTextureStageState(int stage,
                                                     D3DTEXTURESTAGESTATETYPE state) const {
    const auto it = m_TextureStageStates.find(stage * 1000 + state);
    return it != m_TextureStageStates.end() ? it->second : 0;
}

const D3DXMATRIX& CRecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state) const {
    return m_Transforms[TransformIndex(state)];
}

void CRecordingDevice::Clear(D3DCOLOR color, float z, std::uint32_t stencil) {
    if (m_Script->record) {
        char text[64];
        std::snprintf(text, sizeof text, "Clear %08X %g %u", color, static_cast<double>(z),
                      stencil);
        m_Script->trace.emplace_back(text);
    }
    m_ClearColor = color;
}

void CRecordingDevice::BeginScene() {
    if (m_Script->record) {
        m_Script->trace.emplace_back("BeginScene");
    }
}

void CRecordingDevice::EndScene() {
    if (m_Script->record) {
        m_Script->trace.emplace_back("EndScene");
    }
}

void CRecordingDevice::KeepFrame() {
    if (m_Script->record) {
        m_Script->trace.emplace_back("KeepFrame");
    }
}

bool CRecordingDevice::Present() {
    if (m_Script->record) {
        m_Script->trace.emplace_back("Present");
    }
    m_FrontColor = m_ClearColor;
    return !m_Script->failPresent;
}

void CRecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, std::uint32_t value) {
    m_RenderStates[state] = value;
    ++m_iStateChanges;
}

void CRecordingDevice::SetSamplerState(int stage, D3DSAMPLERSTATETYPE state, std::uint32_t value) {
    m_SamplerStates[stage * 1000 + state] = value;
    ++m_iStateChanges;
}

void CRecordingDevice::SetTextureStageState(int stage, D3DTEXTURESTAGESTATETYPE state,
                                            std::uint32_t value) {
    m_TextureStageStates[stage * 1000 + state] = value;
    ++m_iStateChanges;
}

void CRecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DXMATRIX& matrix) {
    m_Transforms[TransformIndex(state)] = matrix;
    ++m_iStateChanges;
}

void CRecordingDevice::SetScissorRect(const SRect& rect) {
    m_ScissorRect = rect;
    ++m_iStateChanges;
}

void CRecordingDevice::SetMaterial(const D3DMATERIAL9& material) {
    m_Material = material;
    ++m_iStateChanges;
}

void CRecordingDevice::SetLight(int index, const D3DLIGHT9& light) {
    if (index == 0) {
        m_Light = light;
    }
    ++m_iStateChanges;
}

void CRecordingDevice::LightEnable(int index, bool enable) {
    if (index == 0) {
        m_bLightEnabled = enable;
    }
    ++m_iStateChanges;
}

void CRecordingDevice::SetFVF(std::uint32_t fvf) {
    m_FVF = fvf;
    ++m_iStateChanges;
}

void CRecordingDevice::SetTexture(int stage, ITexture* texture) {
    if (stage == 0 || stage == 1) {
        m_Textures[stage] = texture;
    }
    ++m_iStateChanges;
}

std::unique_ptr<ITexture> CRecordingDevice::CreateTexture(const SImage& image,
                                                          const std::vector<SImage>& levels,
                                                          ETextureAddress address) {
    if (image.width <= 0 || image.height <= 0) {
        return nullptr;
    }
    return std::make_unique<CRecordedTexture>(image, static_cast<int>(levels.size()) + 1, address);
}

std::unique_ptr<IVertexBuffer> CRecordingDevice::CreateVertexBuffer(const void*,
                                                                    std::size_t bytes) {
    return std::make_unique<CRecordedVertexBuffer>(bytes);
}

std::unique_ptr<IIndexBuffer> CRecordingDevice::CreateIndexBuffer(const std::uint16_t*,
                                                                  std::size_t count) {
    return std::make_unique<CRecordedIndexBuffer>(count);
}

void CRecordingDevice::SetStreamSource(IVertexBuffer* buffer, std::size_t, std::size_t) {
    m_pStream = buffer;
    ++m_iStateChanges;
}

void CRecordingDevice::SetIndices(IIndexBuffer* buffer) {
    m_pIndices = buffer;
    ++m_iStateChanges;
}

SRecordedDraw CRecordingDevice::MakeDraw(SRecordedDraw::EKind kind) const {
    SRecordedDraw draw;
    draw.kind = kind;
    draw.fvf = m_FVF;
    draw.world = m_Transforms[0];
    draw.view = m_Transforms[1];
    draw.projection = m_Transforms[2];
    draw.texture0 = m_Textures[0];
    draw.texture1 = m_Textures[1];
    draw.stage1ColorOp = GetTextureStageState(1, D3DTSS_COLOROP);
    draw.renderStates = m_RenderStates;
    draw.scissor = m_ScissorRect;
    return draw;
}

void CRecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int, int, int numVertices,
                                            int startIndex, int primitiveCount) {
    ++m_uDrawCalls;
    if (!m_Script->record) {
        return;
    }
    SRecordedDraw draw = MakeDraw(SRecordedDraw::EKind::Indexed);
    draw.type = type;
    draw.numVertices = numVertices;
    draw.startIndex = startIndex;
    draw.primitiveCount = primitiveCount;
    m_Draws.push_back(std::move(draw));
}

void CRecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, int primitiveCount,
                                       const void* vertices, std::size_t stride) {
    ++m_uDrawCalls;
    if (!m_Script->record) {
        return;
    }
    SRecordedDraw draw = MakeDraw(SRecordedDraw::EKind::FromMemory);
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    const int count = type == D3DPT_TRIANGLESTRIP ? primitiveCount + 2 : primitiveCount * 3;
    draw.numVertices = primitiveCount > 0 ? count : 0;
    const auto* bytes = static_cast<const std::uint8_t*>(vertices);
    draw.vertices.assign(bytes, bytes + static_cast<std::size_t>(draw.numVertices) * stride);
    m_Draws.push_back(std::move(draw));
}

void CRecordingDevice::DrawScreenQuads(ITexture* texture, const SScreenQuad* quads,
                                       std::size_t count, D3DCOLOR color) {
    ++m_uDrawCalls;
    if (!m_Script->record) {
        return;
    }
    SRecordedDraw draw = MakeDraw(SRecordedDraw::EKind::ScreenQuads);
    draw.texture0 = texture;
    draw.primitiveCount = static_cast<int>(count * 2);
    draw.quads.assign(quads, quads + count);
    draw.color = color;
    m_Draws.push_back(std::move(draw));
}

SImage CRecordingDevice::ReadFrontBuffer() {
    SImage image;
    image.width = m_iWidth;
    image.height = m_iHeight;
    image.pixels.assign(static_cast<std::size_t>(m_iWidth) * static_cast<std::size_t>(m_iHeight),
                        m_FrontColor);
    return image;
}

} // namespace platform
