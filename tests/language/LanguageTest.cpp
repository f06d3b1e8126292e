// What the game writes on the screen in the player's language. ctest runs this program once
// with an English locale (the English tests) and with German, "C" and French ones (the German
// tests: French has no catalogue), each in its own environment, with the stage's catalogues.
#include "MenuSupport.h"
#include "platform/Translation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using S = CGame::EGameState;

// The screens of a game, each with the texts one frame of it writes.
using SScreens = std::map<std::string, std::vector<std::string>>;

class Language : public test::CGameTest {
  protected:
    Language() {
        platform::StartTranslation(ZANTOR_LOCALE_FOLDER);
        test::WriteFile(m_DataDir / "Text1.en.txt", "Help one\nsecond line\n");
        Init();
        m_Direct3D.SetTextWitness(&m_Written);
    }
    ~Language() override { m_Direct3D.SetTextWitness(nullptr); }

    std::vector<std::string> Drawn() {
        m_Written.clear();
        m_Game.Render();
        return m_Written;
    }
    // A game from the level selection through its help text, play, a pause, the statistics of
    // level 1, to the game over with a new highscore and without.
    SScreens Play() {
        SScreens screens;
        m_Game.NewGame();
        EXPECT_TRUE(RunUntil(S::STATE_PLAYING));
        screens["selection"] = Drawn();
        Click(1);
        EXPECT_EQ(m_Game.GetGameState(), S::STATE_HELP);
        screens["help"] = Drawn();
        Click(1);
        EXPECT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
        screens["play"] = Drawn();
        Tap(DIK_P);
        screens["pause"] = Drawn();
        Tap(DIK_P);
        m_Game.GetBalls().Add({5, 0, 5}, {0, 0, 1});
        m_Game.GetPlayer().AddBlockHit();
        for (const SBlock& block : m_Game.GetBlocks().GetBlocks()) {
            const_cast<SBlock&>(block).Hitpoints = 0;
        }
        Frame();
        EXPECT_EQ(m_Game.GetGameState(), S::STATE_STATISTICS);
        screens["statistics"] = Drawn();
        m_Game.GetPlayer().FinishLevel();
        m_Game.CheckHighscore();
        EXPECT_EQ(m_Game.GetGameState(), S::STATE_HIGHSCORE);
        screens["highscore"] = Drawn();
        m_Game.CheckHighscore();
        EXPECT_EQ(m_Game.GetGameState(), S::STATE_GAME_OVER);
        screens["over"] = Drawn();
        return screens;
    }

    std::vector<std::string> m_Written;
};

bool Has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}
// The game-over line with a new highscore, whatever the score.
std::string Scoreless(const std::vector<std::string>& texts) {
    for (std::string text : texts) {
        if (const std::size_t colon = text.find(": "); colon != std::string::npos) {
            const std::size_t end = text.find('\n', colon);
            return text.erase(colon + 2, end - colon - 2);
        }
    }
    return {};
}

TEST_F(Language, EnglishGameTexts) {
    SScreens screens = Play();
    EXPECT_TRUE(
        Has(screens["selection"], "Level selection - the right mouse button starts the game"));
    EXPECT_TRUE(Has(screens["selection"], "Level: 1"));
    // The help text from the data set's English file, row by row.
    EXPECT_TRUE(Has(screens["help"], "Help one\n"));
    EXPECT_TRUE(Has(screens["help"], "second line\n"));
    EXPECT_TRUE(Has(screens["play"], "Score: 0"));
    EXPECT_TRUE(Has(screens["play"], "High score: 0"));
    EXPECT_TRUE(Has(screens["pause"], "Paused"));
    EXPECT_TRUE(Has(screens["statistics"], "Level 1 statistics"));
    EXPECT_TRUE(Has(screens["statistics"], "Blocks hit: 1"));
    EXPECT_EQ(Scoreless(screens["highscore"]), "Game over\nWell done, a new high score: \n"
                                               "Press N to play again\nEsc to go back to the menu");
    EXPECT_TRUE(
        Has(screens["over"], "Game over\nPress N to play again\nEsc to go back to the menu"));
    EXPECT_EQ(Tr("Musik: "), std::string("Music: "));
}

TEST_F(Language, EnglishHelpFallsBackToTheGermanFile) {
    std::filesystem::remove(m_DataDir / "Text1.en.txt");
    EXPECT_TRUE(Has(Play()["help"], "Hilfe eins\n"));
}

TEST_F(Language, GermanGameTexts) {
    SScreens screens = Play();
    EXPECT_TRUE(Has(screens["selection"], "Levelauswahl - Rechte Maustaste startet das Spiel"));
    EXPECT_TRUE(Has(screens["selection"], "Levelnummer: 1"));
    EXPECT_TRUE(Has(screens["help"], "Hilfe eins\n"));
    EXPECT_TRUE(Has(screens["help"], "zweite Zeile\n"));
    EXPECT_TRUE(Has(screens["play"], "Punkte: 0"));
    EXPECT_TRUE(Has(screens["play"], "Highscore: 0"));
    EXPECT_TRUE(Has(screens["pause"], "Pause"));
    EXPECT_TRUE(Has(screens["statistics"], "Statistik von Level 1"));
    EXPECT_TRUE(Has(screens["statistics"], "Blöcke getroffen: 1"));
    EXPECT_EQ(Scoreless(screens["highscore"]), "Spiel vorbei\nSuper, du hast einen neue Highscore "
                                               "geschafft: \nn drücken um neu zu starten\nEsc um "
                                               "zum Menü zurück zu kehren");
    EXPECT_TRUE(Has(screens["over"],
                    "Spiel vorbei\nn drücken um neu zu starten\nEsc um zum Menü zurück zu kehren"));
    EXPECT_EQ(Tr("Musik: "), std::string("Musik: "));
}

// The menu's lines: the welcome, the credits, the start and the farewell; its quit button
// from the picture of the language when the data set has one.
class MenuLanguage : public test::CMenuTest {
  protected:
    MenuLanguage() { platform::StartTranslation(ZANTOR_LOCALE_FOLDER); }

    // The lines shown after the welcome, the credits, the start and the end button.
    std::vector<std::vector<std::string>> Visit() {
        // A quit button of its own size in the language's picture.
        platform::SavePng(
            platform::SImage{200, 80, std::vector<std::uint32_t>(200 * 80, 0xFFA03020u)},
            (m_DataDir / "end.en.png").string());
        Start(kExample, 0);
        Frame(0.01f);
        std::vector<std::vector<std::string>> shown{Lines()};
        m_iEndWidth = m_Menu.GetButton(2).GetWidth();
        ClickAt(800, 330); // info
        shown.push_back(Lines());
        ClickAt(600, 400); // start
        shown.push_back(Lines());
        ClickAt(800, 480); // end
        shown.push_back(Lines());
        return shown;
    }
    int m_iEndWidth = 0;
};

TEST_F(MenuLanguage, EnglishMenuTexts) {
    const auto shown = Visit();
    EXPECT_EQ(shown[0], (std::vector<std::string>{"Welcome to Zantor 0.95",
                                                  "made by the Zantor workshop in 2004",
                                                  "visit us at: https://zantor.example"}));
    ASSERT_EQ(shown[1].size(), 15u);
    EXPECT_EQ(shown[1][0], "Zantor:");
    EXPECT_EQ(shown[1][1], "You get help with the game at the start");
    EXPECT_EQ(shown[1][5], "Developed by:");
    EXPECT_EQ(shown[1][6], "The Zantor team");
    EXPECT_EQ(shown[1][11], "team@zantor.example or:");
    EXPECT_EQ(shown[1][12], "hilfe@zantor.example"); // addresses are the same everywhere
    EXPECT_EQ(shown[1][14], "https://zantor.example");
    EXPECT_EQ(shown[2], std::vector<std::string>{"Starting the game..."});
    EXPECT_EQ(shown[3], std::vector<std::string>{"See you soon!"});
    EXPECT_EQ(m_iEndWidth, 200);
}

TEST_F(MenuLanguage, GermanMenuTexts) {
    const auto shown = Visit();
    EXPECT_EQ(shown[0], (std::vector<std::string>{"Willkommen bei Zantor 0.95",
                                                  "produziert von der Zantor-Werkstatt 2004",
                                                  "besuchen sie: https://zantor.example"}));
    ASSERT_EQ(shown[1].size(), 15u);
    EXPECT_EQ(shown[1][1], "Hilfe zum Spiel erhalten sie jeweils am Anfang");
    EXPECT_EQ(shown[1][5], "Entwicklet von:");
    EXPECT_EQ(shown[1][7], "Mit freundlicher und Tatkräftiger Unterstützung von:");
    EXPECT_EQ(shown[2], std::vector<std::string>{"Spiel startet..."});
    EXPECT_EQ(shown[3], std::vector<std::string>{"Bis bald!"});
    EXPECT_EQ(m_iEndWidth, 256); // the German picture, though an English one is there
}

} // namespace
