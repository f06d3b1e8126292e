#pragma once

#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"

#include <memory>
#include <string>

// The smallest axis-aligned box around what is added to it; a point at the origin until then.
struct SBox {
    bool any = false;
    D3DXVECTOR3 low{0, 0, 0};
    D3DXVECTOR3 high{0, 0, 0};
    void Add(const D3DXVECTOR3& point) { Add(point, point); }
    // The box from lowest to highest.
    void Add(const D3DXVECTOR3& lowest, const D3DXVECTOR3& highest);
};

// A mesh of the game (ball, blocks, board, paddle): an indexed triangle list read from a
// ".mdl" file, with one texture named inside the file.
//
// The file, little-endian, without header or padding: N (unsigned 32 bits), N vertices of
// 32 bytes (position x, y, z; normal x, y, z; texture u, v; all 32-bit floats), M (unsigned
// 32 bits), M unsigned 16-bit indices, then 16 bytes holding the texture's file name ended
// by a zero byte. Triangle k uses indices 3k, 3k + 1, 3k + 2; surplus indices are ignored.
class CModel {
  public:
    // Loads the mesh and its texture, each from the data directory or else from "Standard".
    // A file that cannot be read, is shorter than its counts say or has indices past its
    // vertices leaves the model empty, with rows in the log; a missing texture only costs
    // the texture.
    void Load(platform::IGraphicsDevice* device, const char* fileName);
    // Draws the model scaled by (sx, sy, sz), then moved to (x, y, z).
    void Render(float x, float y, float z, float sx, float sy, float sz);
    // The same with the world matrix multiplied on the right by matrix.
    void RenderTransformed(float x, float y, float z, float sx, float sy, float sz,
                           D3DXMATRIX matrix);

    int GetVertexCount() const { return m_iVertexCount; }
    // The smallest box around the mesh's points (a point at the origin when it has none).
    const D3DXVECTOR3& GetLowest() const { return m_Bounds.low; }
    const D3DXVECTOR3& GetHighest() const { return m_Bounds.high; }
    int GetIndexCount() const { return m_iIndexCount; }
    const char* GetTextureName() const { return m_szTextureName; }
    platform::ITexture* GetTexture() const { return m_pTexture.get(); }

  private:
    void Draw(const D3DXMATRIX& world);
    // The box around count vertices of the file's layout; points that are not finite count
    // for nothing.
    void FindBounds(const char* vertices, std::size_t count);

    platform::IGraphicsDevice* m_pDevice = nullptr;
    std::unique_ptr<platform::IVertexBuffer> m_pVertexBuffer;
    std::unique_ptr<platform::IIndexBuffer> m_pIndexBuffer;
    std::unique_ptr<platform::ITexture> m_pTexture;
    int m_iIndexCount = 0;
    int m_iVertexCount = 0;
    SBox m_Bounds;
    char m_szTextureName[17] = {}; // 16 bytes from the file and a zero that is always there
};
