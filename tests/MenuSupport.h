#pragma once

#include "GameSupport.h"
#include "menu/Menu.h"

#include <string>
#include <vector>

namespace test {

// The menu on a 1024 × 768 headless screen with the buttons of the example: start from the
// corner to the middle in 2 s with a full turn.
class CMenuTest : public test::CGameTest {
  protected:
    CMenuTest() : m_Screen(1024, 768) {}

    void Start(const std::string& button0, int intro = 1, int slide = 1) {
        std::string settings = test::kFieldSettings;
        settings.replace(settings.find("Width=640"), 9, "Width=1024");
        settings.replace(settings.find("Height=480"), 10, "Height=768");
        settings.insert(settings.find("[Block0]"),
                        "Intro=" + std::to_string(intro) + "\nTextverzoegerung=" +
                            std::to_string(slide) + "\nMenuTextColor=0xffd0d0ff\n");
        WriteSettings(settings + kGameSections + button0 +
                      "[Button1]\nTime=1\nStartPosX=0\nStartPosY=0\nEndPosX=0.7\nEndPosY=0.4\n"
                      "Rotation=0\nVerzoegerung=0\n"
                      "[Button2]\nTime=1\nStartPosX=0\nStartPosY=0\nEndPosX=0.7\nEndPosY=0.6\n"
                      "Rotation=0\nVerzoegerung=0\n"
                      "[Level0]\nSizeZ=14\nBlockSizeX=2\nBlockSizeY=1\n");
        for (const char* name : {"start.png", "info.png", "end.png"}) {
            platform::SavePng(
                platform::SImage{256, 96, std::vector<std::uint32_t>(256 * 96, 0xFF2030A0u)},
                (m_DataDir / name).string());
        }
        WriteLayout(0, "0000@\n");
        ASSERT_TRUE(m_Direct3D2.Init(&m_Screen));
        m_Input2.Init(&m_Screen, m_Direct3D2.GetScreenWidth(), m_Direct3D2.GetScreenHeight());
        m_Game.Init(&m_Direct3D2, &m_Input2, &m_Sound);
        m_Menu.Init(&m_Direct3D2, &m_Input2, &m_Sound, &m_Game);
        g_Log.Open();
    }
    // One frame: input read, then the menu's update. A frame that leaves the menu is
    // remembered in m_iProgramState.
    void Frame(float dt) {
        m_Input2.Update();
        Update(dt);
    }
    void Update(float dt) {
        const EProgramState next = m_Menu.Update(dt);
        if (next != PROGRAM_MENU) {
            m_iProgramState = next;
        }
    }
    void ClickAt(int x, int y) {
        for (int i = 0; i < 2; ++i) {
            m_Screen.Script().mouse.lX = i == 0 ? -100000 : 0;
            m_Screen.Script().mouse.lY = i == 0 ? -100000 : 0;
            m_Input2.Update();
            Update(0);
        }
        m_Screen.Script().mouse.lX = static_cast<int>(x / 1.5f + 0.5f);
        m_Screen.Script().mouse.lY = static_cast<int>(y / 1.5f + 0.5f);
        m_Screen.Script().mouse.rgbButtons[0] = 0x80;
        Frame(0);
        m_Screen.Script().mouse.lX = m_Screen.Script().mouse.lY = 0;
        m_Screen.Script().mouse.rgbButtons[0] = 0;
        Frame(0);
    }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (const STextLine& line : m_Menu.GetText().GetLines()) {
            lines.push_back(line.text);
        }
        return lines;
    }

    static constexpr const char* kExample = "[Button0]\nTime=2\nStartPosX=0\nStartPosY=0\n"
                                            "EndPosX=0.5\nEndPosY=0.5\nRotation=1\n"
                                            "Verzoegerung=0\n";
    platform::CHeadlessWindow m_Screen;
    CDirect3D m_Direct3D2;
    CInput m_Input2;
    CMenu m_Menu;
    int m_iProgramState = PROGRAM_MENU;
};

} // namespace test
