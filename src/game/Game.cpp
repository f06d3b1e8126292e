#include "Game.h"

int g_iProgramState = 0;

CGame::~CGame() {
    Release();
}

void CGame::Init(CDirect3D* direct3D, CInput* input, CSound* sound) {
    m_pDirect3D = direct3D;
    m_pInput = input;
    m_pSound = sound;
}

void CGame::NewGame() {}

bool CGame::LoadLevel() {
    return true;
}

void CGame::Update(float) {}

void CGame::Render() {}

void CGame::Release() {}

void CGame::CheckHighscore() {}
