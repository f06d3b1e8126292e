#pragma once

class CBoard;
class CPaddel;
class CBalls;
class CBlocks;
class CSound;

// What the play field reports to whoever keeps the score and the ball stock (the player):
// the field tells, the listener acts. Each report comes at the moment it happens.
class IFieldEvents {
  public:
    virtual ~IFieldEvents() = default;
    // A block that scores was hit.
    virtual void BlockHit() = 0;
    // The paddle turned a ball.
    virtual void PaddleContact() = 0;
    // Balls for the stock: those in play sent back, or a surprise's gift.
    virtual void BallsWon(int count) = 0;
    // A surprise launches a ball from the stock.
    virtual void LaunchWanted() = 0;

  protected:
    IFieldEvents() = default;
    IFieldEvents(const IFieldEvents&) = default;
    IFieldEvents& operator=(const IFieldEvents&) = default;
    IFieldEvents(IFieldEvents&&) = default;
    IFieldEvents& operator=(IFieldEvents&&) = default;
};

// The links through which the play-field objects reach each other and report what happens.
// The game controller owns all of them and hands each a copy.
struct SGameContext {
    CBoard* pBoard = nullptr;
    CPaddel* pPaddel = nullptr;
    CBalls* pBalls = nullptr;
    CBlocks* pBlocks = nullptr;
    IFieldEvents* pEvents = nullptr;
    int* pLevelnummer = nullptr;
    float* pShake = nullptr;
    CSound* pSound = nullptr;
};
