// The whole game, round after round, for hours of game time: the shell's frame loop on the
// headless window at frame times from 0.2 ms to 100 ms, an autopilot at the mouse, and the
// play field checked after every frame; a ball lost where the paddle stood is a fault. Runs
// beside build/stage/Standard (see tests/CMakeLists.txt), so the real data set and settings
// are played.
//
// ZANTOR_SOAK_MINUTES=n plays at least n minutes of game time instead of two hours (for the
// sanitizer build, which is many times slower).
#include "BallPath.h"
#include "InputDriver.h"
#include "TestSupport.h"
#include "game/field/Random.h"
#include "platform/Clock.h"
#include "platform/headless/HeadlessWindow.h"
#include "settings/Log.h"
#include "settings/Settings.h"
#include "shell/Shell.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using S = CGame::EGameState;

// Each frame lasts a time drawn log-uniformly between these, in microseconds: 5,000 to 10
// frames a second, every factor of ten in between about as often.
constexpr std::uint64_t kShortestFrameUs = 200;
constexpr std::uint64_t kLongestFrameUs = 100000;
constexpr double kDefaultMinutes = 120.0;
// The game seconds the autopilot may spend on one level, and on the clicks and waits around it.
constexpr double kLevelBudget = 30 * 60.0;
constexpr double kWaitBudget = 10.0;
constexpr std::size_t kMaxParticles = 12 * 500;
// Heap growth after the first level that still counts as noise: the buffers of the blocks,
// the particles and their vertices keep the largest size needed so far.
constexpr long kHeapNoise = 256 * 1024;
// What the heap may differ by between the starts of two rounds.
constexpr long kRoundNoise = 64 * 1024;
// The stock is topped up by this many balls whenever it is empty during play.
constexpr int kHookBalls = 5;
constexpr std::uint32_t kSeed = 20261208;
constexpr std::size_t kMaxRounds = 64;

double SoakMinutes() {
    return test::PositiveFromEnvironment("ZANTOR_SOAK_MINUTES", kDefaultMinutes);
}

#if defined(__SANITIZE_ADDRESS__)
#define ZANTOR_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZANTOR_SOAK_ASAN 1
#endif
#endif

#ifdef ZANTOR_SOAK_ASAN
// AddressSanitizer's allocator leaves malloc's figures at 0; it counts for itself.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

// The bytes the program holds on the heap now.
long HeapInUse() {
#ifdef ZANTOR_SOAK_ASAN
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    return static_cast<long>(mallinfo2().uordblks);
#endif
}

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

int LevelCount() {
    int n = 0;
    while (FileExists("Standard\\Level" + std::to_string(n + 1) + ".txt")) {
        ++n;
    }
    return n;
}

// A file of the staged data set that the game writes, put back as it was after the run.
class CKeptFile {
  public:
    explicit CKeptFile(std::filesystem::path path) : m_Path(std::move(path)) {
        if (std::filesystem::exists(m_Path)) {
            m_Content = test::ReadFile(m_Path);
        }
    }
    ~CKeptFile() {
        if (m_Content) {
            test::WriteFile(m_Path, *m_Content);
        } else {
            std::error_code ignored;
            std::filesystem::remove(m_Path, ignored);
        }
    }
    CKeptFile(const CKeptFile&) = delete;
    CKeptFile& operator=(const CKeptFile&) = delete;

  private:
    std::filesystem::path m_Path;
    std::optional<std::string> m_Content;
};

// The heap and the open descriptors when a level begins.
struct SSample {
    int round = 0;
    int level = 0;
    long heap = 0;
    int descriptors = 0;
};

// The end of a round: the stock let go after the last level, how long that took, and
// whether the game ended with a new highscore.
struct SEnding {
    int stock = 0;
    double seconds = 0;
    bool highscore = false;
};

// What one level took in one round.
struct SLevelRun {
    double seconds = 0;
    int ballsLost = 0;
    int hookCalls = 0;
    bool exited = false; // ended through the open far edge, not cleared
};

// A ball as it stood before a frame.
struct SBallBefore {
    const CBall* ball = nullptr;
    D3DXVECTOR3 position;
    D3DXVECTOR3 direction;
    float speed = 0;
    float radius = 0;
    float reach = 0;
};

// Where a ball last came into the paddle's row (its centre a radius in front of the paddle)
// on its way down, and where the paddle stood in that frame.
struct SRowEntry {
    const CBall* ball = nullptr;
    float x = 0;
    // How far from x the ball's first test in the row may be: a stretch on, and as much
    // again when a side wall turned it back on the way (it is put against the wall there).
    float slack = 0;
    float radius = 0;
    float paddleX = 0;
    float half = 0; // the narrower of the paddle's widths before and after the frame, halved
    float dt = 0;
    double gameSeconds = 0;
    int level = 0;
};

class Soak : public ::testing::Test {
  protected:
    Soak()
        : m_Highscore("Standard/Highscore.dat"), m_Progress("Standard/Daten.dat"),
          m_Window(ReadIniInt("VideoMode", "Width"), ReadIniInt("VideoMode", "Height")),
          m_Driver(m_Window.Script(), m_Input, [this](float) { return Frame(); }) {}

    // The game's start-up on the headless window and the manual clock.
    void Start() {
        SeedRand(kSeed);
        g_Directory = "Standard\\";
        g_Log.Open();
        m_Shell.GetDirect3D().SetVSyncOverride(false); // every drawn duration, however short
        ASSERT_TRUE(m_Shell.Start());
        m_fSensitivity = ReadIniFloat("Options", "MouseSensitive");
        ASSERT_GT(m_fSensitivity, 0.0f);
        m_iLevels = LevelCount();
        ASSERT_GE(m_iLevels, 1);
        // The test's own records are made large enough at the start, so that they do not
        // grow the heap that is measured.
        m_Runs.resize(static_cast<std::size_t>(m_iLevels) + 1);
        for (std::vector<SLevelRun>& runs : m_Runs) {
            runs.reserve(kMaxRounds);
        }
        m_Samples.reserve(kMaxRounds * (static_cast<std::size_t>(m_iLevels) + 2));
        m_Endings.reserve(kMaxRounds);
        m_FrameCounts.assign(kLongestFrameUs + 1, 0);
        m_Before.reserve(4 * CBalls::kReserved);
        m_Entries.reserve(4 * CBalls::kReserved);
    }

    platform::SHeadlessScript& Script() { return m_Window.Script(); }
    double GameSeconds() const { return m_dGameSeconds; }

    std::string Where() const {
        std::ostringstream where;
        where << "frame " << m_lFrames << " (" << m_Loop.GetFrameTime() * 1000 << " ms next) at "
              << m_dGameSeconds << " s, round " << m_iRound << ", level " << m_Game.GetLevelnummer()
              << ", program state " << m_Loop.GetProgramState() << ", game state "
              << m_Game.GetGameState() << ", menu state " << m_Menu.GetState();
        return where.str();
    }

    // The blocks and balls, for a failure's message.
    std::string Field() {
        std::ostringstream field;
        for (const SBlock& block : m_Game.GetBlocks().GetBlocks()) {
            field << "block of type " << block.Type << " at (" << block.Position.x << ", "
                  << block.Position.z << "), " << block.Hitpoints << " hitpoints\n";
        }
        for (int i = 0; i < m_Game.GetBalls().Count(); ++i) {
            const CBall& ball = m_Game.GetBalls().Get(i);
            field << "ball at (" << ball.GetPosition().x << ", " << ball.GetPosition().z
                  << "), direction (" << ball.GetDirection().x << ", " << ball.GetDirection().z
                  << "), speed " << ball.GetSpeed() << "\n";
        }
        field << "paddle at " << m_Game.GetPaddel().GetPosition().x << ", width "
              << m_Game.GetPaddel().GetWidth() << ", stock " << m_Game.GetPlayer().GetBalls();
        return field.str();
    }

    // A frame's duration in microseconds, drawn log-uniformly, and counted.
    std::uint64_t DrawFrameDuration() {
        const double u = static_cast<double>(m_FrameRng()) / 4294967296.0; // [0, 1)
        const double ratio = static_cast<double>(kLongestFrameUs) / kShortestFrameUs;
        const auto us = static_cast<std::uint64_t>(
            std::llround(static_cast<double>(kShortestFrameUs) * std::pow(ratio, u)));
        ++m_FrameCounts[us];
        return us;
    }

    // One pass of the frame loop with the input set now, then the checks. The clock is set
    // so that the loop measures the drawn duration between its two readings; the updates of
    // the pass get what it measured in the pass before.
    bool Frame() {
        const float dt = m_Loop.GetFrameTime();
        const std::uint64_t duration = DrawFrameDuration();
        m_Clock.Set(m_ClockNow);
        m_Clock.SetStepPerReading(duration);
        m_ClockNow += duration;
        RememberBalls();
        if (m_Shell.RunPass() != CFrameLoop::EPass::Frame) {
            ADD_FAILURE() << "the frame loop ran no frame at " << Where();
            return false;
        }
        ++m_lFrames;
        m_dGameSeconds += dt;
        Script().audioClock += dt;
        m_Window.GetRecordingDevice()->ClearDraws();
        Script().trace.clear();
        if (m_Loop.GetMeasuredFrameTime() != static_cast<float>(duration / 1e6)) {
            ADD_FAILURE() << "the loop measured " << m_Loop.GetMeasuredFrameTime()
                          << " s for a frame of " << duration << " µs at " << Where();
            return false;
        }
        TrackBalls(dt);
        return Check();
    }

    // The balls in play before a frame, for TrackBalls after it.
    void RememberBalls() {
        m_Before.clear();
        if (m_Loop.GetProgramState() != PROGRAM_GAME) {
            return;
        }
        const CBalls& balls = m_Game.GetBalls();
        for (int i = 0; i < balls.Count(); ++i) {
            const CBall& ball = balls.Get(i);
            m_Before.push_back(SBallBefore{&ball, ball.GetPosition(), ball.GetDirection(),
                                           ball.GetSpeed(), ball.GetRadius(), ball.Reach()});
        }
        m_fHalfBefore = m_Game.GetPaddel().GetWidth() / 2;
    }

    // Whether the ball is among the balls in play now.
    bool InPlay(const CBall* ball) {
        const CBalls& balls = m_Game.GetBalls();
        for (int i = 0; i < balls.Count(); ++i) {
            if (&balls.Get(i) == ball) {
                return true;
            }
        }
        return false;
    }

    // What is known of the ball's last way into the paddle's row; nullptr when nothing is.
    SRowEntry* EntryOf(const CBall* ball) {
        const auto entry = std::find_if(m_Entries.begin(), m_Entries.end(),
                                        [ball](const SRowEntry& e) { return e.ball == ball; });
        return entry == m_Entries.end() ? nullptr : &*entry;
    }

    // After a frame of dt seconds: notes the balls that came into the paddle's row, counts
    // the balls lost, and among them those that came into the row where the paddle stood.
    // The paddle moves before the balls in a frame, so the balls met it where it is now.
    void TrackBalls(float dt) {
        m_iLostInFrame = 0;
        const CPaddel& paddle = m_Game.GetPaddel();
        const float pz = paddle.GetPosition().z;
        const float width = m_Game.GetBoard().GetSizeX();
        for (const SBallBefore& before : m_Before) {
            if (before.direction.z >= 0 || before.position.z <= pz + before.radius) {
                continue;
            }
            const test::SRowCrossing crossing =
                test::CrossRow(before.position, before.direction, before.radius, pz, width);
            if (crossing.way > before.speed * dt) {
                continue;
            }
            const SRowEntry entry{before.ball,
                                  crossing.x,
                                  2 * before.reach * std::abs(crossing.dx) + 1e-3f,
                                  before.radius,
                                  paddle.GetPosition().x,
                                  std::min(m_fHalfBefore, paddle.GetWidth() / 2),
                                  dt,
                                  m_dGameSeconds,
                                  m_Game.GetLevelnummer()};
            if (SRowEntry* known = EntryOf(before.ball)) {
                *known = entry;
            } else {
                m_Entries.push_back(entry);
            }
        }
        // A lost ball shakes the camera anew; balls that a surprise block returns to the
        // stock leave without a shake.
        const bool shaken = !m_Before.empty() && m_Game.GetShake() == 1.0f - dt;
        for (const SBallBefore& before : m_Before) {
            if (!shaken || InPlay(before.ball)) {
                continue;
            }
            ++m_iLostInFrame;
            const SRowEntry* entry = EntryOf(before.ball);
            if (entry != nullptr &&
                std::abs(entry->x - entry->paddleX) <= entry->half + entry->radius - entry->slack) {
                if (m_iTunnelled++ == 0) {
                    std::ostringstream first;
                    first << "level " << entry->level << ": came into the row at x " << entry->x
                          << " at " << entry->gameSeconds << " s in a frame of " << entry->dt * 1000
                          << " ms, the paddle at x " << entry->paddleX << " of half width "
                          << entry->half << ", ball radius " << entry->radius << "; lost from ("
                          << before.position.x << ", " << before.position.z << "), direction ("
                          << before.direction.x << ", " << before.direction.z << "), speed "
                          << before.speed << " in a frame of " << dt * 1000 << " ms at " << Where();
                    m_FirstTunnel = first.str();
                }
            }
        }
        m_iBallsLost += m_iLostInFrame;
        std::erase_if(m_Entries, [this](const SRowEntry& e) { return !InPlay(e.ball); });
    }

    bool Click(int button) { return m_Driver.Click(button); }
    bool Tap(int key) { return m_Driver.Tap(key); }

    // Runs frames without input until the condition holds; false when it did not within the
    // game seconds of the budget.
    template <typename Condition>
    bool RunUntil(Condition condition, const char* what, double budget = kWaitBudget) {
        const double start = m_dGameSeconds;
        if (m_Driver.RunUntil(
                condition, [&] { return m_dGameSeconds - start >= budget; }, 0)) {
            return true;
        }
        if (HasFailure()) {
            return false; // a frame's check said why
        }
        ADD_FAILURE() << "waited in vain for " << what << " at " << Where();
        return false;
    }

    // The play field after a frame.
    bool Check() {
        if (m_Loop.GetProgramState() != PROGRAM_GAME) {
            m_iCheckedLevel = 0;
            return true;
        }
        ++m_lCheckedFrames;
        const int level = m_Game.GetLevelnummer();
        const std::vector<SBlock>& blocks = m_Game.GetBlocks().GetBlocks();
        const bool loaded = m_iCheckedLevel == 0 || m_Game.GetGameState() == S::STATE_TURNING_IN;
        if (loaded) {
            // A level was loaded: its blocks are the new measure.
            m_iCheckedLevel = level;
            m_Blocks = blocks.size();
            m_bOpenFar = ReadIniInt(("Level" + std::to_string(level)).c_str(), "TOP") != 1;
        }
        ++m_lChecks;
        if (blocks.size() > m_Blocks) {
            ADD_FAILURE() << "blocks went from " << m_Blocks << " to " << blocks.size() << " at "
                          << Where();
            return false;
        }
        m_Blocks = blocks.size();

        ++m_lChecks;
        const std::size_t particles = m_Game.GetBlocks().GetParticles().GetParticles().size();
        m_MaxParticles = std::max(m_MaxParticles, particles);
        if (particles > kMaxParticles) {
            ADD_FAILURE() << particles << " particles at " << Where();
            return false;
        }

        const CBoard& board = m_Game.GetBoard();
        const float sizeX = board.GetSizeX();
        const float sizeZ = board.GetSizeZ();
        const CPaddel& paddle = m_Game.GetPaddel();
        const float px = paddle.GetPosition().x;
        const float half = paddle.GetWidth() / 2;
        ++m_lChecks;
        const float overhang = std::max(-(px - half), px + half - sizeX);
        // A paddle that grew in this frame (a surprise block) is put back inside by the next
        // frame's paddle update; until then it may stand over the side by its growth.
        const float growth = loaded ? 0.0f : half - m_fPaddleHalf;
        m_fPaddleHalf = half;
        if (overhang > 1e-3f && growth > 0 && overhang <= growth + 1e-3f) {
            if (m_iGrowOverhangs++ == 0) {
                std::ostringstream first;
                first << "paddle at x " << px << " of width " << 2 * half << " on a board of "
                      << sizeX << " at " << Where();
                m_FirstOverhang = first.str();
            }
        } else if (!std::isfinite(px) || overhang > 1e-3f) {
            ADD_FAILURE() << "the paddle at x " << px << " of width " << 2 * half
                          << " leaves the board of width " << sizeX << " at " << Where();
            return false;
        }

        const CBalls& balls = m_Game.GetBalls();
        for (int i = 0; i < balls.Count(); ++i) {
            const CBall& ball = balls.Get(i);
            const D3DXVECTOR3& p = ball.GetPosition();
            ++m_lChecks;
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
                ADD_FAILURE() << "ball " << i << " at (" << p.x << ", " << p.y << ", " << p.z
                              << ") at " << Where();
                return false;
            }
            if (ball.GetSpeed() == 0.0f) {
                continue; // lost, removed at the end of the update
            }
            // Beyond an open far edge the side walls no longer hold a ball.
            if (m_bOpenFar && p.z + ball.GetRadius() >= sizeZ) {
                continue;
            }
            ++m_lChecks;
            const float outside = std::max(-p.x, p.x - sizeX);
            // A ball that meets the far wall in a corner is turned back from the side wall
            // only after its next stretch (the board reports one wall a test): until then its
            // centre may stand beyond the side by what it moved in its last stretch.
            const bool corner = !m_bOpenFar && p.z >= sizeZ - ball.GetRadius() - 1e-4f &&
                                outside <= ball.Reach() + 1e-4f;
            if (outside > 0 && corner && p.z <= sizeZ) {
                if (m_iCornerExcursions++ == 0) {
                    std::ostringstream first;
                    first << "ball at (" << p.x << ", " << p.z << "), direction ("
                          << ball.GetDirection().x << ", " << ball.GetDirection().z << "), speed "
                          << ball.GetSpeed() << ", radius " << ball.GetRadius() << " on a board of "
                          << sizeX << " × " << sizeZ << " at " << Where();
                    m_FirstCorner = first.str();
                }
            } else if (outside > 0 || p.z > sizeZ) {
                ADD_FAILURE() << "ball " << i << " at (" << p.x << ", " << p.z
                              << ") is off the board of " << sizeX << " × " << sizeZ
                              << " (direction " << ball.GetDirection().x << ", "
                              << ball.GetDirection().z << ", speed " << ball.GetSpeed() << ") at "
                              << Where();
                return false;
            }
        }
        return true;
    }

    using SContact = test::SContact;

    // What a ball of radius r leaving (x, z) with dx / dz = slope meets first, the side walls
    // turning it back: a block (its type), the open far edge (-1) or the far wall (-2).
    int Cast(float x, float z, float slope, float r) {
        const float width = m_Game.GetBoard().GetSizeX();
        const float far = m_Game.GetBoard().GetSizeZ() - r;
        const std::vector<SBlock>& blocks = m_Game.GetBlocks().GetBlocks();
        const std::vector<SBlockInfo>& info = m_Game.GetBlocks().GetBlockInfo();
        for (int segment = 0; segment < 8 && z < far; ++segment) {
            // The stretch up to the next side wall or the far edge.
            float end = far;
            if (slope > 0) {
                end = std::min(far, z + (width - r - x) / slope);
            } else if (slope < 0) {
                end = std::min(far, z + (r - x) / slope);
            }
            float first = end + 1;
            int type = 0;
            for (const SBlock& block : blocks) {
                if (block.Hitpoints <= 0 || block.Type < 0 ||
                    block.Type >= static_cast<int>(info.size())) {
                    continue;
                }
                const SBlockInfo& size = info[static_cast<std::size_t>(block.Type)];
                const float left = block.Position.x - size.SizeX / 2 - r;
                const float right = block.Position.x + size.SizeX / 2 + r;
                const float z0 = std::max(z, block.Position.z - r);
                const float z1 = std::min(end, block.Position.z + size.SizeZ + r);
                if (z0 > z1 || z0 >= first) {
                    continue;
                }
                // Where along the stretch the ball's x is within the block's reach.
                const float x0 = x + slope * (z0 - z);
                float enter = z0;
                if (x0 < left) {
                    enter = slope > 0 ? z + (left - x) / slope : z1 + 1;
                } else if (x0 > right) {
                    enter = slope < 0 ? z + (right - x) / slope : z1 + 1;
                }
                if (enter <= z1 && enter < first) {
                    first = enter;
                    type = block.Type;
                }
            }
            if (first <= end) {
                return type;
            }
            if (end >= far) {
                break;
            }
            x = x + slope * (end - z);
            z = end;
            slope = -slope;
        }
        return m_bOpenFar ? -1 : -2;
    }

    // The mouse counts that give the paddle the velocity v in the coming frame of dt seconds.
    int MouseFor(float v, float dt) {
        return test::MouseCountsFor(v, dt, m_fSensitivity, m_Game.GetPaddel().GetSpeed());
    }

    // The mouse counts for the frame of dt seconds in which the ball of the contact comes
    // into the paddle's row: among the velocities the mouse can give in that frame, one that
    // leaves the paddle under the ball and sends the ball at a block it can destroy (or out
    // through an open far edge), not too flat. The paddle moves before the ball; its velocity,
    // damped over the frame and turned back at a side, bends the ball's x direction by a
    // tenth. When no velocity leaves the paddle under the ball: straight under it.
    int ChooseMotion(const SContact& contact, float dt) {
        const CPaddel& paddle = m_Game.GetPaddel();
        const float px = paddle.GetPosition().x;
        const float half = paddle.GetWidth() / 2;
        const float width = m_Game.GetBoard().GetSizeX();
        const float limit = paddle.GetSpeed();
        const float r = m_Game.GetBalls().Get(contact.ball).GetRadius();
        const float z = paddle.GetPosition().z + r;
        // The velocities a count apart at 60 frames a second, as far as this frame tells
        // them apart.
        const int most = static_cast<int>(limit / m_fSensitivity);
        std::vector<int> good;
        std::vector<int> steep;
        std::vector<int> under;
        std::optional<int> previous;
        for (int step = -most; step <= most; ++step) {
            const int counts = MouseFor(static_cast<float>(step) * m_fSensitivity, dt);
            if (previous == counts) {
                continue;
            }
            previous = counts;
            const float v = test::MouseVelocity(counts, dt, m_fSensitivity, limit);
            float x = px + v * dt;
            float velocity = v * std::pow(0.2f, dt);
            if (x - half < 0 || x + half > width) {
                x = std::clamp(x, half, width - half);
                velocity *= -0.25f;
            }
            if (std::abs(contact.x - x) >= half * 0.9f) {
                continue;
            }
            under.push_back(counts);
            float dx = contact.dx - 0.1f * velocity;
            float dz = -contact.dz;
            if (dz / std::abs(dx) < kFlattestSlope) {
                dx = dx < 0 ? -1 / kFlattestSlope : 1 / kFlattestSlope;
                dz = 1;
            }
            const float slope = dx / dz;
            if (std::abs(slope) > 1.5f) {
                continue;
            }
            if (std::abs(slope) <= 1.0f) {
                steep.push_back(counts);
            }
            const int met = Cast(contact.x, z, slope, r);
            if (met == -1 || (met >= 0 && met != 3)) {
                good.push_back(counts);
            }
        }
        if (under.empty()) {
            return MouseFor((contact.x - px) / dt, dt);
        }
        const std::vector<int>& from = !good.empty() ? good : !steep.empty() ? steep : under;
        std::uniform_int_distribution<std::size_t> pick(0, from.size() - 1);
        return from[pick(m_Rng)];
    }

    // The autopilot's input for the coming frame: launch when no ball is on its way, stand
    // where the next ball comes into the paddle's row, and in the frame in which it does,
    // move so that it leaves towards a block. Letting go, the paddle keeps away from the
    // balls instead.
    void Steer(bool letGo) {
        const float dt = m_Loop.GetFrameTime();
        const CBalls& balls = m_Game.GetBalls();
        const float px = m_Game.GetPaddel().GetPosition().x;
        const float half = m_Game.GetPaddel().GetWidth() / 2;
        const float width = m_Game.GetBoard().GetSizeX();

        // A ball that runs (nearly) along x never comes back: it does not count.
        bool coming = false;
        for (int i = 0; i < balls.Count(); ++i) {
            coming = coming || std::abs(balls.Get(i).GetDirection().z) > 0.05f;
        }
        const bool launch = !coming && !m_bLaunchPressed;
        Script().mouse.rgbButtons[0] = launch ? 0x80 : 0;
        m_bLaunchPressed = launch;

        const SContact contact = test::NextContact(m_Game);
        float target = width / 2;
        if (letGo) {
            const float x = contact.ball >= 0   ? contact.x
                            : balls.Count() > 0 ? balls.Get(0).GetPosition().x
                                                : width / 2;
            target = x < width / 2 ? width - half : half;
        } else if (contact.ball < 0) {
            // Nothing comes down: wait under the lowest ball.
            float lowest = 1e9f;
            for (int i = 0; i < balls.Count(); ++i) {
                const D3DXVECTOR3& p = balls.Get(i).GetPosition();
                if (p.z < lowest) {
                    lowest = p.z;
                    target = p.x;
                }
            }
        } else if (contact.seconds <= dt) {
            Script().mouse.lX = ChooseMotion(contact, dt);
            return;
        } else {
            target = contact.x;
        }
        Script().mouse.lX = MouseFor((std::clamp(target, half, width - half) - px) / dt, dt);
    }

    // The durations drawn so far: the shortest, the median, the longest, and how many.
    std::string FrameTimes() const {
        long count = 0;
        for (const std::uint32_t n : m_FrameCounts) {
            count += n;
        }
        std::size_t lowest = m_FrameCounts.size();
        std::size_t median = 0;
        std::size_t highest = 0;
        long seen = 0;
        for (std::size_t us = 0; us < m_FrameCounts.size(); ++us) {
            if (m_FrameCounts[us] == 0) {
                continue;
            }
            lowest = std::min(lowest, us);
            highest = us;
            if (seen < (count + 1) / 2 && seen + m_FrameCounts[us] >= (count + 1) / 2) {
                median = us;
            }
            seen += m_FrameCounts[us];
        }
        std::ostringstream text;
        text << "from " << kShortestFrameUs / 1000.0 << " to " << kLongestFrameUs / 1000.0
             << " ms, log-uniform: shortest " << lowest / 1000.0 << " ms, median "
             << median / 1000.0 << " ms, longest " << highest / 1000.0 << " ms, " << count
             << " frames, " << m_dGameSeconds / static_cast<double>(std::max(count, 1L)) * 1000
             << " ms on average";
        return text.str();
    }

    void Sample() {
        m_Samples.push_back(
            SSample{m_iRound, m_Game.GetLevelnummer(), HeapInUse(), OpenDescriptors()});
    }

    // One level from its first frame of play until its statistics; false on a failure.
    bool PlayLevel(int level) {
        SLevelRun& run = m_Runs[static_cast<std::size_t>(level)].emplace_back();
        const double start = m_dGameSeconds;
        while (m_Game.GetGameState() == S::STATE_PLAYING && !m_Game.IsLevelSelect()) {
            if (m_dGameSeconds - start >= kLevelBudget) {
                ADD_FAILURE() << "level " << level << " not cleared within " << kLevelBudget
                              << " s at " << Where() << "\n"
                              << Field();
                return false;
            }
            if (m_Game.GetPlayer().GetBalls() <= 0) {
                m_Game.GetPlayer().AddBalls(kHookBalls);
                ++run.hookCalls;
                ++m_iHookCalls;
            }
            Steer(false);
            if (!Frame()) {
                return false;
            }
            run.ballsLost += m_iLostInFrame;
        }
        Script().mouse.rgbButtons[0] = 0;
        Script().mouse.lX = 0;
        m_bLaunchPressed = false;
        run.seconds = m_dGameSeconds - start;
        run.exited = !m_Game.GetBlocks().IsCleared();
        if (m_Game.GetGameState() != S::STATE_STATISTICS) {
            ADD_FAILURE() << "level " << level << " ended without its statistics at " << Where();
            return false;
        }
        return true;
    }

    // From the menu through every level and back to the menu.
    bool PlayRound() {
        ++m_iRound;
        if (m_Loop.GetProgramState() != PROGRAM_MENU) {
            ADD_FAILURE() << "not in the menu at " << Where();
            return false;
        }
        if (!RunUntil([this] { return m_Menu.GetState() == CMenu::MENU_IDLE; }, "the menu")) {
            return false;
        }
        // The cursor onto the middle of the start button: the mouse moves it by 1.5 × its
        // motion.
        const CSpriteButton& button = m_Menu.GetButton(0);
        const int x = m_Menu.GetButtonX(0) + button.GetWidth() / 2;
        const int y = m_Menu.GetButtonY(0) + button.GetHeight() / 2;
        if (!m_Driver.MoveCursor(x, y, 4, [&] {
                return button.IsInside(m_Input.GetMouseX(), m_Input.GetMouseY());
            })) {
            return false;
        }
        if (!button.IsInside(m_Input.GetMouseX(), m_Input.GetMouseY())) {
            ADD_FAILURE() << "the cursor at " << m_Input.GetMouseX() << ", " << m_Input.GetMouseY()
                          << " is not on the start button at " << Where();
            return false;
        }
        if (!Click(0)) {
            return false;
        }
        if (m_Menu.GetState() != CMenu::MENU_STARTING) {
            ADD_FAILURE() << "the start button did not start at " << Where();
            return false;
        }
        if (!RunUntil([this] { return m_Loop.GetProgramState() == PROGRAM_GAME; }, "the game")) {
            return false;
        }

        // The level selection: right click starts level 1.
        if (!RunUntil(
                [this] {
                    return m_Game.IsLevelSelect() && m_Game.GetGameState() == S::STATE_PLAYING;
                },
                "the level selection")) {
            return false;
        }
        if (m_Game.GetLevelnummer() != 1) {
            ADD_FAILURE() << "the selection does not stand at level 1 at " << Where();
            return false;
        }
        if (!Click(1)) {
            return false;
        }

        for (int level = 1; level <= m_iLevels; ++level) {
            if (!Begin(level) || !PlayLevel(level)) {
                return false;
            }
            ++m_iLevelsCleared;
            if (!Click(1)) { // leave the statistics
                return false;
            }
        }

        // After the last level the game goes on at level 1: let every ball go.
        if (!Begin(1)) {
            return false;
        }
        SEnding& ending = m_Endings.emplace_back();
        ending.stock = m_Game.GetPlayer().GetBalls();
        const double start = m_dGameSeconds;
        while (m_Game.GetGameState() != S::STATE_GAME_OVER &&
               m_Game.GetGameState() != S::STATE_HIGHSCORE) {
            if (m_dGameSeconds - start >= kLevelBudget) {
                ADD_FAILURE() << "no game over within " << kLevelBudget << " s at " << Where();
                return false;
            }
            if (m_Game.GetGameState() == S::STATE_STATISTICS) {
                // Level 1 went down on the way: on to the next.
                if (!Click(1) || !Begin(m_Game.GetLevelnummer())) {
                    return false;
                }
            }
            Steer(true);
            if (!Frame()) {
                return false;
            }
        }
        Script().mouse.rgbButtons[0] = 0;
        Script().mouse.lX = 0;
        m_bLaunchPressed = false;
        ending.seconds = m_dGameSeconds - start;
        ending.highscore = m_Game.GetGameState() == S::STATE_HIGHSCORE;

        // Esc leads back to the menu, which stands idle with its buttons at their ends.
        if (!Tap(DIK_ESCAPE)) {
            return false;
        }
        if (m_Loop.GetProgramState() != PROGRAM_MENU || m_Menu.GetState() != CMenu::MENU_IDLE ||
            m_Window.IsDestroyed()) {
            ADD_FAILURE() << "Esc did not lead back to the idle menu at " << Where();
            return false;
        }
        for (int i = 0; i < 3; ++i) {
            const SButtonAnim& a = m_Menu.GetAnim(i);
            if (m_Menu.GetButtonX(i) != static_cast<int>(a.fStartX + a.fDeltaX) ||
                m_Menu.GetButtonY(i) != static_cast<int>(a.fStartY + a.fDeltaY)) {
                ADD_FAILURE() << "menu button " << i << " is not at its end at " << Where();
                return false;
            }
        }
        return true;
    }

    // Waits out the turn into the level and its help text; the level's first frame of play.
    bool Begin(int level) {
        if (!RunUntil(
                [this] {
                    const auto state = m_Game.GetGameState();
                    return state == S::STATE_HELP || state == S::STATE_PLAYING;
                },
                "the level")) {
            return false;
        }
        if (m_Game.GetGameState() == S::STATE_HELP && !Click(1)) {
            return false;
        }
        if (m_Game.GetLevelnummer() != level || m_Game.GetGameState() != S::STATE_PLAYING ||
            m_Game.IsLevelSelect()) {
            ADD_FAILURE() << "level " << level << " did not begin at " << Where();
            return false;
        }
        Sample();
        return true;
    }

    CKeptFile m_Highscore;
    CKeptFile m_Progress;
    platform::CHeadlessWindow m_Window;
    platform::CManualClock m_Clock;
    CShell m_Shell{m_Window, m_Clock};
    CFrameLoop& m_Loop = m_Shell.GetLoop();
    CInput& m_Input = m_Shell.GetInput();
    CGame& m_Game = m_Shell.GetGame();
    CMenu& m_Menu = m_Shell.GetMenu();
    test::CInputDriver m_Driver;

    float m_fSensitivity = 1.0f;
    int m_iLevels = 0;
    int m_iRound = 0;
    long m_lFrames = 0;
    double m_dGameSeconds = 0; // the sum of the frame times the updates got
    long m_lChecks = 0;
    long m_lCheckedFrames = 0;
    int m_iLevelsCleared = 0;
    int m_iHookCalls = 0;
    std::size_t m_MaxParticles = 0;
    std::vector<std::vector<SLevelRun>> m_Runs; // by level, one entry per round
    std::vector<SSample> m_Samples;
    std::vector<SEnding> m_Endings;

    // The checks' memory of the level.
    int m_iCheckedLevel = 0;
    std::size_t m_Blocks = 0;
    bool m_bOpenFar = false;
    float m_fPaddleHalf = 0;
    int m_iGrowOverhangs = 0;
    int m_iCornerExcursions = 0;
    std::string m_FirstOverhang;
    std::string m_FirstCorner;

    // The frames' durations: where the clock stands, the generator, and how often each
    // duration in microseconds was drawn.
    std::uint64_t m_ClockNow = 0;
    std::mt19937 m_FrameRng{kSeed + 1};
    std::vector<std::uint32_t> m_FrameCounts;

    // The balls lost, and where they came into the paddle's row.
    std::vector<SBallBefore> m_Before;
    float m_fHalfBefore = 0;
    std::vector<SRowEntry> m_Entries;
    int m_iLostInFrame = 0;
    int m_iBallsLost = 0;
    int m_iTunnelled = 0;
    std::string m_FirstTunnel;

    // The autopilot's.
    std::mt19937 m_Rng{kSeed};
    bool m_bLaunchPressed = false;
};

TEST_F(Soak, WholeGamesForHoursOfGameTime) {
    const auto wallStart = std::chrono::steady_clock::now();
    ASSERT_NO_FATAL_FAILURE(Start());
    const double target = SoakMinutes() * 60.0;
    while (GameSeconds() < target) {
        ASSERT_LT(static_cast<std::size_t>(m_iRound), kMaxRounds);
        ASSERT_TRUE(PlayRound());
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    std::printf("soak: %.1f minutes of game time in %ld frames, %d rounds, %.1f s\n",
                GameSeconds() / 60, m_lFrames, m_iRound, wall);
    std::printf("soak: frame times %s\n", FrameTimes().c_str());
    std::printf("soak: %ld invariant checks in %ld frames of the game, %d levels cleared or left, "
                "%d top-ups of %d balls, at most %zu particles\n",
                m_lChecks, m_lCheckedFrames, m_iLevelsCleared, m_iHookCalls, kHookBalls,
                m_MaxParticles);
    std::printf("soak: %d frames with a paddle grown over the side%s%s\n", m_iGrowOverhangs,
                m_FirstOverhang.empty() ? "" : ", the first: ", m_FirstOverhang.c_str());
    std::printf("soak: %d frames with a ball beyond a side in a far corner%s%s\n",
                m_iCornerExcursions,
                m_FirstCorner.empty() ? "" : ", the first: ", m_FirstCorner.c_str());
    std::printf("soak: per level and round: seconds of play, exit through the open far edge, "
                "balls lost / top-ups\n");
    int lostInLevels = 0;
    for (int level = 1; level <= m_iLevels; ++level) {
        std::printf("soak: level %2d:", level);
        for (const SLevelRun& run : m_Runs[static_cast<std::size_t>(level)]) {
            std::printf(" %5.1f%s %d/%d", run.seconds, run.exited ? " exit" : "", run.ballsLost,
                        run.hookCalls);
            lostInLevels += run.ballsLost;
        }
        std::printf("\n");
    }
    std::printf("soak: %d balls lost in the levels, %d let go at the ends of the rounds; %d came "
                "into the paddle's row where the paddle stood%s%s\n",
                lostInLevels, m_iBallsLost - lostInLevels, m_iTunnelled,
                m_FirstTunnel.empty() ? "" : ", the first: ", m_FirstTunnel.c_str());
    EXPECT_EQ(m_iTunnelled, 0) << "balls lost with the paddle under them";
    for (int round = 1; round <= m_iRound; ++round) {
        long low = 0;
        long high = 0;
        int fewest = 0;
        int most = 0;
        bool first = true;
        for (const SSample& sample : m_Samples) {
            if (sample.round == round) {
                low = first ? sample.heap : std::min(low, sample.heap);
                high = first ? sample.heap : std::max(high, sample.heap);
                fewest = first ? sample.descriptors : std::min(fewest, sample.descriptors);
                most = first ? sample.descriptors : std::max(most, sample.descriptors);
                first = false;
            }
        }
        const SEnding& ending = m_Endings[static_cast<std::size_t>(round - 1)];
        std::printf("soak: round %d: heap at level starts %ld to %ld bytes, %d to %d open "
                    "descriptors; %d balls let go in %.1f s, then %s\n",
                    round, low, high, fewest, most, ending.stock, ending.seconds,
                    ending.highscore ? "a new highscore" : "game over");
    }

    // After the first level the heap and the descriptors stay where they were.
    ASSERT_GE(m_Samples.size(), 2u);
    const SSample& baseline = m_Samples[1];
    for (const SSample& sample : m_Samples) {
        if (&sample < &baseline) {
            continue;
        }
        EXPECT_LE(sample.heap, baseline.heap + kHeapNoise)
            << "round " << sample.round << ", level " << sample.level;
        EXPECT_EQ(sample.descriptors, baseline.descriptors)
            << "round " << sample.round << ", level " << sample.level;
    }
    // And from round to round nothing piles up: the second round begins as the last does.
    if (m_iRound >= 3) {
        const auto roundStart = [this](int round) {
            return std::find_if(m_Samples.begin(), m_Samples.end(),
                                [round](const SSample& sample) { return sample.round == round; })
                ->heap;
        };
        EXPECT_LE(roundStart(m_iRound), roundStart(2) + kRoundNoise);
    }

    // The log holds no error but the sound pool's: a sound that is asked for while all its
    // buffers still sound is left out, with a row for it and a row with its name.
    const std::string log = test::LogRows();
    std::map<std::string, int> busy;
    std::string others;
    const std::string error = "<font color=\"red\"><b>Fehler</b></font><td>";
    bool named = false;
    for (std::size_t at = log.find(error); at != std::string::npos; at = log.find(error, at)) {
        at += error.size();
        const std::string row = log.substr(at, log.find('\n', at) - at);
        if (named) {
            ++busy[row];
            named = false;
        } else if (row == "Kein freier Buffer gefunden!") {
            named = true;
        } else {
            others += row + "\n";
        }
    }
    std::printf("soak: sounds left out with all their buffers busy:");
    for (const auto& [name, count] : busy) {
        std::printf(" %s %d", name.c_str(), count);
    }
    std::printf("\n");
    EXPECT_EQ(others, "");
}

} // namespace
