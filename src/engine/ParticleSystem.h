#pragma once

#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"

#include <memory>
#include <vector>

// One particle: a textured square that faces the camera, moving, growing and turning
// linearly over its lifetime.
struct SParticle {
    D3DXVECTOR3 vPos;        // centre at birth
    D3DXVECTOR3 vDrift;      // displacement over the whole lifetime
    D3DXVECTOR2 vTexTopLeft; // texture coordinates of the square's corners
    D3DXVECTOR2 vTexBottomRight;
    float fLifeTime = 1.0f;       // seconds, above 0
    float fAge = 0.0f;            // seconds since birth
    float fSize = 0.0f;           // edge length at birth
    float fSizeChange = 0.0f;     // change of the edge length over the lifetime
    float fRotation = 0.0f;       // radians at birth
    float fRotationChange = 0.0f; // change over the lifetime

    // How far through its life it is, 0 to 1; one added with no lifetime left is at its end.
    float Progress() const { return fLifeTime > 0.0f ? fAge / fLifeTime : 1.0f; }
    D3DXVECTOR3 Centre() const { return vPos + vDrift * Progress(); }
    float Size() const { return Progress() * fSizeChange + fSize; }
};

// Short-lived textured squares facing the camera, all drawn with one call.
class CParticleSystem {
  public:
    static constexpr std::size_t kReserved = 512;

    // Loads the texture (from the data directory, else from "Standard").
    void LoadTexture(platform::IGraphicsDevice* device, const char* fileName);
    void Add(SParticle particle) { m_ParticleList.push_back(particle); }
    // Ages every particle and removes those whose lifetime is over; the rest keep their order.
    void Update(float seconds);
    // Draws every particle with the camera axes of view and world as the world transform.
    // With no particles the device is not touched.
    void Render(D3DXMATRIX view, D3DXMATRIX world);

    const std::vector<SParticle>& GetParticles() const { return m_ParticleList; }

  private:
    struct SVertex {
        D3DXVECTOR3 position;
        float u = 0.0f;
        float v = 0.0f;
    };
    static_assert(sizeof(SVertex) == 20);

    platform::IGraphicsDevice* m_pDevice = nullptr;
    std::unique_ptr<platform::ITexture> m_pTexture;
    std::vector<SParticle> m_ParticleList;
    std::vector<SVertex> m_Vertices; // reused from frame to frame
};
