#include "Game.h"

#include "engine/Direct3D.h"
#include "field/Random.h"
#include "input/Input.h"
#include "platform/D3DXMath.h"
#include "platform/Numeric.h"
#include "platform/Translation.h"
#include "settings/Settings.h"

#include <cmath>
#include <cstdio>
#include <string>

void CGame::Render() {
    if (m_pDevice == nullptr || m_pDirect3D == nullptr) {
        return;
    }
    const D3DXMATRIX view = PlaceCamera();
    DrawField(view);
    DrawScreen();
    if (m_bPause) {
        // In the middle of the screen; above the centred lines of a panel when one shows.
        const int H = m_pDirect3D->GetScreenHeight();
        const bool panel = !m_bLevelSelect && m_iGameState != STATE_PLAYING;
        m_pDirect3D->WriteText(Tr("Pause"), 0, panel ? H / 2 - 48 : H / 2 - 8, m_InfoTextColor, 1);
    }
}

void CGame::ViewPoints(D3DXVECTOR3& E, D3DXVECTOR3& T) const {
    const float w = m_Board.GetSizeX();
    const float d = m_Board.GetSizeZ();
    const D3DXVECTOR3& P = m_Paddel.GetPosition();
    switch (m_iCamera) {
    case 2:
        E = D3DXVECTOR3(P.x, 10, -10);
        T = D3DXVECTOR3(w / 2, 0, d / 2);
        break;
    case 3:
        E = D3DXVECTOR3(w / 2, 20, -8);
        T = D3DXVECTOR3(P.x, P.y, d / 2);
        break;
    case 4:
        E = D3DXVECTOR3(P.x, P.y + 2, P.z - 5);
        T = D3DXVECTOR3(P.x, P.y, P.z + d);
        break;
    default:
        E = D3DXVECTOR3(w / 2, 20, -2);
        T = D3DXVECTOR3(w / 2, 0, d / 2);
        break;
    }
}

D3DXMATRIX CGame::PlaceCamera() {
    D3DXVECTOR3 E;
    D3DXVECTOR3 T;
    ViewPoints(E, T);
    // The transition turns the view about the vertical axis through the eye.
    const D3DXVECTOR3 D = T - E;
    const float theta = m_fTransition / 1.8f * 3.1415927f;
    const D3DXVECTOR3 turned{D.x * std::cos(theta) - D.z * std::sin(theta), D.y,
                             D.x * std::sin(theta) + D.z * std::cos(theta)};
    T = E + turned;
    // A lost ball shakes the eye, not the target.
    if (m_fShake > 0) {
        E.x += (static_cast<float>(Rand() % 3000) / 1000.0f - 1.5f) * m_fShake;
        E.y += (static_cast<float>(Rand() % 3000) / 1000.0f - 1.5f) * m_fShake;
        E.z += (static_cast<float>(Rand() % 3000) / 1000.0f - 1.5f) * m_fShake;
    }
    m_vEye = E;
    m_vTarget = T;

    m_Light.Position = E;
    m_pDevice->SetMaterial(m_Material);
    m_pDevice->SetLight(0, m_Light);
    m_pDevice->LightEnable(0, true);

    const D3DXVECTOR3 up{0, 1, 0};
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &E, &T, &up);
    m_pDevice->SetTransform(D3DTS_VIEW, view);
    SetSceneProjection(*m_pDevice, m_pDirect3D->GetScreenWidth(), m_pDirect3D->GetScreenHeight());
    return view;
}

void CGame::DrawField(const D3DXMATRIX& view) {
    m_Board.Render(false);
    if (m_bBallSpecular) {
        m_pDevice->SetRenderState(D3DRS_SPECULARENABLE, 1);
    }
    m_Balls.Render();
    if (m_bBallSpecular) {
        m_pDevice->SetRenderState(D3DRS_SPECULARENABLE, 0);
    }
    m_Paddel.Render();
    m_Blocks.Render(view, true);
    if (m_bMirror) {
        // Blended over itself the board stays as it is. Drawn again it only shows what lies
        // below the floor through it: it is drawn again only where that is on the screen.
        const int W = m_pDirect3D->GetScreenWidth();
        const int H = m_pDirect3D->GetScreenHeight();
        D3DXMATRIX viewProjection;
        const D3DXMATRIX projection = SceneProjection(W, H);
        D3DXMatrixMultiply(&viewProjection, &view, &projection);
        platform::SRect below;
        if (m_Blocks.BelowTheFloor(viewProjection, W, H, below)) {
            m_pDevice->SetScissorRect(below);
            m_pDevice->SetRenderState(D3DRS_SCISSORTESTENABLE, 1);
            m_Board.Render(true);
            m_pDevice->SetRenderState(D3DRS_SCISSORTESTENABLE, 0);
        }
    }
}

void CGame::DrawScreen() {
    const int H = m_pDirect3D->GetScreenHeight();
    char text[256];
    if (m_bLevelSelect) {
        m_LeftArrow.Draw();
        m_RightArrow.Draw();
        m_pDirect3D->WriteText(Tr("Levelauswahl - Rechte Maustaste startet das Spiel"), 0, 0,
                               m_SelectTextColor, 1);
        std::snprintf(text, sizeof text, TrFormat("Levelnummer: %d"), m_iLevelnummer);
        m_pDirect3D->WriteText(text, 0, H - 16, m_SelectTextColor, 1);
        m_Pointer.Draw(m_pInput != nullptr ? m_pInput->GetMouseX() : 0,
                       m_pInput != nullptr ? m_pInput->GetMouseY() : 0, 0);
        return;
    }
    switch (m_iGameState) {
    case STATE_PLAYING:
        m_Player.DrawHud();
        std::snprintf(text, sizeof text, TrFormat("Highscore: %d"), m_iHighscore);
        m_pDirect3D->WriteText(text, 0, 64, m_PlayerTextColor, 0);
        break;
    case STATE_GAME_OVER:
        DrawPanel();
        m_pDirect3D->WriteText(
            Tr("Spiel vorbei\nn drücken um neu zu starten\nEsc um zum Menü zurück zu kehren"), 0,
            H / 2, m_InfoTextColor, 1);
        break;
    case STATE_HIGHSCORE:
        DrawPanel();
        // The line reads as the game has always shown it ("einen neue"): keep it.
        std::snprintf(text, sizeof text,
                      TrFormat("Spiel vorbei\nSuper, du hast einen neue Highscore geschafft: "
                               "%d\nn drücken um neu zu starten\nEsc um zum Menü zurück zu "
                               "kehren"),
                      platform::TruncToInt(m_Player.GetScore()));
        m_pDirect3D->WriteText(text, 0, H / 2, m_InfoTextColor, 1);
        break;
    case STATE_HELP:
        DrawPanel();
        DrawHelpText();
        break;
    case STATE_STATISTICS:
        DrawPanel();
        m_Player.DrawStatistics();
        break;
    default:
        break; // the camera's turn is the whole show
    }
}

void CGame::DrawHelpText() {
    // A file that has gone leaves the panel empty.
    const std::vector<std::string>& rows = m_HelpText.Rows(m_iLevelnummer);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        m_pDirect3D->WriteText(rows[i].c_str(), m_pDirect3D->GetScreenWidth() / 8,
                               m_pDirect3D->GetScreenHeight() / 8 + 16 * static_cast<int>(i),
                               m_HelpTextColor, 0);
    }
}

void CGame::DrawPanel() {
    if (m_pDevice == nullptr) {
        return;
    }
    struct SPanelVertex {
        float x, y, z, rhw;
        std::uint32_t color;
        float u, v;
    };
    static_assert(sizeof(SPanelVertex) == 28);
    const int width = m_pDirect3D->GetScreenWidth();
    const int height = m_pDirect3D->GetScreenHeight();
    const auto W = static_cast<float>(width);
    const auto H = static_cast<float>(height);
    // NOLINTBEGIN(bugprone-integer-division): the panel's border is whole pixels
    const auto left = static_cast<float>(width / 16);
    const auto top = static_cast<float>(height / 16);
    // NOLINTEND(bugprone-integer-division)
    const float right = W - left;
    const float bottom = H - top;
    // Blue without alpha: the blend factor alone makes it two thirds of the picture.
    const SPanelVertex corners[4] = {{left, top, 0, 1, 0x000000FFu, 0, 0},
                                     {right, top, 0, 1, 0x000000FFu, 0, 0},
                                     {left, bottom, 0, 1, 0x000000FFu, 0, 0},
                                     {right, bottom, 0, 1, 0x000000FFu, 0, 0}};
    m_pDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    m_pDevice->SetTexture(0, nullptr);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BLENDFACTOR);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVBLENDFACTOR);
    m_pDevice->SetRenderState(D3DRS_BLENDFACTOR, 0xAAAAAAAAu);
    m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, corners, sizeof(SPanelVertex));
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
}
