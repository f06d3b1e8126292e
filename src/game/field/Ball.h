#pragma once

#include "GameContext.h"
#include "engine/Model.h"
#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"

#include <memory>
#include <vector>

// One ball in play: it moves in a straight line at the height of its radius, and tests the
// walls, the blocks and the paddle, in this order, every frame.
class CBall {
  public:
    // Takes radius, speed and speed-up from the current level; the direction is normalised.
    void Create(const SGameContext& links, const D3DXVECTOR3& position,
                const D3DXVECTOR3& direction, CModel* mesh);
    void Move(float dt);
    void Render();
    float GetSpeed() const { return m_fSpeed; }
    float GetRadius() const { return m_fRadius; }
    const D3DXVECTOR3& GetPosition() const { return m_vPosition; }
    const D3DXVECTOR3& GetDirection() const { return m_vDirection; }

  private:
    CModel* m_pMesh = nullptr;
    SGameContext m_Links;
    D3DXVECTOR3 m_vPosition;
    D3DXVECTOR3 m_vDirection;
    float m_fSpeed = 0.0f; // 0: lost
    float m_fRadius = 0.0f;
    float m_fSpeedUp = 0.0f;
    float m_fMaxSpeed = 0.0f;
};

// The balls in play, their shared mesh and the lost-ball sound.
class CBalls {
  public:
    // Balls in play at once that need no allocation: made at Init, and kept when out of play.
    static constexpr std::size_t kReserved = 16;

    void Init(const SGameContext& links, platform::IGraphicsDevice* device, CSound* sound);
    void Add(const D3DXVECTOR3& position, const D3DXVECTOR3& direction);
    // Moves every ball that was in play when the update began, then removes the lost ones,
    // each with the "ball" sound and a camera shake.
    void Update(float dt);
    void Render();
    int Count() const { return static_cast<int>(m_Balls.size()); }
    // Every ball goes back to the player's stock. During Update the ball that is moving
    // finishes its move, no other ball moves in that frame, and the returned balls go after
    // that move.
    void ReturnToStock();
    void Release();
    const CBall& Get(int index) const { return *m_Balls[static_cast<std::size_t>(index)]; }

  private:
    // Moves every ball of balls to the spares.
    void Spare(std::vector<std::unique_ptr<CBall>>& balls);

    SGameContext m_Links;
    platform::IGraphicsDevice* m_pDevice = nullptr;
    CSound* m_pSound = nullptr;
    std::vector<std::unique_ptr<CBall>> m_Balls;
    std::vector<std::unique_ptr<CBall>> m_Returned; // taken out of play during Update
    std::vector<std::unique_ptr<CBall>> m_Spare;    // out of play, kept for the next Add
    bool m_bUpdating = false;
    CModel m_Mesh;
};
