#include "Model.h"

#include "TextureLoader.h"
#include "platform/D3DXMath.h"
#include "platform/Path.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace {

constexpr std::size_t kVertexSize = 32;
constexpr std::size_t kNameSize = 16;
// No mesh of the game comes near this; a larger file is not a mesh.
constexpr std::size_t kMaxFileSize = std::size_t{64} * 1024 * 1024;

std::uint32_t ReadU32(const std::string& bytes, std::size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// World = S × T: scaled about the model's origin first, then moved.
D3DXMATRIX ScaleThenTranslate(float x, float y, float z, float sx, float sy, float sz) {
    D3DXMATRIX scale;
    D3DXMATRIX translation;
    D3DXMatrixScaling(&scale, sx, sy, sz);
    D3DXMatrixTranslation(&translation, x, y, z);
    D3DXMATRIX world;
    D3DXMatrixMultiply(&world, &scale, &translation);
    return world;
}

void LogFileRows(const std::string& path, const char* what) {
    LogError(path);
    LogError(what);
}

} // namespace

void CModel::Load(platform::IGraphicsDevice* device, const char* fileName) {
    m_pDevice = device;
    const std::string path = DataFilePath(fileName);
    const std::optional<std::string> file = platform::ReadWholeFile(path, kMaxFileSize);
    if (!file) {
        LogFileRows(path, "...konnte nicht geöffnet werden!");
        return;
    }

    // Every count is checked against what the file holds before anything is read.
    const std::string& bytes = *file;
    const std::size_t size = bytes.size();
    if (size < 4) {
        LogFileRows(path, "...ist unvollständig!");
        return;
    }
    const std::uint64_t vertexCount = ReadU32(bytes, 0);
    const std::uint64_t indexAt = 4 + kVertexSize * vertexCount;
    if (indexAt + 4 > size) {
        LogFileRows(path, "...ist unvollständig!");
        return;
    }
    const std::uint64_t indexCount = ReadU32(bytes, indexAt);
    const std::uint64_t nameAt = indexAt + 4 + 2 * indexCount;
    if (nameAt + kNameSize > size) {
        LogFileRows(path, "...ist unvollständig!");
        return;
    }
    std::vector<std::uint16_t> indices(indexCount);
    if (indexCount > 0) {
        std::memcpy(indices.data(), bytes.data() + indexAt + 4, 2 * indexCount);
    }
    const std::size_t drawn = indices.size() / 3 * 3;
    for (std::size_t i = 0; i < drawn; ++i) {
        if (indices[i] >= vertexCount) {
            LogFileRows(path, "...enthält Indizes außerhalb der Punkte!");
            return;
        }
    }
    std::memcpy(m_szTextureName, bytes.data() + nameAt, kNameSize);
    m_szTextureName[kNameSize] = '\0';

    m_pVertexBuffer.reset();
    m_pIndexBuffer.reset();
    m_iVertexCount = 0;
    m_iIndexCount = 0;
    m_Bounds = SBox{};
    if (m_pDevice != nullptr && vertexCount > 0) {
        m_pVertexBuffer = m_pDevice->CreateVertexBuffer(
            bytes.data() + 4, static_cast<std::size_t>(kVertexSize * vertexCount));
    }
    if (!m_pVertexBuffer) {
        LogError("VertexBuffer konnte nicht erstellt werden!");
    }
    if (m_pDevice != nullptr && indexCount > 0) {
        m_pIndexBuffer = m_pDevice->CreateIndexBuffer(indices.data(), indices.size());
    }
    if (!m_pIndexBuffer) {
        LogError("IndexBuffer konnte nicht erstellt werden!");
    }
    if (m_pVertexBuffer && m_pIndexBuffer) {
        m_iIndexCount = static_cast<int>(indexCount);
        m_iVertexCount = static_cast<int>(vertexCount);
        FindBounds(bytes.data() + 4, static_cast<std::size_t>(vertexCount));
    }

    // The texture: 64 × 64 with the whole mip chain, opaque white transparent.
    const std::string texturePath = DataFilePath(m_szTextureName);
    m_pTexture = D3DXCreateTextureFromFileEx(m_pDevice, texturePath, 64, 64, D3DX_DEFAULT,
                                             ETextureFilter::Linear, 0xFFFFFFFFu,
                                             platform::ETextureAddress::Wrap);
    if (!m_pTexture) {
        LogError("Texture konnte nicht erzeugt werden!");
        LogError(m_szTextureName);
    }
}

void SBox::Add(const D3DXVECTOR3& lowest, const D3DXVECTOR3& highest) {
    low = any ? D3DXVECTOR3{std::fmin(low.x, lowest.x), std::fmin(low.y, lowest.y),
                            std::fmin(low.z, lowest.z)}
              : lowest;
    high = any ? D3DXVECTOR3{std::fmax(high.x, highest.x), std::fmax(high.y, highest.y),
                             std::fmax(high.z, highest.z)}
               : highest;
    any = true;
}

void CModel::FindBounds(const char* vertices, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        float p[3];
        std::memcpy(p, vertices + i * kVertexSize, sizeof p);
        if (std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2])) {
            m_Bounds.Add(D3DXVECTOR3{p[0], p[1], p[2]});
        }
    }
}

void CModel::Render(float x, float y, float z, float sx, float sy, float sz) {
    Draw(ScaleThenTranslate(x, y, z, sx, sy, sz));
}

void CModel::RenderTransformed(float x, float y, float z, float sx, float sy, float sz,
                               D3DXMATRIX matrix) {
    D3DXMATRIX world = ScaleThenTranslate(x, y, z, sx, sy, sz);
    D3DXMatrixMultiply(&world, &world, &matrix);
    Draw(world);
}

void CModel::Draw(const D3DXMATRIX& world) {
    if (m_pDevice == nullptr || !m_pVertexBuffer || !m_pIndexBuffer) {
        return; // an empty model draws nothing
    }
    m_pDevice->SetTransform(D3DTS_WORLD, world);
    m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    m_pDevice->SetTexture(0, m_pTexture.get());
    m_pDevice->SetStreamSource(m_pVertexBuffer.get(), 0, kVertexSize);
    m_pDevice->SetIndices(m_pIndexBuffer.get());
    if (m_iIndexCount / 3 > 0) {
        m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, m_iVertexCount, 0,
                                        m_iIndexCount / 3);
    }
    m_pDevice->SetStreamSource(nullptr, 0, kVertexSize);
    m_pDevice->SetTexture(0, nullptr);
}
