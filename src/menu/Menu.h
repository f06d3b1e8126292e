#pragma once

class CDirect3D;
class CInput;
class CSound;
class CGame;

// The main menu: animated buttons, the text column, the backdrop and the start of a game.
class CMenu {
  public:
    void Init(CDirect3D* direct3D, CInput* input, CSound* sound, CGame* game);
    void ResetButtons();
    void Update(float frameTime);
    void Render();

  private:
    CDirect3D* m_pDirect3D = nullptr;
    CInput* m_pInput = nullptr;
    CSound* m_pSound = nullptr;
    CGame* m_pGame = nullptr;
};
