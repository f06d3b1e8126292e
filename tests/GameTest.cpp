#include "GameSupport.h"

#include "engine/Sprite.h"
#include "menu/Menu.h"
#include "platform/Clock.h"
#include "platform/D3DXMath.h"
#include "shell/FrameLoop.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using S = CGame::EGameState;

class Game : public test::CGameTest {
  protected:
    Game() { Init(); }
    // A new game, out of the level selection, playing level 1.
    void Play() {
        m_Game.NewGame();
        RunUntil(S::STATE_PLAYING);
        Click(1); // start at the level shown: its help text comes first
        if (m_Game.GetGameState() == S::STATE_HELP) {
            Click(1);
        }
    }
};

TEST_F(Game, InitLeavesLevelOneTurningInAndNewGameOpensTheSelection) {
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_TURNING_IN);
    EXPECT_EQ(m_Game.GetLevelnummer(), 1);
    EXPECT_FALSE(m_Game.IsLevelSelect());
    EXPECT_EQ(m_Game.GetTransition(), 0.0f); // the first load ran before the options
    m_Game.NewGame();
    EXPECT_TRUE(m_Game.IsLevelSelect());
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_TURNING_IN);
    EXPECT_EQ(m_Game.GetTransition(), 1.0f);
    EXPECT_EQ(ReadScoreFile(File("Daten.dat")), 1);
}

TEST_F(Game, SelectionArrowsStayWithinTheLevelsReached) {
    m_Game.NewGame();
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    MoveCursorTo(5, 245); // the left arrow at (0, 240)
    Click(0);
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_TURNING_OUT); // level 1 is reloaded
    EXPECT_EQ(m_Game.GetLevelnummer(), 1);
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    WriteScoreFile(File("Daten.dat"), 3);
    MoveCursorTo(630, 245); // the right arrow at (608, 240)
    for (int level = 2; level <= 3; ++level) {
        Click(0);
        ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN)) << level;
        EXPECT_EQ(m_Game.GetLevelnummer(), level);
        ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
        EXPECT_TRUE(m_Game.IsLevelSelect());
    }
    Click(0); // level 3 is the highest reached: it is reloaded
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    EXPECT_EQ(m_Game.GetLevelnummer(), 3);
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    Click(1); // the right button starts level 3 with its help text
    EXPECT_FALSE(m_Game.IsLevelSelect());
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_HELP);
    Click(1);
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
}

TEST_F(Game, LevelWithoutHelpStartsPlayingAtOnce) {
    m_Game.NewGame();
    RunUntil(S::STATE_PLAYING);
    WriteScoreFile(File("Daten.dat"), 2);
    MoveCursorTo(630, 245);
    Click(0);
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    Click(1);
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
    EXPECT_FALSE(m_Game.IsLevelSelect());
}

TEST_F(Game, PauseFreezesTheClocksButNotTheKeys) {
    m_Game.NewGame();
    Tap(DIK_P);
    ASSERT_TRUE(m_Game.IsPaused());
    const float transition = m_Game.GetTransition();
    for (int i = 0; i < 50; ++i) {
        Frame();
    }
    EXPECT_EQ(m_Game.GetTransition(), transition);
    Tap(DIK_F3);
    EXPECT_EQ(m_Game.GetCamera(), 3);
    Tap(DIK_N);
    EXPECT_TRUE(m_Game.IsPaused()); // a new game that is still paused
    EXPECT_TRUE(m_Game.IsLevelSelect());
    Tap(DIK_P);
    Frame(0.5f);
    EXPECT_LT(m_Game.GetTransition(), 1.0f);
}

TEST_F(Game, AMouseButtonEndsAPauseAndDoesNothingElse) {
    m_Game.NewGame();
    RunUntil(S::STATE_PLAYING);
    ASSERT_TRUE(m_Game.IsLevelSelect());
    m_Game.Pause();
    Frame();
    ASSERT_TRUE(m_Game.IsPaused());
    // The right button that ends the pause does not also start the level.
    Click(1);
    EXPECT_FALSE(m_Game.IsPaused());
    EXPECT_TRUE(m_Game.IsLevelSelect());
    Click(1);
    EXPECT_FALSE(m_Game.IsLevelSelect());
}

TEST_F(Game, WithoutTransitionsANewLevelPlaysTheFrameAfterItLoads) {
    std::string settings = test::kFieldSettings;
    settings.insert(settings.find("[Block0]"), "Leveluebergaenge=0\n");
    WriteSettings(settings);
    CGame game;
    game.Init(&m_Direct3D, &m_Input, &m_Sound);
    game.NewGame();
    m_Input.Update();
    game.Update(0.01f);
    EXPECT_EQ(game.GetGameState(), S::STATE_PLAYING);
}

TEST_F(Game, EscapeInEveryState) {
    // In the level selection: back to the menu, through the highscore check.
    m_Game.NewGame();
    RunUntil(S::STATE_PLAYING);
    Tap(DIK_ESCAPE);
    EXPECT_EQ(m_iProgramState, PROGRAM_MENU);
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_HIGHSCORE); // no file yet: 0 is a highscore
    // In the game-over screens: only back to the menu.
    m_iProgramState = PROGRAM_GAME;
    Tap(DIK_ESCAPE);
    EXPECT_EQ(m_iProgramState, PROGRAM_MENU);
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_HIGHSCORE);
    // While playing: the game ends, the program stays in the game.
    m_iProgramState = PROGRAM_GAME;
    Play();
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
    Tap(DIK_ESCAPE);
    EXPECT_EQ(m_iProgramState, PROGRAM_GAME);
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_GAME_OVER); // 0 again, equal: no new record
}

TEST_F(Game, EscapeOnTheStatisticsCountsTheLevelTheyShow) {
    Play();
    m_Game.GetBalls().Add({5, 0, 5}, {0, 0, 1});
    for (int i = 0; i < 4; ++i) {
        m_Game.GetPlayer().AddBlockHit(); // 4 hits, no contact, factor 1.5: 24 points
    }
    for (const SBlock& block : m_Game.GetBlocks().GetBlocks()) {
        const_cast<SBlock&>(block).Hitpoints = 0;
    }
    Frame();
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_STATISTICS);
    char shown[128];
    m_Game.GetPlayer().FormatStatisticsLine(7, shown);
    EXPECT_STREQ(shown, "Neue Punktzahl: 24");
    Tap(DIK_ESCAPE);
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_HIGHSCORE);
    EXPECT_EQ(ReadScoreFile(File("Highscore.dat")), 24);
}

TEST_F(Game, ScoresBeyondIntSaturate) {
    std::string settings = test::kFieldSettings;
    settings.replace(settings.find("Faktor=1.5"), 10, "Faktor=1e12");
    settings.insert(settings.find("[Block0]"), kGameOptions);
    WriteSettings(settings + kGameSections);
    m_Game.GetBalls().Add({5, 0, 10}, {0, 0, 1});
    for (int i = 0; i < 4; ++i) {
        m_Game.GetPlayer().AddBlockHit(); // 4 × 4 × 10^12
    }
    m_Game.GetPlayer().FinishLevel();
    char line[128];
    m_Game.GetPlayer().FormatHudLine(0, line);
    EXPECT_STREQ(line, "Punkte: 2147483647");
    m_Game.CheckHighscore();
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_HIGHSCORE);
    EXPECT_EQ(ReadScoreFile(File("Highscore.dat")), 2147483647);
}

// The shell's frame loop hands the game at most a tenth of a second, however long the
// process was held up: a stall of three seconds is a short pause, not a lost ball.
TEST_F(Game, AStallOfThreeSecondsLosesNoBall) {
    platform::CManualClock clock;
    CMenu menu;
    CSprite background;
    CFrameLoop loop({m_Window, clock, m_Direct3D, m_Input, m_Sound, m_Game, menu, background},
                    false);
    loop.SetProgramState(PROGRAM_GAME);
    std::uint64_t now = 0;
    // One pass whose frame takes the given microseconds: the next pass's updates get them.
    const auto pass = [&](std::uint64_t micros) {
        clock.Script({now, now + micros});
        now += micros;
        ASSERT_EQ(loop.RunPass(), CFrameLoop::EPass::Frame);
    };
    Play();
    // Straight down, far from the paddle at x = 10: three seconds at 10 units/s would take
    // it 30 units, through the open near edge.
    m_Game.GetBalls().Add({16, 0, 10}, {0, 0, -1});
    for (int frame = 0; frame < 10; ++frame) {
        pass(10000);
    }
    const float before = m_Game.GetBalls().Get(0).GetPosition().z;
    pass(3000000); // held up (SIGSTOP, a debugger, a suspended laptop)
    pass(10000);   // the frame that gets the stall's time
    ASSERT_EQ(m_Game.GetBalls().Count(), 1);
    EXPECT_NEAR(m_Game.GetBalls().Get(0).GetPosition().z, before - 10 * 0.11f, 1e-4f);
    EXPECT_EQ(m_Game.GetShake(), 0.0f);
    for (int frame = 0; frame < 10; ++frame) {
        pass(10000);
    }
    EXPECT_NEAR(m_Game.GetBalls().Get(0).GetPosition().z, before - 10 * 0.21f, 1e-4f);
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
}

TEST_F(Game, HighscoreOnlyForAScoreAboveTheStoredOne) {
    WriteScoreFile(File("Highscore.dat"), 0);
    m_Game.CheckHighscore();
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_GAME_OVER);
    EXPECT_EQ(test::ReadFile(File("Highscore.dat").replace(g_Directory.size() - 1, 1, "/")),
              std::string(4, '\0'));
    m_Game.GetPlayer().AddBalls(0);
    // A score: 4 hits with one ball in play, no paddle contact, factor 1.5 = 24.
    m_Game.GetBalls().Add({5, 0, 10}, {0, 0, 1});
    for (int i = 0; i < 4; ++i) {
        m_Game.GetPlayer().AddBlockHit();
    }
    m_Game.GetPlayer().FinishLevel();
    m_Game.CheckHighscore();
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_HIGHSCORE);
    EXPECT_EQ(ReadScoreFile(File("Highscore.dat")), 24);
    m_Game.CheckHighscore(); // equal: kept
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_GAME_OVER);
}

TEST_F(Game, UnwritableHighscoreIsLoggedAndStillCelebrated) {
    const std::string saved = g_Directory;
    g_Directory = "no-such-directory\\";
    m_Game.CheckHighscore();
    g_Directory = saved;
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_HIGHSCORE);
    EXPECT_NE(test::LogRows().find("Datei konnte nicht geschrieben werden:"), std::string::npos);
}

TEST_F(Game, AfterTheLastLevelTheGameGoesOnAtLevelOneWithItsScore) {
    WriteScoreFile(File("Daten.dat"), 3);
    m_Game.NewGame();
    RunUntil(S::STATE_PLAYING);
    MoveCursorTo(630, 245);
    for (int i = 0; i < 2; ++i) {
        Click(0);
        RunUntil(S::STATE_TURNING_IN);
        RunUntil(S::STATE_PLAYING);
    }
    ASSERT_EQ(m_Game.GetLevelnummer(), 3);
    Click(1);
    Click(1); // past the help text
    // Clear level 3 by hand: wear its blocks down.
    for (const SBlock& block : m_Game.GetBlocks().GetBlocks()) {
        const_cast<SBlock&>(block).Hitpoints = 0;
    }
    m_Game.GetBalls().Add({5, 0, 5}, {0, 0, 1}); // a ball in play keeps the game going
    Frame();
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_STATISTICS);
    Click(1); // on to level 4, which does not exist
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    EXPECT_EQ(m_Game.GetLevelnummer(), 1);
}

TEST_F(Game, LastBallLostAndLastBlockGoneInOneFrameEndsTheGame) {
    Play();
    while (m_Game.GetPlayer().GetBalls() > 0) {
        m_Game.GetPlayer().Launch();
    }
    m_Game.GetBalls().ReturnToStock();
    m_Game.GetPlayer().AddBalls(-m_Game.GetPlayer().GetBalls());
    for (const SBlock& block : m_Game.GetBlocks().GetBlocks()) {
        const_cast<SBlock&>(block).Hitpoints = 0;
    }
    m_Game.GetBalls().Add({5, 0, 0.6f}, {0, 0, -1}); // lost in this frame
    Frame();
    EXPECT_TRUE(m_Game.GetGameState() == S::STATE_GAME_OVER ||
                m_Game.GetGameState() == S::STATE_HIGHSCORE);
}

// While playing, the blocks are updated once more after the balls have moved: a block the
// ball wore out is gone in the frame of the hit, and the particles age twice a frame.
TEST_F(Game, WhilePlayingSpentBlocksGoAtOnceAndParticlesAgeDoubleTime) {
    Play();
    const std::size_t blocks = m_Game.GetBlocks().GetBlocks().size(); // ten at z 19 to 20
    // Just short of the block at x 5: this frame's 0.1 units take it there.
    m_Game.GetBalls().Add({5, 0, 18.45f}, {0, 0, 1});
    Frame(0.01f);
    EXPECT_EQ(m_Game.GetBlocks().GetBlocks().size(), blocks - 1);
    const std::vector<SParticle>& particles = m_Game.GetBlocks().GetParticles().GetParticles();
    ASSERT_EQ(particles.size(), 12u);
    float longest = 0;
    for (const SParticle& particle : particles) {
        EXPECT_FLOAT_EQ(particle.fAge, 0.01f); // aged once after the balls moved
        longest = std::max(longest, particle.fLifeTime);
    }
    m_Game.GetBalls().ReturnToStock(); // no more hits
    // Frames of a quarter second, each aging by half a second.
    float played = 0;
    while (played + 0.25f < longest / 2) {
        Frame(0.25f);
        played += 0.25f;
    }
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);
    EXPECT_FALSE(particles.empty()); // the longest-lived one, a quarter second short
    Frame(0.25f);
    EXPECT_TRUE(particles.empty()) << "half the longest lifetime played";
}

TEST_F(Game, ShakeRunsDownAtOnePerSecond) {
    Play();
    m_Game.GetBalls().Add({5, 0, 0.6f}, {0, 0, -1});
    Frame(0.01f); // lost: the shake starts at 1 and runs down in the same frame
    EXPECT_FLOAT_EQ(m_Game.GetShake(), 0.99f);
    Frame(0.25f);
    EXPECT_FLOAT_EQ(m_Game.GetShake(), 0.74f);
}

// The scene on the recording device.
class GameScene : public Game {
  protected:
    void Render() {
        Device().ClearDraws();
        m_Game.Render();
    }
};

TEST_F(GameScene, EachCameraLooksFromItsEyeAtItsTarget) {
    Play(); // board 20 × 20, paddle at (10, 0, 1)
    const std::vector<std::pair<D3DXVECTOR3, D3DXVECTOR3>> views = {
        {{10, 20, -2}, {10, 0, 10}},
        {{10, 10, -10}, {10, 0, 10}},
        {{10, 20, -8}, {10, 0, 10}},
        {{10, 2, -4}, {10, 0, 21}},
    };
    for (int camera = 1; camera <= 4; ++camera) {
        Tap(DIK_F1 + camera - 1);
        Render();
        EXPECT_EQ(m_Game.GetEye(), views[static_cast<std::size_t>(camera - 1)].first) << camera;
        EXPECT_EQ(m_Game.GetTarget(), views[static_cast<std::size_t>(camera - 1)].second) << camera;
    }
    // The light stands at the eye.
    EXPECT_EQ(Device().GetLight().Position, m_Game.GetEye());
    EXPECT_TRUE(Device().IsLightEnabled());
}

TEST_F(GameScene, TransitionTurnsTheViewAboutTheEye) {
    m_Game.NewGame(); // transition clock 1: turned 100 degrees
    Render();
    const D3DXVECTOR3 d = m_Game.GetTarget() - m_Game.GetEye();
    const float angle = 1.0f / 1.8f * 3.1415927f;
    const float x = 0 * std::cos(angle) - 12 * std::sin(angle);
    EXPECT_NEAR(d.x, x, 1e-4f);
    EXPECT_NEAR(d.y, -20.0f, 1e-4f);
}

TEST_F(GameScene, ShakeDrawsThreeNumbersOnlyWhileShaking) {
    Play();
    ScriptRand({3000, 1500, 0});
    Render(); // not shaking: the scripted numbers stay
    EXPECT_EQ(m_Game.GetEye(), D3DXVECTOR3(10, 20, -2));
    m_Game.GetBalls().Add({5, 0, 0.6f}, {0, 0, -1});
    Frame(0.01f); // a lost ball: shake 1, run down to 0.99
    ScriptRand({2999, 1500, 0});
    Render();
    EXPECT_NEAR(m_Game.GetEye().x, 10 + 1.499f * 0.99f, 1e-4f);
    EXPECT_NEAR(m_Game.GetEye().y, 20, 1e-4f);
    EXPECT_NEAR(m_Game.GetEye().z, -2 - 1.5f * 0.99f, 1e-4f);
    EXPECT_EQ(m_Game.GetTarget(), D3DXVECTOR3(10, 0, 10));
}

TEST_F(GameScene, PlayFieldIsDrawnInItsOrder) {
    Play();
    m_Game.GetBalls().Add({5, 0, 5}, {0, 0, 1});
    Render();
    // Board, ball (specular on), paddle, the ten blocks of level 1, the ten mirrored, the
    // board blended, then the score lines' glyphs.
    const auto& draws = Draws();
    ASSERT_GE(draws.size(), 24u);
    EXPECT_EQ(draws[0].State(D3DRS_ZWRITEENABLE), 0u);
    EXPECT_EQ(draws[0].State(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(draws[1].State(D3DRS_SPECULARENABLE), 1u);
    EXPECT_EQ(draws[2].State(D3DRS_SPECULARENABLE), 0u);
    EXPECT_EQ(draws[12].State(D3DRS_CULLMODE), D3DCULL_CCW); // the last block
    EXPECT_EQ(draws[13].State(D3DRS_CULLMODE), D3DCULL_CW);  // the first mirrored one
    const platform::SRecordedDraw& blendedBoard = draws[23];
    EXPECT_EQ(blendedBoard.State(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(blendedBoard.State(D3DRS_BLENDFACTOR), 0xAAAAAAAAu);
    EXPECT_EQ(draws.back().kind, platform::SRecordedDraw::EKind::ScreenQuads);
}

// Blended over itself the board stays as it is: its second pass is limited to the screen
// rectangle of what lies below the floor, every mirror image inside it, and left out when
// nothing lies there.
TEST_F(GameScene, TheBoardIsBlendedAgainOnlyWhereMirrorImagesAre) {
    Play();
    m_Game.GetBalls().Add({5, 0, 5}, {0, 0, 1});
    Render();
    const auto& draws = Draws();
    ASSERT_GE(draws.size(), 24u);
    const platform::SRecordedDraw& blendedBoard = draws[23];
    ASSERT_EQ(blendedBoard.State(D3DRS_BLENDFACTOR), 0xAAAAAAAAu);
    ASSERT_EQ(blendedBoard.State(D3DRS_SCISSORTESTENABLE), 1u);
    const platform::SRect& r = blendedBoard.scissor;
    EXPECT_LT(r.bottom - r.top, 480 / 2) << "level 1's blocks lie at the far end";
    D3DXMATRIX viewProjection;
    D3DXMatrixMultiply(&viewProjection, &blendedBoard.view, &blendedBoard.projection);
    const CBlocks& blocks = m_Game.GetBlocks();
    for (std::size_t i = 13; i < 23; ++i) { // the mirrored blocks
        const SBlock& block = blocks.GetBlocks()[i - 13];
        const CModel& model = blocks.GetBlockInfo()[static_cast<std::size_t>(block.Type)].Model;
        ASSERT_GT(model.GetVertexCount(), 0);
        for (int corner = 0; corner < 8; ++corner) {
            const D3DXVECTOR3 low = model.GetLowest();
            const D3DXVECTOR3 high = model.GetHighest();
            const D3DXVECTOR3 p{(corner & 1) != 0 ? high.x : low.x,
                                (corner & 2) != 0 ? high.y : low.y,
                                (corner & 4) != 0 ? high.z : low.z};
            D3DXVECTOR3 world;
            D3DXVECTOR3 screen;
            D3DXVec3TransformCoord(&world, &p, &draws[i].world);
            ASSERT_LE(world.y, 0.0f);
            D3DXVec3TransformCoord(&screen, &world, &viewProjection);
            const float x = (screen.x + 1) / 2 * 640;
            const float y = (1 - screen.y) / 2 * 480;
            EXPECT_GE(x, static_cast<float>(r.left));
            EXPECT_LE(x, static_cast<float>(r.right));
            EXPECT_GE(y, static_cast<float>(r.top));
            EXPECT_LE(y, static_cast<float>(r.bottom));
        }
    }
    EXPECT_EQ(draws.back().State(D3DRS_SCISSORTESTENABLE), 0u) << "the scissor is off again";

    const_cast<std::vector<SBlock>&>(blocks.GetBlocks()).clear();
    Render();
    for (const platform::SRecordedDraw& draw : Draws()) {
        EXPECT_EQ(draw.State(D3DRS_ALPHABLENDENABLE) != 0 &&
                      draw.State(D3DRS_BLENDFACTOR) == 0xAAAAAAAAu &&
                      draw.kind == platform::SRecordedDraw::EKind::Indexed,
                  false)
            << "no blended board without anything below the floor";
    }
}

TEST_F(GameScene, PanelCoversAllButASixteenthAtEachEdge) {
    // The same game on a screen of 320 × 200.
    std::string settings = test::ReadFile(m_SettingsDir / "Zantor.ini");
    const std::size_t size = settings.find("Width=640\nHeight=480");
    ASSERT_NE(size, std::string::npos);
    WriteSettings(settings.replace(size, 20, "Width=320\nHeight=200"));
    platform::CHeadlessWindow window(320, 200);
    CDirect3D direct3D;
    ASSERT_TRUE(direct3D.Init(&window));
    CGame game;
    game.Init(&direct3D, &m_Input, &m_Sound);
    platform::CRecordingDevice& device = *window.GetRecordingDevice();
    device.ClearDraws();
    game.DrawPanel();
    ASSERT_EQ(device.GetDraws().size(), 1u);
    const platform::SRecordedDraw& panel = device.GetDraws()[0];
    EXPECT_EQ(panel.type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(panel.fvf, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    ASSERT_EQ(panel.vertices.size(), 4u * 28u);
    float corners[4][2];
    for (int i = 0; i < 4; ++i) {
        std::memcpy(corners[i], panel.vertices.data() + 28 * i, 8);
    }
    EXPECT_EQ(corners[0][0], 20.0f);
    EXPECT_EQ(corners[0][1], 12.0f);
    EXPECT_EQ(corners[3][0], 300.0f);
    EXPECT_EQ(corners[3][1], 188.0f);
    EXPECT_EQ(device.GetRenderState(D3DRS_ALPHABLENDENABLE), 0u);
}

TEST_F(GameScene, HelpTextRowsAre16PixelsApart) {
    m_Game.NewGame();
    RunUntil(S::STATE_PLAYING);
    Click(1);
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_HELP);
    Render();
    // The panel, then one text draw per line of "Hilfe eins\nzweite Zeile\n".
    std::vector<float> tops;
    for (const platform::SRecordedDraw& draw : Draws()) {
        if (draw.kind == platform::SRecordedDraw::EKind::ScreenQuads && draw.color == 0xFFFFFFFFu) {
            float top = 1e9f; // the top of the line's tallest glyph
            for (const platform::SScreenQuad& quad : draw.quads) {
                top = std::min(top, quad.corners[0].y);
            }
            tops.push_back(top);
        }
    }
    ASSERT_EQ(tops.size(), 2u);
    EXPECT_NEAR(tops[1] - tops[0], 16.0f, 2.0f);
    EXPECT_GE(tops[0], 60.0f); // 480 / 8
}

TEST_F(GameScene, SelectionOverlayStaysDuringTheTurns) {
    m_Game.NewGame();
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_TURNING_IN);
    Render();
    int cyan = 0;
    for (const platform::SRecordedDraw& draw : Draws()) {
        cyan +=
            draw.kind == platform::SRecordedDraw::EKind::ScreenQuads && draw.color == 0xFF00FFFFu;
    }
    EXPECT_EQ(cyan, 2); // the heading and the level number
}

// A whole game: level 2 chosen, played to its statistics, then level 3 until the balls are
// gone, ending on the highscore screen.
TEST_F(Game, WholeGameFromSelectionToHighscore) {
    WriteScoreFile(File("Daten.dat"), 2);
    m_Game.NewGame();
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    MoveCursorTo(630, 245);
    Click(0);
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    ASSERT_TRUE(RunUntil(S::STATE_PLAYING));
    ASSERT_EQ(m_Game.GetLevelnummer(), 2);
    Click(1);
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_PLAYING);

    // The autopilot: launch when nothing is in play, keep the paddle under the nearest ball.
    SeedRand(7);
    const auto steer = [this] {
        m_Window.Script().mouse.lX = static_cast<int>(AutopilotOffset() * 10); // mouse counts
        m_Window.Script().mouse.rgbButtons[0] = m_Game.GetBalls().Count() == 0 ? 0x80 : 0;
    };
    for (int frame = 0; frame < 100000 && m_Game.GetGameState() == S::STATE_PLAYING; ++frame) {
        steer();
        Frame();
        m_Window.Script().mouse.rgbButtons[0] = 0;
        Frame(0);
    }
    ASSERT_EQ(m_Game.GetGameState(), S::STATE_STATISTICS);
    const float levelPoints = m_Game.GetPlayer().GetLevelPoints();
    Click(1);
    ASSERT_TRUE(RunUntil(S::STATE_TURNING_IN));
    EXPECT_EQ(m_Game.GetLevelnummer(), 3);
    EXPECT_EQ(ReadScoreFile(File("Daten.dat")), 3);
    ASSERT_TRUE(RunUntil(S::STATE_HELP));
    Click(1);
    // Now let every ball go.
    for (int frame = 0; frame < 100000 && m_Game.GetGameState() == S::STATE_PLAYING; ++frame) {
        m_Window.Script().mouse.rgbButtons[0] = m_Game.GetBalls().Count() == 0 ? 0x80 : 0;
        Frame();
        m_Window.Script().mouse.rgbButtons[0] = 0;
        Frame(0);
    }
    EXPECT_EQ(m_Game.GetGameState(), S::STATE_HIGHSCORE);
    EXPECT_EQ(ReadScoreFile(File("Highscore.dat")),
              static_cast<int>(m_Game.GetPlayer().GetScore()));
    EXPECT_GE(m_Game.GetPlayer().GetScore(), levelPoints);
}

} // namespace
