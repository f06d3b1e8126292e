#include "FieldSupport.h"
#include "game/ScoreFile.h"

namespace {

class Scoring : public test::CFieldTest {
  protected:
    Scoring() {
        InitField();
        WriteLayout(1, "");
        StartLevel(1);
        g_Log.Open();
    }
    void Hits(int n) {
        for (int i = 0; i < n; ++i) {
            m_Player.AddBlockHit();
        }
    }
};

TEST_F(Scoring, LevelScoreIsHitsSquaredOverContactsTimesTheFactor) {
    m_Balls.Add({5, 0, 10}, {0, 0, 1}); // one ball in play: a hit counts 1
    Hits(20);
    for (int i = 0; i < 4; ++i) {
        m_Player.AddPaddleContact(); // 5 with the one the counter starts with
    }
    m_Player.ComputeLevelPoints();
    EXPECT_FLOAT_EQ(m_Player.GetLevelPoints(), 120.0f); // 20 × 4 × 1.5
    EXPECT_EQ(m_Player.GetScore(), 0.0f);
    m_Player.FinishLevel();
    EXPECT_FLOAT_EQ(m_Player.GetScore(), 120.0f);
    EXPECT_EQ(m_Player.GetBlocksHit(), 0);
    EXPECT_EQ(m_Player.GetPaddleContacts(), 1);
}

TEST_F(Scoring, HitsCountMoreWithMoreBallsInPlay) {
    m_Balls.Add({5, 0, 10}, {0, 0, 1});
    Hits(1);
    m_Balls.Add({6, 0, 10}, {0, 0, 1});
    Hits(1);
    m_Balls.Add({7, 0, 10}, {0, 0, 1});
    Hits(1);
    m_Player.AddPaddleContact();
    m_Player.AddPaddleContact();
    m_Player.ComputeLevelPoints();
    // 1 + 1.5 + 2 = 4.5 hits, 3 contacts: 4.5 × 1.5 × 1.5.
    EXPECT_FLOAT_EQ(m_Player.GetLevelPoints(), 4.5f * 1.5f * 1.5f);
}

TEST_F(Scoring, HudAndStatisticsShowTheirOwnRoundings) {
    m_Balls.Add({5, 0, 10}, {0, 0, 1});
    Hits(6); // 6
    m_Balls.Add({6, 0, 10}, {0, 0, 1});
    Hits(1); // 7.5
    m_Player.AddPaddleContact();
    m_Player.AddPaddleContact(); // 3
    EXPECT_EQ(m_Player.GetBlocksHit(), 7);
    EXPECT_EQ(m_Player.GetPaddleContacts(), 3);
    char text[128];
    m_Player.FormatHudLine(1, text);
    EXPECT_STREQ(text, "Levelscore: 7 * 2.500 = 18");
    m_Player.FormatHudLine(2, text);
    EXPECT_STREQ(text, "Punktefaktor: 1.50");
    m_Player.FormatHudLine(3, text);
    EXPECT_STREQ(text, "Bälle: 3");
    m_Player.FormatStatisticsLine(3, text);
    EXPECT_STREQ(text, "Genauigkeit: 2.333");
    m_Player.ComputeLevelPoints();
    m_Player.FormatStatisticsLine(5, text);
    EXPECT_STREQ(text, "Punkte für diese Level: 28"); // 7.5 × 2.5 × 1.5 = 28.1
    Device().ClearDraws();
    m_Player.DrawHud();
    EXPECT_EQ(Draws().size(), 4u); // four lines
    Device().ClearDraws();
    m_Player.DrawStatistics();
    EXPECT_EQ(Draws().size(), 8u);
}

TEST_F(Scoring, LaunchTakesFromTheStockUntilItIsEmpty) {
    const int stock = m_Player.GetBalls(); // 3
    for (int i = 0; i < stock + 2; ++i) {
        m_Player.Launch();
    }
    EXPECT_EQ(m_Player.GetBalls(), 0);
    EXPECT_EQ(m_Balls.Count(), stock);
}

TEST_F(Scoring, MouseSteeringIsLimitedToThePaddleSpeed) {
    m_Window.Script().mouse.lX = 100;
    m_Input.Update();
    m_Player.Control(1.0f / 60);
    EXPECT_EQ(m_Paddel.GetVelocity().x, 30.0f); // the level's PaddelSpeed
    // At 60 frames a second the velocity is the movement × the sensitivity (1 here); at 120
    // the same movement in half the time is twice as fast.
    m_Window.Script().mouse.lX = -7;
    m_Input.Update();
    m_Player.Control(1.0f / 60);
    EXPECT_FLOAT_EQ(m_Paddel.GetVelocity().x, -7.0f);
    m_Window.Script().mouse.lX = -7;
    m_Input.Update();
    m_Player.Control(1.0f / 120);
    EXPECT_FLOAT_EQ(m_Paddel.GetVelocity().x, -14.0f);
    // A frame of no duration (the first) gives the mouse nothing to move.
    m_Window.Script().mouse.lX = 5;
    m_Input.Update();
    m_Player.Control(0);
    EXPECT_EQ(m_Paddel.GetVelocity().x, 0.0f);
}

// In frames shorter than a 60th of a second, what the paddle's speed held back of a movement
// follows in the next frames, up to one count's distance, to either side; in frames of a
// 60th or longer nothing follows.
TEST_F(Scoring, MouseSteeringCarriesUpToOneCountIntoShortFrames) {
    const auto steer = [this](int counts, float dt) {
        m_Window.Script().mouse.lX = counts;
        m_Input.Update();
        m_Player.Control(dt);
        return m_Paddel.GetVelocity().x;
    };
    const float dt = 1.0f / 240; // 30 units/s cover 7.5 counts (of 1/60 unit) in a frame
    for (const int side : {1, -1}) {
        const auto s = static_cast<float>(side);
        // 10 counts ask for 40 units/s: 30 now; of the 2.5 counts held back, one follows.
        EXPECT_FLOAT_EQ(steer(10 * side, dt), 30 * s) << side;
        EXPECT_NEAR(steer(0, dt), 4 * s, 1e-3f) << side;
        EXPECT_NEAR(steer(0, dt), 0, 1e-3f) << side;
        // 8 counts: half a count held back, and all of it follows.
        EXPECT_FLOAT_EQ(steer(8 * side, dt), 30 * s) << side;
        EXPECT_NEAR(steer(0, dt), 2 * s, 1e-3f) << side;
        EXPECT_NEAR(steer(0, dt), 0, 1e-3f) << side;
    }
    // 100 counts in a 60th: 30 units/s, and the 70 held back are dropped.
    EXPECT_EQ(steer(100, 1.0f / 60), 30.0f);
    EXPECT_EQ(steer(0, 1.0f / 60), 0.0f);
    EXPECT_EQ(steer(-100, 1.0f / 60), -30.0f);
    EXPECT_EQ(steer(0, 1.0f / 60), 0.0f);
}

TEST(ScoreFile, FourRawBytesShortFilesAndMissingOnes) {
    test::CScratchDir dir;
    g_Log.Open();
    EXPECT_EQ(ReadScoreFile("Highscore.dat"), 0);
    ASSERT_TRUE(WriteScoreFile("Highscore.dat", 0x1A0A0D41));
    EXPECT_EQ(test::ReadFile("Highscore.dat"), std::string("\x41\x0D\x0A\x1A", 4));
    EXPECT_EQ(ReadScoreFile("Highscore.dat"), 0x1A0A0D41);
    test::WriteFile("Daten.dat", std::string("\x07\x01", 2));
    EXPECT_EQ(ReadScoreFile("Daten.dat"), 0x107);
    ASSERT_TRUE(WriteScoreFile("Daten.dat", -5));
    EXPECT_EQ(ReadScoreFile("Daten.dat"), -5);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(".")) {
        ++files;
    }
    EXPECT_EQ(files, 3); // the log and the two files: no temporary left
}

TEST(ScoreFile, FailedWriteIsLoggedAndKeepsTheOldFile) {
    test::CScratchDir dir;
    g_Log.Open();
    EXPECT_FALSE(WriteScoreFile("no/such/dir/Highscore.dat", 1));
    EXPECT_NE(test::LogRows().find("Datei konnte nicht geschrieben werden:"), std::string::npos);
    ASSERT_TRUE(WriteScoreFile("Highscore.dat", 77));
    std::filesystem::permissions(".", std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    const bool refused = !WriteScoreFile("Highscore.dat", 99);
    std::filesystem::permissions(".", std::filesystem::perms::owner_all);
    if (refused) { // as root every directory is writable; then there is nothing to refuse
        EXPECT_EQ(ReadScoreFile("Highscore.dat"), 77);
    }
}

} // namespace
