#pragma once

class CBoard;
class CPaddel;
class CBalls;
class CBlocks;
class CPlayer;
class CSound;

// The links through which the play-field objects and the player reach each other. The game
// controller owns all of them and hands each a copy.
struct SGameContext {
    CBoard* pBoard = nullptr;
    CPaddel* pPaddel = nullptr;
    CBalls* pBalls = nullptr;
    CBlocks* pBlocks = nullptr;
    CPlayer* pPlayer = nullptr;
    int* pLevelnummer = nullptr;
    float* pShake = nullptr;
    CSound* pSound = nullptr;
};
