#include "Menu.h"

#include "audio/Sound.h"
#include "engine/Direct3D.h"
#include "game/Game.h"
#include "game/ScoreFile.h"
#include "input/Input.h"
#include "platform/D3DXMath.h"
#include "platform/Numeric.h"
#include "platform/Translation.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Who made the game, for the welcome lines and the credits.
const char* const kProducer = N_("produziert von der Zantor-Werkstatt 2004");
const char* const kWeb = "https://zantor.example";
const char* const kAuthor = N_("Das Zantor-Team");
const char* const kThanks = N_("allen, die Zantor gespielt und Fehler gemeldet haben");
const char* const kMail = N_("team@zantor.example oder:");
const char* const kMail2 = "hilfe@zantor.example";

// A button without a "Time" divides by 0 on its way: its place saturates, as every
// conversion of a float that may be out of range does.
int Trunc(float value) {
    return platform::TruncToInt(value);
}

} // namespace

void CMenu::Init(CDirect3D* direct3D, CInput* input, CSound* sound, CGame* game) {
    g_Log << LOG_INFO << "Menu Init";
    m_pDirect3D = direct3D;
    m_pInput = input;
    m_pSound = sound;
    m_pGame = game;
    m_pDevice = direct3D != nullptr ? direct3D->GetDevice() : nullptr;
    m_Backdrop.InitBackdrop(m_pDevice);

    m_Pointer.Load("zeiger.png", direct3D, 0xFF000000u);
    const auto width = static_cast<float>(direct3D != nullptr ? direct3D->GetScreenWidth() : 0);
    const auto height = static_cast<float>(direct3D != nullptr ? direct3D->GetScreenHeight() : 0);
    // TRANSLATORS: the picture of the menu's "Ende" button, beside the German one in the
    // data set: a name of the language's own, such as "end.en.png", for a picture in it.
    const std::string quit = TranslatedDataFile(Tr("end.png"), "end.png");
    const char* const names[3] = {"start.png", "info.png", quit.c_str()};
    for (int i = 0; i < 3; ++i) {
        m_Buttons[i].Load(names[i], direct3D, 0xFFFFFFFFu);
        // Drawn for 1024 × 768, scaled to the screen.
        m_Buttons[i].SetScale(width / 1024.0f, height / 768.0f);
    }
    g_Log << LOG_INFO << "Menügrafiken geladen";

    for (int i = 0; i < 3; ++i) {
        const std::string section = "Button" + std::to_string(i);
        const char* s = section.c_str();
        const float time = ReadIniFloat(s, "Time");
        const float startX = ReadIniFloat(s, "StartPosX") * width;
        const float startY = ReadIniFloat(s, "StartPosY") * height;
        const float endX = ReadIniFloat(s, "EndPosX") * width;
        const float endY = ReadIniFloat(s, "EndPosY") * height;
        const float turns = ReadIniFloat(s, "Rotation");
        const float delay = ReadIniFloat(s, "Verzoegerung");
        m_Anim[i] =
            SButtonAnim{time, turns * 360.0f, endX - startX, endY - startY, startX, startY, delay};
    }

    m_fAngle = 0;
    m_fCountdown = 0;
    m_sState = MENU_FLY_IN;
    m_MenuTextColor = ReadIniColor("Options", "MenuTextColor");

    g_Log << LOG_INFO << "Menüsounds laden";
    if (sound != nullptr) {
        sound->LoadSound("klick", 4);
        sound->LoadMusic("musik");
        g_Log << LOG_INFO << "Die musik spielen";
        sound->PlayMusic("musik", true);
    } else {
        g_Log << LOG_INFO << "Die musik spielen";
    }

    m_Text.Init(direct3D);
    m_Text.AddLine(Tr("Willkommen bei Zantor 0.95"));
    m_Text.AddLine(Tr(kProducer));
    m_Text.AddLine((std::string(Tr("besuchen sie: ")) + kWeb).c_str());
    ResetButtons();
    g_Log << LOG_INFO << "Highscore laden";
    ReadHighscore();
    m_bIntro = ReadIniInt("Options", "Intro") == 1 ? 1 : 0;
    g_Log << LOG_INFO << "Menu Init end";
}

void CMenu::ReadHighscore() {
    m_iHighscore = ReadScoreFile(DataDirectoryPath("Highscore.dat"));
}

void CMenu::ResetButtons() {
    for (int i = 0; i < 3; ++i) {
        PlaceButton(i, 0, 0, 0);
    }
    m_fIntroTime = 0;
}

void CMenu::PlaceButton(int i, int x, int y, float degrees) {
    m_ButtonX[i] = x;
    m_ButtonY[i] = y;
    m_ButtonTurn[i] = degrees;
    m_Buttons[i].SetPosition(x, y);
    m_Buttons[i].SetRotation(degrees);
}

void CMenu::PlaceAtEnd(int i) {
    const SButtonAnim& a = m_Anim[i];
    PlaceButton(i, Trunc(a.fStartX + a.fDeltaX), Trunc(a.fStartY + a.fDeltaY), a.fTurn);
}

EProgramState CMenu::Update(float dt) {
    EProgramState next = PROGRAM_MENU;
    if (m_bIntro == 0) {
        // No fly-in: every button stands at its end at once, and only once.
        for (int i = 0; i < 3; ++i) {
            PlaceAtEnd(i);
        }
        m_sState = MENU_IDLE;
        m_bIntro = 1;
    }
    if (m_sState == MENU_FLY_IN) {
        FlyIn(dt);
    } else {
        m_Text.Update(dt);
        if (m_pInput != nullptr) {
            if (m_pInput->MouseButtonPressed(0)) {
                Click(m_pInput->GetMouseX(), m_pInput->GetMouseY());
            }
            UseKeys();
        }
        next = CountDown(dt);
    }
    m_fAngle += 80.0f * dt;
    if (m_fAngle > 360.0f) {
        m_fAngle -= 360.0f;
    }
    return next;
}

void CMenu::FlyIn(float dt) {
    m_fIntroTime += dt;
    bool moving = false;
    for (int i = 0; i < 3; ++i) {
        const SButtonAnim& a = m_Anim[i];
        // Not clamped below: before its delay a button is on its path's extension.
        const float e = m_fIntroTime - a.fDelay;
        if (e < a.fTime) {
            PlaceButton(i, Trunc(a.fDeltaX / a.fTime * e + a.fStartX),
                        Trunc(a.fDeltaY / a.fTime * e + a.fStartY), a.fTurn / a.fTime * e);
            moving = true;
        } else {
            PlaceAtEnd(i);
        }
    }
    if (!moving) {
        m_sState = MENU_IDLE;
    }
}

void CMenu::Click(int x, int y) {
    // Each button tested in turn: where they overlap, the last one's text stays.
    for (int i = 0; i < 3; ++i) {
        if (m_Buttons[i].IsInside(x, y)) {
            Take(i);
        }
    }
}

void CMenu::UseKeys() {
    CInput& input = *m_pInput;
    if (input.GetMouseX() != m_iCursorX || input.GetMouseY() != m_iCursorY) {
        m_iFocus = -1; // the mouse points again
        m_iCursorX = input.GetMouseX();
        m_iCursorY = input.GetMouseY();
    }
    const bool shift = input.IsKeyDown(DIK_LSHIFT) != 0 || input.IsKeyDown(DIK_RSHIFT) != 0;
    const bool tab = input.KeyPressed(DIK_TAB);
    const bool up = input.CommandPressed(CInput::ECommand::Up);
    const bool down = input.CommandPressed(CInput::ECommand::Down);
    if (down || (tab && !shift)) {
        m_iFocus = (m_iFocus + 1) % 3; // from none to the first
    } else if (up || (tab && shift)) {
        m_iFocus = (m_iFocus + 2 + (m_iFocus < 0 ? 1 : 0)) % 3; // from none to the last
    }
    if (input.CommandPressed(CInput::ECommand::Confirm)) {
        Take(m_iFocus < 0 ? 0 : m_iFocus);
    }
}

void CMenu::Take(int i) {
    PlayClick();
    switch (i) {
    case 0:
        m_fCountdown = 2.0f;
        m_sState = MENU_STARTING;
        m_Text.Clear();
        m_Text.AddLine(Tr("Spiel startet..."));
        break;
    case 1:
        ReadHighscore();
        m_Text.Clear();
        // The credits read as they always have ("Entwicklet", "Tatkräftiger"): keep them.
        // The addresses are not marked, and so the same in every language.
        for (const char* line :
             {N_("Zantor:"), N_("Hilfe zum Spiel erhalten sie jeweils am Anfang"),
              N_("eines neuen Levels"), N_("(Learning by Doing)"), "", N_("Entwicklet von:"),
              kAuthor, N_("Mit freundlicher und Tatkräftiger Unterstützung von:"), kThanks, "",
              N_("Kontakt per E-Mail an:"), kMail, kMail2, "", kWeb}) {
            m_Text.AddLine(Tr(line));
        }
        m_sState = MENU_INFO;
        break;
    default:
        m_fCountdown = 2.0f;
        m_sState = MENU_QUITTING;
        m_Text.Clear();
        m_Text.AddLine(Tr("Bis bald!"));
        break;
    }
}

void CMenu::PlayClick() {
    if (m_pSound != nullptr) {
        m_pSound->Play("klick", false);
    }
}

EProgramState CMenu::CountDown(float dt) {
    if (m_fCountdown <= 0) {
        return PROGRAM_MENU;
    }
    m_fCountdown -= dt;
    if (m_fCountdown > 0) {
        return PROGRAM_MENU;
    }
    EProgramState next = PROGRAM_MENU;
    if (m_sState == MENU_STARTING) {
        if (m_pGame != nullptr) {
            m_pGame->NewGame();
        }
        next = PROGRAM_GAME;
        m_sState = MENU_IDLE;
    } else if (m_sState == MENU_QUITTING) {
        next = PROGRAM_END;
        m_sState = MENU_IDLE;
    }
    m_Text.Clear();
    return next;
}

void CMenu::Render() {
    if (m_pDevice == nullptr || m_pDirect3D == nullptr) {
        return;
    }
    // The eye circles at height 42 above the backdrop, radius 5, looking down.
    const float theta = m_fAngle * 3.1415927f / 180.0f;
    const D3DXVECTOR3 eye{5 * std::cos(theta) + 20, 42, 5 * std::sin(theta) - 4};
    const D3DXVECTOR3 target{20, 20, -4};
    const D3DXVECTOR3 up{0, 0, 1};
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 1);

    // The light is read anew every frame, alpha first within each colour.
    D3DLIGHT9 light = ReadIniLight();
    light.Position = eye;
    m_pDevice->SetMaterial(SceneMaterial());
    m_pDevice->SetLight(0, light);
    m_pDevice->LightEnable(0, true);

    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    m_pDevice->SetTransform(D3DTS_VIEW, view);
    SetSceneProjection(*m_pDevice, m_pDirect3D->GetScreenWidth(), m_pDirect3D->GetScreenHeight());

    m_Backdrop.Render(view, false);
    for (int i = 0; i < 3; ++i) {
        m_Buttons[i].SetColor(m_iFocus < 0 || m_iFocus == i ? 0xFFFFFFFFu : kUnfocusedColor);
        m_Buttons[i].Draw();
    }
    if (m_sState != MENU_FLY_IN) {
        m_Text.Render();
    }
    char text[64];
    std::snprintf(text, sizeof text, TrFormat("Highscore: %i"), m_iHighscore);
    m_pDirect3D->WriteText(text, m_pDirect3D->GetScreenWidth() / 16,
                           m_pDirect3D->GetScreenHeight() - 32, m_MenuTextColor, 0);
    m_Pointer.Draw(m_pInput != nullptr ? m_pInput->GetMouseX() : 0,
                   m_pInput != nullptr ? m_pInput->GetMouseY() : 0, 0);
}
