#pragma once

#include "GameContext.h"
#include "engine/Model.h"
#include "engine/ParticleSystem.h"
#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"

#include <memory>
#include <string>
#include <vector>

// What a ball's test against the block field found.
enum EBlockHit : int {
    BLOCK_MISSED = 0,
    BLOCK_HIT = 1,
    BLOCK_HIT_RETURNS_BALLS = 2, // a surprise sends every ball in play back to the stock
};

// A block type: hitpoints, collision size (x centred, z from the block's position) and mesh.
// Types have fixed roles: 0 and 1 ordinary (1 shows cracks on its last hitpoint), 2 an
// extra ball, 3 indestructible, 4 a random effect.
struct SBlockInfo {
    int Index = 0;
    float Hitpoints = 0.0f;
    float SizeX = 0.0f;
    float SizeY = 0.0f;
    float SizeZ = 0.0f;
    CModel Model;
};

// A placed block: x is its centre, z its near face, y 0.
struct SBlock {
    D3DXVECTOR3 Position;
    int Type = 0;
    float Hitpoints = 0.0f;
};

// The block field: the block types, the blocks of the level, their collision with balls,
// their drawing with cracks and mirror images, and the particles that hits throw out.
class CBlocks {
  public:
    void Init(const SGameContext& links, platform::IGraphicsDevice* device);
    // For the menu: the types and the layout of level 0, only to be drawn.
    void InitBackdrop(platform::IGraphicsDevice* device);
    void LoadBlockTypes(int count);
    // Replaces the blocks with the layout of the level ("LevelN.txt").
    void LoadLevel(int level);
    // Only indestructible blocks are left.
    bool IsCleared() const { return static_cast<int>(m_Blocks.size()) == m_iIndestructible; }
    // Removes spent blocks and ages the particles.
    void Update(float dt);
    void Release();
    // Tests a ball against the blocks in list order; the first block touched is hit: the
    // ball is reflected off the face its centre is nearest to, and the block's type acts.
    EBlockHit Collide(D3DXVECTOR3& position, float r, D3DXVECTOR3& direction);
    // Draws the blocks, the particles and, with reflect and mirroring on, the blocks mirrored
    // below the floor.
    void Render(D3DXMATRIX view, bool reflect);
    // The screen rectangle of what Render draws below the floor (y < 0): the mirror images
    // and the particles reaching down there; false when there is nothing.
    bool BelowTheFloor(const D3DXMATRIX& viewProjection, int width, int height,
                       platform::SRect& rect) const;

    const std::vector<SBlock>& GetBlocks() const { return m_Blocks; }
    const std::vector<SBlockInfo>& GetBlockInfo() const { return m_BlockInfo; }
    int GetIndestructible() const { return m_iIndestructible; }
    const CParticleSystem& GetParticles() const { return m_Particles; }

  private:
    // The first block in list order whose box the ball's square of half-width r touches.
    SBlock* FirstTouched(const D3DXVECTOR3& position, float r);
    // Turns the ball off the block's face nearest its centre and puts it a radius outside.
    void Reflect(const SBlock& block, D3DXVECTOR3& position, float r, D3DXVECTOR3& direction) const;
    // What a hit on a block of the type sets off: score and sound, an extra ball, the
    // metal's sound or a random effect; true when every ball is to go back to the stock.
    bool Act(int type, const D3DXVECTOR3& position);
    void ReleaseBall(const D3DXVECTOR3& position);
    void Emit(const D3DXVECTOR3& position, int type);
    bool RandomEffect();

    SGameContext m_Links;
    platform::IGraphicsDevice* m_pDevice = nullptr;
    int m_iIndestructible = 0;
    CParticleSystem m_Particles;
    std::vector<SBlock> m_Blocks;
    std::vector<SBlockInfo> m_BlockInfo;
    std::unique_ptr<platform::ITexture> m_pCrackTexture;
    bool m_bMirror = false;
    bool m_bParticles = false;
};
