#include "Menu.h"

void CMenu::Init(CDirect3D* direct3D, CInput* input, CSound* sound, CGame* game) {
    m_pDirect3D = direct3D;
    m_pInput = input;
    m_pSound = sound;
    m_pGame = game;
    ResetButtons();
}

void CMenu::ResetButtons() {}

void CMenu::Update(float) {}

void CMenu::Render() {}
