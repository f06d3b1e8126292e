#pragma once

#include "TextDisplay.h"
#include "engine/Sprite.h"
#include "game/ProgramState.h"
#include "game/field/Blocks.h"
#include "platform/GraphicsDevice.h"

#include <cstdint>

class CDirect3D;
class CInput;
class CSound;
class CGame;

// The fly-in of a menu button: its path, turn and timing.
struct SButtonAnim {
    float fTime = 0.0f;   // duration of the fly-in, seconds
    float fTurn = 0.0f;   // total turn, degrees
    float fDeltaX = 0.0f; // end minus start, pixels
    float fDeltaY = 0.0f;
    float fStartX = 0.0f; // start of the top-left corner, pixels
    float fStartY = 0.0f;
    float fDelay = 0.0f; // seconds before the button passes its start point
};

// The main menu: a circling view of a block field, three buttons that fly in (start, info,
// end), the highscore, the pointer and a column of sliding text lines.
class CMenu {
  public:
    // The menu's states.
    enum EMenuState : std::int16_t {
        MENU_FLY_IN = 0, // clicks are ignored
        MENU_IDLE = 1,
        MENU_STARTING = 2, // countdown to the game
        MENU_INFO = 3,     // help and credits shown
        MENU_QUITTING = 4, // countdown to the end
    };

    void Init(CDirect3D* direct3D, CInput* input, CSound* sound, CGame* game);
    void ResetButtons();
    // One frame of the menu; returns PROGRAM_GAME or PROGRAM_END when a countdown ends,
    // else PROGRAM_MENU.
    EProgramState Update(float dt);
    void Render();

    std::int16_t GetState() const { return m_sState; }
    float GetAngle() const { return m_fAngle; }
    float GetCountdown() const { return m_fCountdown; }
    int GetHighscore() const { return m_iHighscore; }
    const CSpriteButton& GetButton(int i) const { return m_Buttons[i]; }
    const SButtonAnim& GetAnim(int i) const { return m_Anim[i]; }
    const CTextDisplay& GetText() const { return m_Text; }
    // Where each button stands and how far it is turned now.
    int GetButtonX(int i) const { return m_ButtonX[i]; }
    int GetButtonY(int i) const { return m_ButtonY[i]; }
    float GetButtonTurn(int i) const { return m_ButtonTurn[i]; }
    // The button the keyboard or controller would take: 0 to 2, or -1 while none has the
    // focus (from the start, and again once the mouse moves).
    int GetFocus() const { return m_iFocus; }
    // The colour of the buttons without the focus while one has it: they show darker.
    static constexpr std::uint32_t kUnfocusedColor = 0xFF707070u;

  private:
    // The buttons along their paths; idle once every one has arrived.
    void FlyIn(float dt);
    // A left click at (x, y) on the idle menu: start, info or end.
    void Click(int x, int y);
    // Up, Down or Tab move the focus among the buttons, Enter, Space or A take the button
    // with the focus (the start button while none has it).
    void UseKeys();
    // What a click on button i does.
    void Take(int i);
    void PlayClick();
    // The countdown to the game or to the end; what follows when it ends.
    EProgramState CountDown(float dt);
    void ReadHighscore();
    void PlaceButton(int i, int x, int y, float degrees);
    void PlaceAtEnd(int i);

    CDirect3D* m_pDirect3D = nullptr;
    CInput* m_pInput = nullptr;
    CSound* m_pSound = nullptr;
    CGame* m_pGame = nullptr;
    CTextDisplay m_Text;
    platform::IGraphicsDevice* m_pDevice = nullptr;
    CSpriteButton m_Buttons[3];
    CSprite m_Pointer;
    SButtonAnim m_Anim[3];
    CBlocks m_Backdrop;
    float m_fIntroTime = 0.0f;
    float m_fCountdown = 0.0f;
    std::int16_t m_sState = MENU_FLY_IN;
    int m_iHighscore = 0;
    float m_fAngle = 0.0f;
    std::uint8_t m_bIntro = 0;
    std::uint32_t m_MenuTextColor = 0;
    int m_iFocus = -1;
    int m_iCursorX = 0; // where the cursor was in the frame before
    int m_iCursorY = 0;
    int m_ButtonX[3] = {};
    int m_ButtonY[3] = {};
    float m_ButtonTurn[3] = {};
};
