#pragma once

#include "GameContext.h"
#include "engine/Model.h"
#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"

#include <memory>
#include <vector>

// The flattest course a ball may take, as dz : dx: the paddle sends no ball back flatter, and
// no ball is made flatter, so every ball comes back to the paddle.
inline constexpr float kFlattestSlope = 0.2f;

// One ball in play: it moves in a straight line at the height of its radius, and tests the
// walls, the blocks and the paddle, in this order, after every short stretch of its way.
class CBall {
  public:
    // The longest stretch a ball moves between two tests: half its radius, so that it can
    // pass through nothing it could touch, but never more than kLongestStep (the paddle's
    // row is a unit deep however large the ball) and never less than kShortestStep (a ball
    // of no size). More than kMostSteps stretches a frame only a hostile speed needs.
    static constexpr float kLongestStep = 0.25f;
    static constexpr float kShortestStep = 0.01f;
    static constexpr int kMostSteps = 4096;

    // Takes radius, speed and speed-up from the current level; the direction is normalised
    // and, were it flatter than kFlattestSlope, made that steep.
    void Create(const SGameContext& links, const D3DXVECTOR3& position,
                const D3DXVECTOR3& direction, CModel* mesh);
    // Moves the ball along its way for dt seconds, in stretches of at most Reach(), each
    // followed by the tests; the frame rate changes nothing but the length of the stretches.
    // True when a surprise block sent every ball back to the stock: the move then ends with
    // the stretch that hit it.
    bool Move(float dt);
    float Reach() const;
    void Render();
    float GetSpeed() const { return m_fSpeed; }
    float GetRadius() const { return m_fRadius; }
    const D3DXVECTOR3& GetPosition() const { return m_vPosition; }
    const D3DXVECTOR3& GetDirection() const { return m_vDirection; }

  private:
    // One stretch: move, then the walls, the blocks and the paddle; true as for Move.
    bool Step(float dt);

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
    // each with the "ball" sound and a camera shake. When a ball's move sends every ball
    // back to the stock, no further ball moves in that frame.
    void Update(float dt);
    void Render();
    int Count() const { return static_cast<int>(m_Balls.size()); }
    // Every ball in play goes back to the stock (reported as balls won).
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
    std::vector<std::unique_ptr<CBall>> m_Spare; // out of play, kept for the next Add
    CModel m_Mesh;
};
