#include "Player.h"

#include "engine/Direct3D.h"
#include "field/Ball.h"
#include "field/Paddel.h"
#include "input/Input.h"
#include "platform/Numeric.h"
#include "platform/Translation.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

using platform::TruncToInt;

void CPlayer::Init(const SGameContext& links, CDirect3D* direct3D, CInput* input) {
    m_Links = links;
    m_pDirect3D = direct3D;
    m_pInput = input;
    m_iControl = static_cast<std::int16_t>(ReadIniInt("Options", "Control"));
    m_eSteering = m_iControl == 1 ? ESteering::Mouse : ESteering::Keys;
    m_fMouseSensitive = ReadIniFloat("Options", "MouseSensitive");
    m_PlayerColor = ReadIniColor("Options", "SpielerTextColor");
    m_StatisticsColor = ReadIniColor("Options", "StatistikTextColor");
    Reset();
}

void CPlayer::Reset() {
    m_fScore = 0;
    m_iBalls = ReadIniInt("Options", "Balls");
    m_fPaddleContacts = 1;
    m_fBlocksHit = 0;
    m_fMouseDistance = 0;
}

void CPlayer::Control(float dt) {
    if (m_pInput == nullptr || m_Links.pPaddel == nullptr) {
        return;
    }
    CInput& input = *m_pInput;
    CPaddel& paddle = *m_Links.pPaddel;
    // The device the player touched last steers: the arrow keys or the D-pad while held, the
    // stick while it is out of its rest, the mouse (where "Control" asks for it) once it moves.
    const bool left = input.IsLeftDown();
    const bool right = input.IsRightDown();
    if (left || right) {
        m_eSteering = ESteering::Keys;
    } else if (input.GetStickX() != 0.0f) {
        m_eSteering = ESteering::Stick;
    } else if (m_iControl == 1 && input.GetMouseMoveX() != 0.0f) {
        m_eSteering = ESteering::Mouse;
    }
    switch (m_eSteering) {
    case ESteering::Keys:
        if (left) {
            paddle.AccelerateLeft(dt);
        }
        if (right) {
            paddle.AccelerateRight(dt);
        }
        break;
    case ESteering::Stick:
        // The stick's deflection is the share of the paddle's speed; back at rest it stops.
        paddle.SetVelocity(input.GetStickX() * paddle.GetSpeed());
        break;
    case ESteering::Mouse:
        SteerByMouse(dt);
        break;
    }
    // Both asked, so that each press counts in its own frame.
    const bool click = m_iControl == 1 && input.MouseButtonPressed(0);
    if (input.CommandPressed(CInput::ECommand::Launch) || click) {
        Launch();
    }
}

void CPlayer::SteerByMouse(float dt) {
    CPaddel& paddle = *m_Links.pPaddel;
    // The mouse's movement of this frame is the distance it took the paddle in a frame of
    // kMouseFrame; the velocity covers it in this frame, within the paddle's speed. So a hand
    // movement takes the paddle equally far at any frame rate.
    float v = 0;
    if (dt > 0) {
        m_fMouseDistance +=
            static_cast<float>(m_pInput->GetMouseMoveX()) * m_fMouseSensitive * kMouseFrame;
        v = m_fMouseDistance / dt;
        const float s = paddle.GetSpeed();
        if (v > s) {
            v = s;
        }
        if (v < -s) {
            v = -s;
        }
        m_fMouseDistance -= v * dt;
        // In frames shorter than kMouseFrame a single count may ask for more than the speed
        // allows: what the speed held back then follows in the next frames, up to a count's
        // distance. More, and anything held back in longer frames, is dropped.
        const float keep = dt < kMouseFrame ? std::abs(m_fMouseSensitive) * kMouseFrame : 0;
        m_fMouseDistance = std::clamp(m_fMouseDistance, -keep, keep);
    }
    paddle.SetVelocity(v);
}

void CPlayer::Launch() {
    if (m_iBalls > 0) {
        if (m_Links.pPaddel != nullptr) {
            m_Links.pPaddel->Launch();
        }
        m_iBalls -= 1;
    }
}

void CPlayer::AddBlockHit() {
    const int inPlay = m_Links.pBalls != nullptr ? m_Links.pBalls->Count() : 1;
    m_fBlocksHit = static_cast<float>(static_cast<double>(m_fBlocksHit) + 1.0 + (inPlay - 1) * 0.5);
}

void CPlayer::FinishLevel() {
    m_fScore += LevelScore();
    m_fPaddleContacts = 1;
    m_fBlocksHit = 0;
}

float CPlayer::Factor() const {
    const int level = m_Links.pLevelnummer != nullptr ? *m_Links.pLevelnummer : 1;
    return ReadIniFloat(LevelSection(level).c_str(), "Faktor");
}

void CPlayer::FormatHudLine(int line, char (&text)[128]) const {
    const float accuracy = Accuracy();
    switch (line) {
    case 0:
        std::snprintf(text, sizeof text, TrFormat("Punkte: %d"), TruncToInt(m_fScore));
        break;
    case 1:
        std::snprintf(text, sizeof text, TrFormat("Levelscore: %d * %.3f = %d"),
                      TruncToInt(m_fBlocksHit), static_cast<double>(accuracy),
                      TruncToInt(m_fBlocksHit * accuracy));
        break;
    case 2:
        std::snprintf(text, sizeof text, TrFormat("Punktefaktor: %.2f"),
                      static_cast<double>(Factor()));
        break;
    default:
        std::snprintf(text, sizeof text, TrFormat("Bälle: %d"), m_iBalls);
        break;
    }
}

void CPlayer::DrawHud() {
    if (m_pDirect3D == nullptr) {
        return;
    }
    char text[128];
    for (int line = 0; line < kHudLines; ++line) {
        FormatHudLine(line, text);
        m_pDirect3D->WriteText(text, 0, 16 * line, m_PlayerColor, 0);
    }
}

void CPlayer::FormatStatisticsLine(int line, char (&text)[128]) const {
    // Blocks hit and contacts as whole numbers, the accuracy as their quotient.
    const int hits = TruncToInt(m_fBlocksHit);
    const int contacts = TruncToInt(m_fPaddleContacts);
    const int level = m_Links.pLevelnummer != nullptr ? *m_Links.pLevelnummer : 1;
    switch (line) {
    case 0:
        std::snprintf(text, sizeof text, TrFormat("Statistik von Level %d"), level);
        break;
    case 1:
        std::snprintf(text, sizeof text, TrFormat("Blöcke getroffen: %d"), hits);
        break;
    case 2:
        std::snprintf(text, sizeof text, TrFormat("Ballkontakte des Paddels: %d"), contacts);
        break;
    case 3:
        std::snprintf(text, sizeof text, TrFormat("Genauigkeit: %.3f"),
                      static_cast<double>(static_cast<float>(hits) / static_cast<float>(contacts)));
        break;
    case 4:
        std::snprintf(text, sizeof text, TrFormat("Schwierigkeitsgrad des Levels: %.3f"),
                      static_cast<double>(Factor()));
        break;
    case 5:
        std::snprintf(text, sizeof text, TrFormat("Punkte für diese Level: %.0f"),
                      static_cast<double>(m_fLevelPoints));
        break;
    case 6:
        std::snprintf(text, sizeof text, TrFormat("Alte Punktzahl: %.0f"),
                      static_cast<double>(m_fScore));
        break;
    default:
        std::snprintf(text, sizeof text, TrFormat("Neue Punktzahl: %.0f"),
                      static_cast<double>(m_fScore + m_fLevelPoints));
        break;
    }
}

void CPlayer::DrawStatistics() {
    if (m_pDirect3D == nullptr) {
        return;
    }
    // The heading, a blank row, then the figures.
    static constexpr int kOffsets[kStatisticsLines] = {0, 32, 48, 64, 80, 96, 112, 128};
    char text[128];
    for (int line = 0; line < kStatisticsLines; ++line) {
        FormatStatisticsLine(line, text);
        m_pDirect3D->WriteText(text, m_pDirect3D->GetScreenWidth() / 8,
                               m_pDirect3D->GetScreenHeight() / 8 + kOffsets[line],
                               m_StatisticsColor, 0);
    }
}
