// The whole game, round after round, for hours of game time: the shell's frame loop on the
// headless window with a fixed frame time, an autopilot at the mouse, and the play field
// checked after every frame. Runs beside build/stage/Standard (see tests/CMakeLists.txt), so
// the real data set and settings are played.
//
// ZANTOR_SOAK_MINUTES=n plays at least n minutes of game time instead of two hours (for the
// sanitizer build, which is many times slower).
#include "TestSupport.h"
#include "audio/Sound.h"
#include "engine/Direct3D.h"
#include "engine/Sprite.h"
#include "game/Game.h"
#include "game/field/Random.h"
#include "input/Input.h"
#include "menu/Menu.h"
#include "platform/Clock.h"
#include "platform/HeadlessWindow.h"
#include "platform/Image.h"
#include "settings/Log.h"
#include "settings/Settings.h"
#include "shell/FrameLoop.h"

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

// 16 ms a frame; the loop reads the clock at the start and at the end of each frame.
constexpr std::uint32_t kFrameMs = 16;
constexpr float kFrameTime = static_cast<float>(kFrameMs) / 1000.0f;
constexpr double kDefaultMinutes = 120.0;
// What the autopilot may spend on one level, and the clicks and waits around it.
constexpr long kLevelBudget = static_cast<long>(30 * 60 * 1000 / kFrameMs);
constexpr long kWaitBudget = static_cast<long>(10 * 1000 / kFrameMs);
constexpr std::size_t kMaxParticles = 12 * 500;
// Heap growth between level starts that still counts as noise: the particle and vertex
// buffers keep the largest size a burst of hits has needed so far.
constexpr long kHeapNoise = 2 * 1024 * 1024;
// The stock is topped up by this many balls whenever it is empty during play.
constexpr int kHookBalls = 5;
constexpr std::uint32_t kSeed = 20261208;

double SoakMinutes() {
    if (const char* minutes = std::getenv("ZANTOR_SOAK_MINUTES")) {
        const double value = std::atof(minutes);
        if (value > 0) {
            return value;
        }
    }
    return kDefaultMinutes;
}

long HeapInUse() {
    return static_cast<long>(mallinfo2().uordblks);
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

// What one level took in one round.
struct SLevelRun {
    long frames = 0;
    int ballsLost = 0;
    int hookCalls = 0;
    bool exited = false; // ended through the open far edge, not cleared
};

class Soak : public ::testing::Test {
  protected:
    Soak()
        : m_Highscore("Standard/Highscore.dat"), m_Progress("Standard/Daten.dat"),
          m_Window(ReadIniInt("VideoMode", "Width"), ReadIniInt("VideoMode", "Height")) {}
    ~Soak() override { g_iProgramState = 0; }

    // The shell's start-up, in its order, on the headless window and the manual clock.
    void Start() {
        g_iProgramState = 0;
        SeedRand(kSeed);
        g_Directory = "Standard\\";
        g_Log.Open();
        if (const std::optional<platform::SImage> icon =
                platform::LoadPng(DataFilePath("zantor.png"))) {
            m_Window.SetIcon(*icon);
        }
        ASSERT_TRUE(m_Direct3D.Init(&m_Window));
        m_Direct3D.SetClearColor(0xFF000000u);
        m_Input.Init(&m_Window);
        m_Sound.Init(&m_Window);
        m_Game.Init(&m_Direct3D, &m_Input, &m_Sound);
        m_Menu.Init(&m_Direct3D, &m_Input, &m_Sound, &m_Game);
        m_Background.Load("background.png", &m_Direct3D, 0);
        ASSERT_GT(m_Background.GetWidth(), 0);
        ASSERT_GT(m_Background.GetHeight(), 0);
        m_Background.SetScale(
            static_cast<float>(g_iScreenWidth) / static_cast<float>(m_Background.GetWidth()),
            static_cast<float>(g_iScreenHeight) / static_cast<float>(m_Background.GetHeight()));
        m_Clock.SetStepPerReading(kFrameMs);
        m_Loop.emplace(SShellObjects{m_Window, m_Clock, m_Direct3D, m_Input, m_Sound, m_Game,
                                     m_Menu, m_Background},
                       ReadIniInt("Options", "ShowSpeed") == 1);
        m_fSensitivity = ReadIniFloat("Options", "MouseSensitive");
        ASSERT_GT(m_fSensitivity, 0.0f);
        m_iLevels = LevelCount();
        ASSERT_GE(m_iLevels, 1);
        m_Runs.resize(static_cast<std::size_t>(m_iLevels) + 1);
    }

    platform::SHeadlessScript& Script() { return m_Window.Script(); }
    double GameSeconds() const { return static_cast<double>(m_lFrames) * kFrameTime; }

    std::string Where() const {
        std::ostringstream where;
        where << "frame " << m_lFrames << ", round " << m_iRound << ", level "
              << m_Game.GetLevelnummer() << ", program state " << g_iProgramState
              << ", game state " << m_Game.GetGameState() << ", menu state " << m_Menu.GetState();
        return where.str();
    }

    // One pass of the frame loop with the input set now, then the checks.
    bool Frame() {
        if (m_Loop->RunPass() != CFrameLoop::EPass::Frame) {
            ADD_FAILURE() << "the frame loop ran no frame at " << Where();
            return false;
        }
        ++m_lFrames;
        Script().audioClock += kFrameTime;
        m_Window.GetRecordingDevice()->ClearDraws();
        Script().trace.clear();
        return Check();
    }

    // A button pressed for one frame, after a frame in which the screen sees it up (a press
    // counts only when a query saw the button released before) and before one more.
    bool Click(int button) {
        if (!Frame()) {
            return false;
        }
        Script().mouse.rgbButtons[static_cast<std::size_t>(button)] = 0x80;
        const bool down = Frame();
        Script().mouse.rgbButtons[static_cast<std::size_t>(button)] = 0;
        return down && Frame();
    }
    bool Tap(int key) {
        if (!Frame()) {
            return false;
        }
        Script().keys[static_cast<std::size_t>(key)] = 0x80;
        const bool down = Frame();
        Script().keys[static_cast<std::size_t>(key)] = 0;
        return down && Frame();
    }

    // Runs frames without input until the condition holds; false when it did not in time.
    template <typename Condition>
    bool RunUntil(Condition condition, const char* what, long budget = kWaitBudget) {
        for (long frame = 0; frame < budget; ++frame) {
            if (condition()) {
                return true;
            }
            if (!Frame()) {
                return false;
            }
        }
        if (condition()) {
            return true;
        }
        ADD_FAILURE() << "waited in vain for " << what << " at " << Where();
        return false;
    }

    // The play field after a frame.
    bool Check() {
        if (g_iProgramState != 1) {
            m_iCheckedLevel = 0;
            return true;
        }
        const int level = m_Game.GetLevelnummer();
        const std::vector<SBlock>& blocks = m_Game.GetBlocks().GetBlocks();
        const bool loaded =
            level != m_iCheckedLevel || m_Game.GetGameState() == S::STATE_TURNING_IN;
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
            ++m_iGrowOverhangs;
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
            // only in the next frame (the board reports one wall a frame): until then its
            // centre may stand beyond the side by what it moved in this frame.
            const bool corner = !m_bOpenFar && p.z >= sizeZ - ball.GetRadius() - 1e-4f &&
                                outside <= ball.GetSpeed() * kFrameTime + 1e-4f;
            if (outside > 0 && corner && p.z <= sizeZ) {
                ++m_iCornerExcursions;
            } else if (outside > 0 || p.z > sizeZ) {
                ADD_FAILURE() << "ball " << i << " at (" << p.x << ", " << p.z
                              << ") is off the board of " << sizeX << " × " << sizeZ
                              << " (direction " << ball.GetDirection().x << ", "
                              << ball.GetDirection().z << ", speed " << ball.GetSpeed()
                              << ") at " << Where();
                return false;
            }
        }
        return true;
    }

    // The x of a ball of radius r after travelling by dx along x, with the side walls turning
    // it back.
    static float Fold(float x, float r, float width) {
        const float span = width - 2 * r;
        if (span <= 0) {
            return width / 2;
        }
        float u = std::fmod(x - r, 2 * span);
        if (u < 0) {
            u += 2 * span;
        }
        return r + (u > span ? 2 * span - u : u);
    }

    // Where and in how many frames a ball that comes towards the paddle reaches it.
    struct SContact {
        int ball = -1;
        long frames = 0;
        float x = 0;
    };
    SContact NextContact() {
        const CBalls& balls = m_Game.GetBalls();
        const float pz = m_Game.GetPaddel().GetPosition().z;
        const float width = m_Game.GetBoard().GetSizeX();
        SContact best;
        for (int i = 0; i < balls.Count(); ++i) {
            const CBall& ball = balls.Get(i);
            const D3DXVECTOR3& p = ball.GetPosition();
            const D3DXVECTOR3& d = ball.GetDirection();
            const float step = ball.GetSpeed() * kFrameTime;
            if (d.z >= 0 || step <= 0) {
                continue;
            }
            const float r = ball.GetRadius();
            const float above = p.z - (pz + r);
            const long frames = above <= 0 ? 1 : static_cast<long>(std::ceil(above / (-d.z * step)));
            if (best.ball < 0 || frames < best.frames) {
                best.ball = i;
                best.frames = std::max(frames, 1L);
                best.x = Fold(p.x + d.x * step * static_cast<float>(best.frames), r, width);
            }
        }
        return best;
    }

    // A new block to aim at: any one that can be destroyed.
    void ChooseTarget() {
        const std::vector<SBlock>& blocks = m_Game.GetBlocks().GetBlocks();
        std::vector<const SBlock*> candidates;
        for (const SBlock& block : blocks) {
            if (block.Type != 3 && block.Hitpoints > 0) {
                candidates.push_back(&block);
            }
        }
        if (candidates.empty()) {
            m_vTarget = D3DXVECTOR3(m_Game.GetBoard().GetSizeX() / 2, 0,
                                    m_Game.GetBoard().GetSizeZ());
            return;
        }
        std::uniform_int_distribution<std::size_t> pick(0, candidates.size() - 1);
        m_vTarget = candidates[pick(m_Rng)]->Position;
    }

    // The paddle's velocity at the moment of contact that sends the ball from x towards the
    // target: the paddle's motion bends the ball's x direction by a tenth of it.
    float AimVelocity(const SContact& contact) {
        const CBall& ball = m_Game.GetBalls().Get(contact.ball);
        const D3DXVECTOR3& d = ball.GetDirection();
        const float pz = m_Game.GetPaddel().GetPosition().z + ball.GetRadius();
        const float slope =
            std::clamp((m_vTarget.x - contact.x) / std::max(m_vTarget.z - pz, 1.0f), -1.2f, 1.2f);
        // After damping over the frame the paddle moves at 0.2^dt of the velocity set.
        return (d.x - slope * -d.z) / 0.1f / std::pow(0.2f, kFrameTime);
    }

    // The mouse motion that gives the paddle the velocity v within the level's limit.
    int MouseFor(float v) {
        const float limit = m_Game.GetPaddel().GetSpeed();
        return static_cast<int>(std::lround(std::clamp(v, -limit, limit) / m_fSensitivity));
    }

    // The autopilot's input for the next frame: launch when nothing is in play, stand where
    // the next ball comes down, and at the contact move so that it leaves towards a block.
    void Steer(bool letGo) {
        const CPaddel& paddle = m_Game.GetPaddel();
        const CBalls& balls = m_Game.GetBalls();
        const float px = paddle.GetPosition().x;
        const float half = paddle.GetWidth() / 2;
        const float width = m_Game.GetBoard().GetSizeX();

        const bool launch = balls.Count() == 0 && !m_bLaunchPressed;
        Script().mouse.rgbButtons[0] = launch ? 0x80 : 0;
        m_bLaunchPressed = launch;

        const SContact contact = NextContact();
        float v = 0;
        if (letGo) {
            // Away from where the ball comes down.
            const float x = contact.ball >= 0 ? contact.x
                            : balls.Count() > 0 ? balls.Get(0).GetPosition().x
                                                : width / 2;
            const float away = x < width / 2 ? width - half : half;
            v = (away - px) / kFrameTime;
        } else if (contact.ball < 0) {
            // Nothing comes down: wait under the lowest ball.
            float target = width / 2;
            float lowest = 1e9f;
            for (int i = 0; i < balls.Count(); ++i) {
                const D3DXVECTOR3& p = balls.Get(i).GetPosition();
                if (p.z < lowest) {
                    lowest = p.z;
                    target = p.x;
                }
            }
            v = (std::clamp(target, half, width - half) - px) / kFrameTime;
        } else {
            const float aim = AimVelocity(contact);
            if (contact.frames <= 1) {
                // The contact is in this frame: move as aimed if the paddle stays under the
                // ball, else straight under it.
                const float limit = paddle.GetSpeed();
                const float moved = px + std::clamp(aim, -limit, limit) * kFrameTime;
                v = std::abs(contact.x - moved) < half * 0.8f ? aim
                                                               : (contact.x - px) / kFrameTime;
                m_bAimed = true;
            } else {
                if (m_bAimed) {
                    ChooseTarget();
                    m_bAimed = false;
                }
                // Stand so that the aimed motion in the contact frame ends under the ball.
                const float limit = paddle.GetSpeed();
                const float stand = std::clamp(
                    contact.x - std::clamp(aim, -limit, limit) * kFrameTime, half, width - half);
                v = (stand - px) / kFrameTime;
            }
        }
        Script().mouse.lX = MouseFor(v);
    }

    void Sample() {
        m_Heap.push_back(HeapInUse());
        m_Descriptors.push_back(OpenDescriptors());
    }

    // One level from its first frame of play until its statistics; false on a failure.
    bool PlayLevel(int level) {
        SLevelRun& run = m_Runs[static_cast<std::size_t>(level)].emplace_back();
        m_bAimed = true; // a fresh target for the first ball
        const long start = m_lFrames;
        float shake = m_Game.GetShake();
        while (m_Game.GetGameState() == S::STATE_PLAYING && !m_Game.IsLevelSelect()) {
            if (m_lFrames - start >= kLevelBudget) {
                ADD_FAILURE() << "level " << level << " not cleared within " << kLevelBudget
                              << " frames (" << m_Game.GetBlocks().GetBlocks().size()
                              << " blocks left) at " << Where();
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
            // A lost ball shakes the camera anew.
            if (m_Game.GetShake() > shake) {
                ++run.ballsLost;
            }
            shake = m_Game.GetShake();
        }
        Script().mouse.rgbButtons[0] = 0;
        Script().mouse.lX = 0;
        m_bLaunchPressed = false;
        run.frames = m_lFrames - start;
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
        if (g_iProgramState != 0) {
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
        for (int move = 0; move < 4 && !button.IsInside(m_Input.GetMouseX(), m_Input.GetMouseY());
             ++move) {
            Script().mouse.lX = static_cast<int>(std::lround((x - m_Input.GetMouseX()) / 1.5));
            Script().mouse.lY = static_cast<int>(std::lround((y - m_Input.GetMouseY()) / 1.5));
            if (!Frame()) {
                return false;
            }
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
        if (!RunUntil([] { return g_iProgramState == 1; }, "the game")) {
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
        const long start = m_lFrames;
        while (m_Game.GetGameState() != S::STATE_GAME_OVER &&
               m_Game.GetGameState() != S::STATE_HIGHSCORE) {
            if (m_lFrames - start >= kLevelBudget) {
                ADD_FAILURE() << "no game over within " << kLevelBudget << " frames at "
                              << Where();
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

        // Esc leads back to the menu, which stands idle with its buttons at their ends.
        if (!Tap(DIK_ESCAPE)) {
            return false;
        }
        if (g_iProgramState != 0 || m_Menu.GetState() != CMenu::MENU_IDLE ||
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
    CDirect3D m_Direct3D;
    CInput m_Input;
    CSound m_Sound;
    CGame m_Game;
    CMenu m_Menu;
    CSprite m_Background;
    std::optional<CFrameLoop> m_Loop;

    float m_fSensitivity = 1.0f;
    int m_iLevels = 0;
    int m_iRound = 0;
    long m_lFrames = 0;
    long m_lChecks = 0;
    int m_iLevelsCleared = 0;
    int m_iHookCalls = 0;
    std::size_t m_MaxParticles = 0;
    std::vector<std::vector<SLevelRun>> m_Runs; // by level, one entry per round
    std::vector<long> m_Heap;
    std::vector<int> m_Descriptors;

    // The checks' memory of the level.
    int m_iCheckedLevel = 0;
    std::size_t m_Blocks = 0;
    bool m_bOpenFar = false;
    float m_fPaddleHalf = 0;
    int m_iGrowOverhangs = 0;
    int m_iCornerExcursions = 0;

    // The autopilot's.
    std::mt19937 m_Rng{kSeed};
    D3DXVECTOR3 m_vTarget;
    bool m_bAimed = true;
    bool m_bLaunchPressed = false;
};

TEST_F(Soak, WholeGamesForHoursOfGameTime) {
    const auto wallStart = std::chrono::steady_clock::now();
    ASSERT_NO_FATAL_FAILURE(Start());
    const double target = SoakMinutes() * 60.0;
    while (GameSeconds() < target) {
        ASSERT_TRUE(PlayRound());
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    std::printf("soak: %.1f minutes of game time in %ld frames of %u ms, %d rounds, %.1f s\n",
                GameSeconds() / 60, m_lFrames, kFrameMs, m_iRound, wall);
    std::printf("soak: %ld invariant checks, %d levels cleared, %d top-ups of %d balls, "
                "at most %zu particles\n",
                m_lChecks, m_iLevelsCleared, m_iHookCalls, kHookBalls, m_MaxParticles);
    std::printf("soak: %d frames with a paddle grown over the side, %d with a ball beyond a "
                "side in a far corner\n",
                m_iGrowOverhangs, m_iCornerExcursions);
    for (int level = 1; level <= m_iLevels; ++level) {
        std::printf("soak: level %2d:", level);
        for (const SLevelRun& run : m_Runs[static_cast<std::size_t>(level)]) {
            std::printf(" %6.1f s%s %d/%d", static_cast<double>(run.frames) * kFrameTime,
                        run.exited ? " exit" : "", run.ballsLost, run.hookCalls);
        }
        std::printf("\n");
    }
    std::printf("soak: heap at level starts:");
    for (const long heap : m_Heap) {
        std::printf(" %ld", heap);
    }
    std::printf("\nsoak: descriptors at level starts:");
    for (const int fds : m_Descriptors) {
        std::printf(" %d", fds);
    }
    std::printf("\n");
}

} // namespace
