#pragma once

#include "HelpText.h"
#include "Player.h"
#include "ProgramState.h"
#include "engine/Sprite.h"
#include "field/Ball.h"
#include "field/Blocks.h"
#include "field/Board.h"
#include "field/GameContext.h"
#include "field/Paddel.h"
#include "platform/D3D9Types.h"
#include "platform/GraphicsDevice.h"

#include <cstdint>

class CDirect3D;
class CInput;
class CSound;

// The game controller: the play field and the player, the levels, the screens of a game
// (level selection, transitions, help text, play, statistics, game over) and the highscore.
class CGame {
  public:
    // The screens of a game.
    enum EGameState : std::int16_t {
        STATE_PLAYING = 0,     // playing, or choosing a level in the level selection
        STATE_GAME_OVER = 1,   // no new highscore
        STATE_HIGHSCORE = 2,   // game over with a new highscore
        STATE_TURNING_IN = 3,  // the camera turns into the new level
        STATE_TURNING_OUT = 4, // the camera turns away; the next level loads at the end
        STATE_HELP = 5,        // the level's help text
        STATE_STATISTICS = 6,  // level complete
    };

    CGame();
    ~CGame();
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    void Init(CDirect3D* direct3D, CInput* input, CSound* sound);
    // A new game in the level selection at level 1.
    void NewGame();
    // Loads the current level; false, changing only the highscore shown, when it has no
    // layout file.
    bool LoadLevel();
    // One frame of the game; returns PROGRAM_MENU when Escape leaves a game that is over
    // or the level selection, else PROGRAM_GAME.
    EProgramState Update(float d);
    void Render();
    // Releases the play field; harmless when called again.
    void Release();
    // The end of a game: a score above the stored one becomes the new highscore.
    void CheckHighscore();
    // The tinted panel behind the game's messages.
    void DrawPanel();

    std::int16_t GetGameState() const { return m_iGameState; }
    int GetLevelnummer() const { return m_iLevelnummer; }
    bool IsLevelSelect() const { return m_bLevelSelect; }
    bool IsPaused() const { return m_bPause; }
    // Pauses play, as P does, and as unplugging the controller does; P, Start or a mouse
    // button goes on.
    void Pause() { m_bPause = true; }
    int GetCamera() const { return m_iCamera; }
    float GetTransition() const { return m_fTransition; }
    float GetShake() const { return m_fShake; }
    int GetHighscore() const { return m_iHighscore; }
    CPlayer& GetPlayer() { return m_Player; }
    CBalls& GetBalls() { return m_Balls; }
    CBlocks& GetBlocks() { return m_Blocks; }
    CBoard& GetBoard() { return m_Board; }
    CPaddel& GetPaddel() { return m_Paddel; }
    // The camera of the last Render: eye and target.
    const D3DXVECTOR3& GetEye() const { return m_vEye; }
    const D3DXVECTOR3& GetTarget() const { return m_vTarget; }

  private:
    // The keys and buttons that work in every state, paused too: N, P or Start, Escape (B,
    // Back) and the camera views (F1 to F4, the shoulder buttons). An unplugged controller
    // pauses.
    EProgramState HandleKeys();
    // The right mouse button, or Enter, Space or A: on from the level selection, the help
    // and the statistics.
    bool GoOnPressed();
    // One frame of each state.
    void UpdatePlay(float d);
    void UpdateSelection();
    void UpdateTurningIn(float d);
    void UpdateTurningOut(float d);
    bool HelpTextExists();
    // The eye and the target of the camera view chosen with F1 to F4.
    void ViewPoints(D3DXVECTOR3& eye, D3DXVECTOR3& target) const;
    // That view, turned by the transition and shaken by a lost ball, with the light at the
    // eye; returns the view matrix.
    D3DXMATRIX PlaceCamera();
    void DrawField(const D3DXMATRIX& view);
    // The texts and panels of the current state.
    void DrawScreen();
    void DrawHelpText();

    CDirect3D* m_pDirect3D = nullptr;
    CInput* m_pInput = nullptr;
    CSound* m_pSound = nullptr;
    platform::IGraphicsDevice* m_pDevice = nullptr;
    CBoard m_Board;
    CPaddel m_Paddel;
    CBalls m_Balls;
    CBlocks m_Blocks;
    CPlayer m_Player;
    SGameContext m_Context;
    int m_iCamera = 1;
    int m_iLevelnummer = 1;
    bool m_bPause = false;
    std::int16_t m_iGameState = STATE_PLAYING;
    bool m_bLevelSelect = false;
    float m_fTransition = 0.0f;
    float m_fShake = 0.0f;
    int m_iHighscore = 0;
    CHelpText m_HelpText;
    CSpriteButton m_LeftArrow;
    CSpriteButton m_RightArrow;
    CSprite m_Pointer;
    D3DLIGHT9 m_Light;
    D3DMATERIAL9 m_Material;
    bool m_bMirror = false;
    bool m_bBallSpecular = false;
    bool m_bTransitions = false;
    std::uint32_t m_PlayerTextColor = 0;
    std::uint32_t m_HelpTextColor = 0;
    std::uint32_t m_SelectTextColor = 0;
    std::uint32_t m_InfoTextColor = 0;
    D3DXVECTOR3 m_vEye;
    D3DXVECTOR3 m_vTarget;
};
