#pragma once

#include "engine/Model.h"
#include "platform/GraphicsDevice.h"

// What a ball touched of the board, tested in this order: far, right, near, left.
enum EWallHit : int {
    WALL_NONE = -1,
    WALL_FAR = 0,
    WALL_RIGHT = 1,
    WALL_NEAR = 2,
    WALL_LEFT = 3,
    WALL_LOST = 4, // the ball left through an open side
};

// The floor of the play field: the level's width and depth, walls left and right, a far
// edge that is a wall or an open exit, and the open near edge where balls are lost.
class CBoard {
  public:
    void Init(platform::IGraphicsDevice* device);
    // Takes the board's size and far edge from the level's settings.
    void LoadLevel(int level);
    float GetSizeX() const { return m_fSizeX; }
    float GetSizeZ() const { return m_fSizeZ; }
    // True once a ball has left through the open far edge in this level.
    bool HasExited() const { return m_bExited; }
    // The walls a ball of radius r at (x, z) touches; a ball beyond the open far edge is
    // noted as exited.
    EWallHit TestWalls(float x, float y, float z, float r);
    // Draws the board without writing depth; blended, it lets a third of what lies behind
    // it show through.
    void Render(bool blend);
    void Release();

  private:
    platform::IGraphicsDevice* m_pDevice = nullptr;
    CModel m_Board;
    CModel m_Board2;
    float m_fSizeX = 0.0f;
    float m_fSizeZ = 0.0f;
    bool m_bTop = false;
    bool m_bRightWall = true;
    bool m_bNearWall = false;
    bool m_bLeftWall = true;
    bool m_bExited = false;
};
