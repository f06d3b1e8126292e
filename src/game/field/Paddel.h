#pragma once

#include "GameContext.h"
#include "engine/Model.h"
#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"

// The paddle: it slides along x at the board's near edge, is accelerated or set by the
// player's steering, is damped over time, bounces softly off the board's sides and
// launches new balls.
class CPaddel {
  public:
    void Init(platform::IGraphicsDevice* device, const SGameContext& links);
    // Mode 2 (the only one): at the near edge, moving along x. Velocity and ghost time go
    // back to 0; the speed is the current level's "PaddelSpeed".
    void Reset(int mode, const D3DXVECTOR3& position, float width, float limit);
    void Update(float dt);
    void AccelerateRight(float dt) { m_vVelocity.x += dt * m_fSpeed; }
    void AccelerateLeft(float dt) { m_vVelocity.x -= dt * m_fSpeed; }
    void SetVelocity(float v) { m_vVelocity.x = v; }
    float GetSpeed() const { return m_fSpeed; }
    // A new ball just in front of the paddle, flying away from it at a random slant.
    void Launch();
    // Wider by n, at most half the board; never narrower than 0.5 once negative.
    void Grow(int n);
    // Nearly invisible for 7.5 seconds of play.
    void Ghost() { m_fGhostTime = 7.5f; }
    const D3DXVECTOR3& GetPosition() const { return m_vPosition; }
    float GetWidth() const { return m_fWidth; }
    float GetGhostTime() const { return m_fGhostTime; }
    const D3DXVECTOR3& GetVelocity() const { return m_vVelocity; }
    // Tests a ball of radius r at position moving along direction; on a hit the ball is
    // turned (and placed in front of the paddle on a middle hit) and true is returned.
    bool Collide(D3DXVECTOR3& position, float r, D3DXVECTOR3& direction);
    void Render();
    void Release() { m_Model = CModel(); }

  private:
    platform::IGraphicsDevice* m_pDevice = nullptr;
    SGameContext m_Links;
    CModel m_Model;
    D3DXVECTOR3 m_vPosition;
    D3DXVECTOR3 m_vVelocity;
    float m_fSpeed = 0.0f;
    float m_fGhostTime = 0.0f;
    float m_fWidth = 0.0f;
    float m_fLimit = 0.0f;
};
