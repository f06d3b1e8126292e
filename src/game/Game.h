#pragma once

class CDirect3D;
class CInput;
class CSound;

// The program's state: 0 main menu, 1 game, -1 quit.
extern int g_iProgramState;

// The game controller: levels, screens, play, statistics and the highscore.
class CGame {
  public:
    CGame() = default;
    ~CGame();
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    void Init(CDirect3D* direct3D, CInput* input, CSound* sound);
    void NewGame();
    bool LoadLevel();
    void Update(float frameTime);
    void Render();
    // Releases the play field; harmless when called again.
    void Release();
    void CheckHighscore();

  private:
    CDirect3D* m_pDirect3D = nullptr;
    CInput* m_pInput = nullptr;
    CSound* m_pSound = nullptr;
};
