// Play comes out the same at any frame rate, from a stalled 10 fps to 2,000 fps: on every
// shipped level, with the balls at the level's top speed, a paddle as wide as the board
// loses no ball, and a hand movement of the mouse takes the paddle equally far.
//
// The levels are played from a data directory of the test's own, beside the program: the
// staged settings with every ball at its level's top speed from the start (BallSpeed twice
// the shipped one, no speed-up), and the shipped layouts without surprise blocks, one of
// whose effects narrows a paddle wider than half the board. Everything else is Standard.
//
// ZANTOR_FRAMERATE_MINUTES=n plays n minutes of game time per level and rate instead of
// three (the sanitizer build is many times slower).
#include "TestSupport.h"
#include "engine/Direct3D.h"
#include "game/Player.h"
#include "game/field/Ball.h"
#include "game/field/Blocks.h"
#include "game/field/Board.h"
#include "game/field/Paddel.h"
#include "game/field/Random.h"
#include "input/Input.h"
#include "platform/Path.h"
#include "platform/headless/HeadlessWindow.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kRates[] = {10, 15, 36, 60, 144, 500, 2000};
constexpr double kDefaultMinutes = 3.0;
constexpr int kBallsInPlay = 3;

double Minutes() {
    return test::PositiveFromEnvironment("ZANTOR_FRAMERATE_MINUTES", kDefaultMinutes);
}

// The staged settings with the balls of every level at their top speed from the start.
std::string TopSpeedSettings(const std::string& settings) {
    std::istringstream in(settings);
    std::string out;
    std::string line;
    bool level = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            level = line.rfind("[Level", 0) == 0;
        } else if (level && line.rfind("BallSpeed=", 0) == 0) {
            line = "BallSpeed=" + std::to_string(2 * std::atof(line.c_str() + 10));
        } else if (level && line.rfind("BallSpeedUp=", 0) == 0) {
            line = "BallSpeedUp=1";
        }
        out += line + "\n";
    }
    return out;
}

// The play field as the game controller wires it, on the shipped data.
class FrameRate : public ::testing::Test {
  protected:
    FrameRate() : m_Window(1024, 768) {
        const std::filesystem::path program =
            std::filesystem::path(platform::ProgramPath()).parent_path();
        std::filesystem::create_directory_symlink(program / "Standard", "Standard");
        std::string pattern = (m_Dir.Path() / "framerate-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "no data directory";
            return;
        }
        m_SettingsDir = pattern;
        const std::string name = m_SettingsDir.filename().string();
        test::WriteFile(m_SettingsDir / "Zantor.ini",
                        TopSpeedSettings(test::ReadFile("Standard/Zantor.ini")));
        for (int n = 1; std::filesystem::exists(LayoutName("Standard", n)); ++n) {
            std::string layout = test::ReadFile(LayoutName("Standard", n));
            for (char& c : layout) {
                c = c == '4' ? '0' : c;
            }
            test::WriteFile(LayoutName(name, n), layout);
            m_iLevels = n;
        }
        g_Directory = name + "\\";
        g_Log.Open();
        m_Direct3D.Init(&m_Window);
        m_Input.Init(&m_Window, m_Direct3D.GetScreenWidth(), m_Direct3D.GetScreenHeight());
        m_Links = SGameContext{&m_Board,  &m_Paddel, &m_Balls,  &m_Blocks,
                               &m_Player, &m_iLevel, &m_fShake, nullptr};
        platform::IGraphicsDevice* device = m_Direct3D.GetDevice();
        m_Balls.Init(m_Links, device, nullptr);
        m_Paddel.Init(device, m_Links);
        m_Player.Init(m_Links, &m_Direct3D, &m_Input);
        m_Board.Init(device);
        m_Blocks.Init(m_Links, device);
    }
    ~FrameRate() override {
        m_Balls.Release();
        g_Directory = "Standard\\";
    }

    static std::string LayoutName(const std::string& directory, int level) {
        return directory + "/Level" + std::to_string(level) + ".txt";
    }

    // The level as the game starts it, with a paddle as wide as the board.
    void StartLevel(int level) {
        m_iLevel = level;
        m_Board.LoadLevel(level);
        const float width = m_Board.GetSizeX();
        m_Paddel.Reset(2, D3DXVECTOR3(width / 2, 0, 1), width, width);
        m_Blocks.LoadLevel(level);
        m_Balls.ReturnToStock();
    }

    // What playing a level for a while at one frame rate came to.
    struct SPlay {
        int lost = 0;
        int restarts = 0;
        int contacts = 0;
        float fastest = 0;
    };

    // Plays the level for the given game time in frames of dt, keeping kBallsInPlay balls
    // in play; a cleared level, or one a ball left through its open far edge, starts again.
    SPlay Play(int level, float dt, double seconds) {
        SPlay play;
        SeedRand(static_cast<std::uint32_t>(level));
        StartLevel(level);
        const long frames = std::lround(seconds / dt);
        for (long frame = 0; frame < frames; ++frame) {
            while (m_Balls.Count() < kBallsInPlay) {
                m_Paddel.Launch();
            }
            m_Paddel.Update(dt);
            m_Blocks.Update(dt);
            m_Balls.Update(dt);
            m_Blocks.Update(dt);
            if (m_fShake != 0) {
                ++play.lost; // every lost ball shakes the camera; two at once count once
                m_fShake = 0;
            }
            for (int i = 0; i < m_Balls.Count(); ++i) {
                play.fastest = std::max(play.fastest, m_Balls.Get(i).GetSpeed());
            }
            if (m_Blocks.IsCleared() || m_Board.HasExited()) {
                ++play.restarts;
                play.contacts += m_Player.GetPaddleContacts() - 1; // the count starts at 1
                m_Player.FinishLevel();
                StartLevel(level);
            }
        }
        play.contacts += m_Player.GetPaddleContacts() - 1;
        m_Player.FinishLevel();
        return play;
    }

    test::CScratchDir m_Dir;
    std::filesystem::path m_SettingsDir;
    int m_iLevels = 0;
    platform::CHeadlessWindow m_Window;
    CDirect3D m_Direct3D;
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

TEST_F(FrameRate, AWidePaddleLosesNoBallOnAnyLevelAtAnyRate) {
    ASSERT_GE(m_iLevels, 20);
    const double seconds = Minutes() * 60;
    std::printf("frame rate: %.1f minutes a level and rate; paddle contacts (restarts):\n",
                seconds / 60);
    for (int level = 1; level <= m_iLevels; ++level) {
        // The test's settings start every ball at the shipped level's top speed.
        const float top = ReadIniFloat(("Level" + std::to_string(level)).c_str(), "BallSpeed");
        std::printf("frame rate: level %2d, %.2f units/s:", level, static_cast<double>(top));
        for (const int rate : kRates) {
            const SPlay play = Play(level, 1.0f / static_cast<float>(rate), seconds);
            std::printf(" %d (%d)", play.contacts, play.restarts);
            EXPECT_EQ(play.lost, 0) << "level " << level << " at " << rate << " fps";
            EXPECT_GT(play.contacts, static_cast<int>(seconds / 10))
                << "level " << level << " at " << rate << " fps";
            EXPECT_FLOAT_EQ(play.fastest, top) << "level " << level;
        }
        std::printf("\n");
    }
}

// One ball on an empty board between the far wall and a resting paddle: its course is the
// same at every rate but for what a bounce loses of the stretch it ends (the ball is put
// back at the wall), so after a minute its paddle contacts differ by one at most.
TEST_F(FrameRate, ABallTakesTheSameCourseAtEveryRate) {
    test::WriteFile(LayoutName(g_Directory.substr(0, g_Directory.size() - 1), 22), "");
    std::vector<int> contacts;
    for (const int rate : kRates) {
        StartLevel(22); // 36.9 units a second, a ball of 0.28
        m_Balls.Add({5, 0, 2}, {1, 0, 2});
        const int before = m_Player.GetPaddleContacts();
        const float dt = 1.0f / static_cast<float>(rate);
        for (int frame = 0; frame < 60 * rate; ++frame) {
            m_Paddel.Update(dt);
            m_Balls.Update(dt);
        }
        ASSERT_EQ(m_Balls.Count(), 1) << rate << " fps";
        contacts.push_back(m_Player.GetPaddleContacts() - before);
    }
    for (std::size_t i = 0; i < contacts.size(); ++i) {
        EXPECT_NEAR(contacts[i], contacts.back(), 1) << kRates[i] << " fps";
    }
    EXPECT_GT(contacts.back(), 60);
}

// The same hand movement, slow and fast, delivered over a second in the frames of each
// rate, then a second at rest: the paddle ends equally far, and as far as it did at 60 fps
// before the mouse was read as a rate (counts × sensitivity / 60 below the speed limit).
// A fast hand drives the paddle at its limit, and in frames shorter than a 60th of a second
// what the limit held back of the last count may still follow.
TEST_F(FrameRate, TheSameMouseMovementMovesThePaddleEquallyFar) {
    StartLevel(1);
    const float sensitivity = ReadIniFloat("Options", "MouseSensitive");
    const float limit = m_Paddel.GetSpeed();
    ASSERT_GT(sensitivity, 0.0f);
    struct SHand {
        int counts;     // in the second
        float expected; // travel
        float slack;
    };
    const SHand hands[] = {
        {240, 240 * sensitivity / 60, 1e-3f},      // slow: a quarter of the limit
        {100000, limit, sensitivity / 60 + 0.01f}, // fast: at the limit
    };
    for (const SHand& hand : hands) {
        for (const int rate : kRates) {
            m_Paddel.Reset(2, D3DXVECTOR3(10, 0, 1), 4, 100); // no side within reach
            const float dt = 1.0f / static_cast<float>(rate);
            long sent = 0;
            for (int frame = 0; frame < 2 * rate; ++frame) {
                // The counts of the second spread over its frames as a mouse gives them.
                const long due =
                    std::min<long>(hand.counts, std::lround(static_cast<double>(hand.counts) *
                                                            (frame + 1) / rate));
                m_Window.Script().mouse.lX = static_cast<int>(due - sent);
                sent = due;
                m_Input.Update();
                m_Player.Control(dt);
                m_Paddel.Update(dt);
            }
            EXPECT_NEAR(m_Paddel.GetPosition().x - 10, hand.expected, hand.slack)
                << hand.counts << " counts at " << rate << " fps";
        }
    }
}

} // namespace
