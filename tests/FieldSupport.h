#pragma once

#include "EngineSupport.h"
#include "audio/Sound.h"
#include "game/Player.h"
#include "game/field/Ball.h"
#include "game/field/Blocks.h"
#include "game/field/Board.h"
#include "game/field/Paddel.h"
#include "game/field/Random.h"
#include "input/Input.h"

namespace test {

// Settings for the play-field tests: five block types of 2 × 1, and two levels.
inline const char* const kFieldSettings = R"([VideoMode]
Width=640
Height=480
Depth=32
Windowed=1
VSync=0
[Options]
NumBlocks=5
Spiegelung=1
Partikeleffekte=1
Control=1
MouseSensitive=1
Balls=3
SpielerTextColor=0xffffff00
StatistikTextColor=0xffffffff
[Block0]
Hitpoints=1
SizeX=2
SizeY=1
SizeZ=1
[Block1]
Hitpoints=2
SizeX=2
SizeY=1
SizeZ=1
[Block2]
Hitpoints=1
SizeX=2
SizeY=1
SizeZ=1
[Block3]
Hitpoints=1
SizeX=2
SizeY=1
SizeZ=1
[Block4]
Hitpoints=1
SizeX=2
SizeY=1
SizeZ=1
[Level1]
SizeX=20
SizeZ=20
TOP=1
BlockSizeX=2
BlockSizeY=1
BallSize=0.5
BallSpeed=10
BallSpeedUp=1.1
PaddelSpeed=30
PaddelSize=4
Faktor=1.5
[Level2]
SizeX=20
SizeZ=12
TOP=0
BlockSizeX=2
BlockSizeY=1
BallSize=0.25
BallSpeed=8
BallSpeedUp=0.9
PaddelSpeed=20
Faktor=2
)";

// The play field of a game wired as the game controller wires it, on a headless window with
// the silent sound device, in level 1.
class CFieldTest : public CEngineTest {
  protected:
    CFieldTest() {
        WriteSettings(kFieldSettings);
        // A second of silence for every sound of the play field.
        std::string wav = "RIFF";
        const auto le32 = [&wav](std::uint32_t v) {
            for (int i = 0; i < 4; ++i) {
                wav += static_cast<char>((v >> (8 * i)) & 0xFF);
            }
        };
        le32(36 + 16000);
        wav += "WAVEfmt ";
        le32(16);
        wav += std::string("\x01\x00\x01\x00", 4);
        le32(8000);
        le32(16000);
        wav += std::string("\x02\x00\x10\x00", 4);
        wav += "data";
        le32(16000);
        wav += std::string(16000, '\0');
        for (const char* name : {"ball", "ploing", "wall", "newball", "launch", "paddel"}) {
            WriteFile(m_DataDir / (std::string(name) + ".wav"), wav);
        }
        platform::SImage cracks{2, 2, {0xFF808080u, 0xFF808080u, 0xFF808080u, 0xFF808080u}};
        platform::SavePng(cracks, (m_DataDir / "risse.png").string());
        // One triangle for every mesh of the play field.
        std::string mesh = std::string("\x03\0\0\0", 4) + std::string(3 * 32, '\0') +
                           std::string("\x03\0\0\0\0\0\x01\0\x02\0", 10) + std::string(16, '\0');
        for (const char* name : {"ball", "paddel", "Board", "Board2", "Block0", "Block1", "Block2",
                                 "Block3", "Block4"}) {
            WriteFile(m_DataDir / (std::string(name) + ".mdl"), mesh);
        }
        InitDevice();
        m_Sound.Init(&m_Window);
        m_Input.Init(&m_Window, m_Direct3D.GetScreenWidth(), m_Direct3D.GetScreenHeight());
        m_Links = SGameContext{&m_Board,  &m_Paddel, &m_Balls,  &m_Blocks,
                               &m_Player, &m_iLevel, &m_fShake, &m_Sound};
        SeedRand(1);
        g_Log.Open();
    }
    void InitField() {
        m_Balls.Init(m_Links, m_Direct3D.GetDevice(), &m_Sound);
        m_Paddel.Init(m_Direct3D.GetDevice(), m_Links);
        m_Player.Init(m_Links, &m_Direct3D, &m_Input);
        m_Board.Init(m_Direct3D.GetDevice());
        m_Blocks.Init(m_Links, m_Direct3D.GetDevice());
    }
    void WriteLayout(int level, const std::string& text) {
        WriteFile(m_DataDir / ("Level" + std::to_string(level) + ".txt"), text);
    }
    // Loads a level as the game controller does.
    void StartLevel(int level) {
        m_iLevel = level;
        m_Board.LoadLevel(level);
        m_Paddel.Reset(2, D3DXVECTOR3(m_Board.GetSizeX() / 2, 0, 1), 4, m_Board.GetSizeX());
        m_Blocks.LoadLevel(level);
        m_Balls.ReturnToStock();
    }
    bool Playing(const char* sound) {
        const SSoundInfo* info = m_Sound.GetSound(sound);
        if (info == nullptr || !info->pBuffer) {
            return false;
        }
        if (info->pBuffer->IsPlaying()) {
            return true;
        }
        for (const auto& duplicate : info->Duplicates) {
            if (duplicate && duplicate->IsPlaying()) {
                return true;
            }
        }
        return false;
    }

    CSound m_Sound;
    CInput m_Input;
    CBoard m_Board;
    CPaddel m_Paddel;
    CBalls m_Balls;
    CBlocks m_Blocks;
    CPlayer m_Player;
    int m_iLevel = 1;
    float m_fShake = 0.0f;
    SGameContext m_Links;
};

} // namespace test
