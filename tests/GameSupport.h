#pragma once

#include "FieldSupport.h"
#include "InputDriver.h"
#include "game/Game.h"
#include "game/ScoreFile.h"

namespace test {

// The game controller on a headless window with the play-field settings, three levels,
// help texts for levels 1 and 3, and the arrows and pointer; input is scripted.
class CGameTest : public CFieldTest {
  protected:
    CGameTest() {
        std::string settings = kFieldSettings;
        settings.insert(settings.find("[Block0]"), kGameOptions);
        WriteSettings(settings + kGameSections);
        WriteLayout(1, "0000000000@\n");
        WriteLayout(2, "0@\n");
        WriteLayout(3, "00@\n");
        WriteFile(m_DataDir / "Text1.txt", "Hilfe eins\nzweite Zeile\n");
        WriteFile(m_DataDir / "Text3.txt", "Hilfe drei");
        for (const char* name : {"links.png", "rechts.png", "zeiger.png"}) {
            platform::SavePng(
                platform::SImage{32, 32, std::vector<std::uint32_t>(1024, 0xFF00FF00u)},
                (m_DataDir / name).string());
        }
        for (const char* name : {"gameover", "highscore", "next"}) {
            std::filesystem::copy_file(m_DataDir / "ball.wav",
                                       m_DataDir / (std::string(name) + ".wav"));
        }
    }

    void Init() {
        m_Game.Init(&m_Direct3D, &m_Input, &m_Sound);
        g_Log.Open();
    }
    // One frame: input read, then the game's update. A frame that leaves the game for the
    // menu is remembered in m_iProgramState.
    void Frame(float dt = 0.01f) {
        m_Input.Update();
        if (m_Game.Update(dt) != PROGRAM_GAME) {
            m_iProgramState = PROGRAM_MENU;
        }
    }
    // A key tapped for one frame, after a frame in which it is up.
    void Tap(int key, float dt = 0.01f) { m_Driver.Tap(key, dt); }
    // A mouse button clicked for one frame (the cursor where it is), after a frame in which
    // it is up, as a player's click comes after frames of a released button.
    void Click(int button, float dt = 0.01f) { m_Driver.Click(button, dt); }
    // Moves the game's cursor to (x, y) from wherever it is.
    void MoveCursorTo(int x, int y) {
        for (int i = 0; i < 2; ++i) { // the first move clamps at a corner
            m_Window.Script().mouse.lX = i == 0 ? -100000 : 0;
            m_Window.Script().mouse.lY = i == 0 ? -100000 : 0;
            m_Input.Update();
        }
        m_Window.Script().mouse.lX = static_cast<int>(x / 1.5f + 0.5f);
        m_Window.Script().mouse.lY = static_cast<int>(y / 1.5f + 0.5f);
        m_Input.Update();
        m_Window.Script().mouse.lX = m_Window.Script().mouse.lY = 0;
    }
    // Runs frames until the state is reached or time runs out.
    bool RunUntil(std::int16_t state, float seconds = 5.0f) {
        for (float t = 0; t < seconds; t += 0.01f) {
            if (m_Game.GetGameState() == state) {
                return true;
            }
            Frame();
        }
        return m_Game.GetGameState() == state;
    }
    std::string File(const char* name) { return g_Directory + name; }
    // The autopilot's way for the paddle along x: to the ball nearest to its row (the
    // board's middle when none is in play), and none while that ball is close, since a
    // moving paddle turns the ball it meets.
    float AutopilotOffset() {
        CPaddel& paddle = m_Game.GetPaddel();
        float target = m_Game.GetBoard().GetSizeX() / 2;
        float nearest = 1e9f;
        for (int i = 0; i < m_Game.GetBalls().Count(); ++i) {
            const D3DXVECTOR3& p = m_Game.GetBalls().Get(i).GetPosition();
            if (p.z < nearest) {
                nearest = p.z;
                target = p.x;
            }
        }
        return nearest < paddle.GetPosition().z + 2 ? 0 : target - paddle.GetPosition().x;
    }

    static constexpr const char* kGameOptions = "Ballreflexionen=1\nLeveluebergaenge=1\n"
                                                "HilfeTextColor=0xffffffff\n"
                                                "InfoTextColor=0xffffff00\n"
                                                "AuswahlTextColor=0xff00ffff\n";
    static constexpr const char* kGameSections = R"(
[Light]
Diffuse1=1
Diffuse2=0.9
Diffuse3=0.8
Diffuse4=1
Ambient1=0.1
Ambient2=0.2
Ambient3=0.3
Ambient4=1
Specular1=1
Specular2=1
Specular3=1
Specular4=1
Range=100
[Level3]
SizeX=12
SizeZ=14
TOP=1
BlockSizeX=2
BlockSizeY=1
BallSize=0.3
BallSpeed=9
BallSpeedUp=1.02
PaddelSpeed=25
Faktor=3
)";

    CGame m_Game;
    int m_iProgramState = PROGRAM_GAME;
    CInputDriver m_Driver{m_Window.Script(), m_Input, [this](float dt) {
                              Frame(dt);
                              return true;
                          }};
};

} // namespace test
