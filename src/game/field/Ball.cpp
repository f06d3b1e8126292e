#include "Ball.h"

#include "Blocks.h"
#include "Board.h"
#include "Paddel.h"
#include "audio/Sound.h"
#include "platform/D3DXMath.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A direction of no length has no way to go: straight away from the paddle then. One
// flatter than kFlattestSlope becomes that steep, keeping its sides of the x and z axes (no
// z at all counts as away from the paddle, as the paddle sends it).
D3DXVECTOR3 Course(const D3DXVECTOR3& direction) {
    const float length = D3DXVec3Length(&direction);
    if (!(length > 0)) {
        return D3DXVECTOR3(0, 0, 1);
    }
    D3DXVECTOR3 course = direction / length;
    if (std::abs(course.z) < kFlattestSlope * std::abs(course.x)) {
        course = D3DXVECTOR3(course.x < 0 ? -1.0f : 1.0f, 0,
                             course.z < 0 ? -kFlattestSlope : kFlattestSlope);
        D3DXVec3Normalize(&course, &course);
    }
    return course;
}

} // namespace

void CBall::Create(const SGameContext& links, const D3DXVECTOR3& position,
                   const D3DXVECTOR3& direction, CModel* mesh) {
    m_pMesh = mesh;
    m_Links = links;
    const int level = links.pLevelnummer != nullptr ? *links.pLevelnummer : 1;
    const std::string section = LevelSection(level);
    m_fRadius = ReadIniFloat(section.c_str(), "BallSize");
    m_vPosition = D3DXVECTOR3(position.x, m_fRadius, position.z);
    m_vDirection = Course(direction);
    m_fSpeed = ReadIniFloat(section.c_str(), "BallSpeed");
    m_fMaxSpeed = 2 * m_fSpeed;
    m_fSpeedUp = ReadIniFloat(section.c_str(), "BallSpeedUp");
}

float CBall::Reach() const {
    return std::clamp(m_fRadius / 2, kShortestStep, kLongestStep);
}

bool CBall::Move(float dt) {
    // A ball that does not move touches nothing new. Testing it anyway would turn it again
    // at the wall or block it was put against in its last move, which holds it there (a
    // frame of 0 ms after a bounce): it would slide along the far wall past the side walls.
    // For the same reason the frame is cut into equal stretches, never into a last sliver
    // too short to move the ball at all.
    if (dt * m_fSpeed == 0.0f) {
        return false;
    }
    float left = dt;
    int steps = 0;
    while (left > 0 && steps < kMostSteps && m_fSpeed != 0) {
        int parts = 1;
        const float way = m_fSpeed * left;
        if (way > Reach()) {
            parts = static_cast<int>(
                std::min(std::ceil(way / Reach()), static_cast<float>(kMostSteps - steps)));
        }
        const float h = left / static_cast<float>(parts);
        const float speed = m_fSpeed;
        int done = 0;
        // A paddle hit changes the speed: the rest of the frame is then cut anew.
        do {
            if (Step(h)) {
                return true; // back to the stock: the move ends with this stretch
            }
            ++done;
        } while (done < parts && m_fSpeed == speed);
        steps += done;
        left = done == parts ? 0 : left - h * static_cast<float>(done);
    }
    return false;
}

bool CBall::Step(float dt) {
    m_vPosition += m_vDirection * m_fSpeed * dt;
    const float r = m_fRadius;
    if (CBoard* board = m_Links.pBoard) {
        switch (board->TestWalls(m_vPosition.x, m_vPosition.y, m_vPosition.z, r)) {
        case WALL_FAR:
            m_vDirection.z = -m_vDirection.z;
            m_vPosition.z = board->GetSizeZ() - r;
            break;
        case WALL_RIGHT:
            m_vDirection.x = -m_vDirection.x;
            m_vPosition.x = board->GetSizeX() - r;
            break;
        case WALL_NEAR:
            m_vDirection.z = -m_vDirection.z;
            m_vPosition.z = 0 + r;
            break;
        case WALL_LEFT:
            m_vDirection.x = -m_vDirection.x;
            m_vPosition.x = 0 + r;
            break;
        case WALL_LOST:
            m_fSpeed = 0;
            break;
        case WALL_NONE:
            break;
        }
    }
    const EBlockHit block = m_Links.pBlocks != nullptr
                                ? m_Links.pBlocks->Collide(m_vPosition, r, m_vDirection)
                                : BLOCK_MISSED;
    if (m_Links.pPaddel != nullptr && m_Links.pPaddel->Collide(m_vPosition, r, m_vDirection)) {
        const float length = D3DXVec3Length(&m_vDirection);
        if (length > 0) {
            m_vDirection = m_vDirection / length;
        }
        m_fSpeed *= m_fSpeedUp;
        if (m_fSpeed > m_fMaxSpeed) {
            m_fSpeed = m_fMaxSpeed;
        }
    }
    return block == BLOCK_HIT_RETURNS_BALLS;
}

void CBall::Render() {
    if (m_pMesh != nullptr) {
        m_pMesh->Render(m_vPosition.x, 0, m_vPosition.z, m_fRadius, m_fRadius, m_fRadius);
    }
}

void CBalls::Init(const SGameContext& links, platform::IGraphicsDevice* device, CSound* sound) {
    m_Links = links;
    m_pDevice = device;
    m_pSound = sound;
    for (auto* balls : {&m_Balls, &m_Spare}) {
        balls->reserve(kReserved);
    }
    while (m_Spare.size() < kReserved) {
        m_Spare.push_back(std::make_unique<CBall>());
    }
    m_Mesh.Load(device, "ball.mdl");
    if (m_pSound != nullptr) {
        m_pSound->LoadSound("ball", 4);
    }
}

void CBalls::Add(const D3DXVECTOR3& position, const D3DXVECTOR3& direction) {
    // Balls are made anew from the spares: play allocates only beyond kReserved balls.
    std::unique_ptr<CBall> ball;
    if (m_Spare.empty()) {
        ball = std::make_unique<CBall>();
    } else {
        ball = std::move(m_Spare.back());
        m_Spare.pop_back();
    }
    ball->Create(m_Links, position, direction, &m_Mesh);
    m_Balls.push_back(std::move(ball));
}

void CBalls::Spare(std::vector<std::unique_ptr<CBall>>& balls) {
    for (auto& ball : balls) {
        m_Spare.push_back(std::move(ball));
    }
    balls.clear();
}

void CBalls::Update(float dt) {
    const std::size_t count = m_Balls.size();
    for (std::size_t i = 0; i < count; ++i) {
        // Balls added during the moves are appended and move from the next frame on.
        if (m_Balls[i]->Move(dt)) {
            // A surprise sent every ball back: the moving one has ended its move, and no
            // other ball moves in this frame.
            ReturnToStock();
            break;
        }
    }

    for (auto it = m_Balls.begin(); it != m_Balls.end();) {
        if ((*it)->GetSpeed() == 0.0f) {
            m_Spare.push_back(std::move(*it));
            it = m_Balls.erase(it);
            if (m_Links.pShake != nullptr) {
                *m_Links.pShake = 1.0f;
            }
            if (m_pSound != nullptr) {
                m_pSound->Play("ball", false);
            }
        } else {
            ++it;
        }
    }
}

void CBalls::Render() {
    for (const auto& ball : m_Balls) {
        ball->Render();
    }
}

void CBalls::ReturnToStock() {
    if (m_Links.pEvents != nullptr) {
        m_Links.pEvents->BallsWon(Count());
    }
    Spare(m_Balls);
}

void CBalls::Release() {
    m_Balls.clear();
    m_Spare.clear();
    m_Mesh = CModel();
}
