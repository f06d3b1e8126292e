#include "SceneRun.h"

#include "AllocationCounter.h"
#include "BallPath.h"
#include "engine/TextureLoader.h"
#include "game/field/Random.h"
#include "platform/Image.h"
#include "platform/KeyCodes.h"
#include "settings/Settings.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

using S = CGame::EGameState;

// Every frame of a scene gets 16 ms of game time. Getting to a scene (the menu's fly-in,
// the walk through the level selection and its turns) runs on the longest frames the loop
// gives, which only shortens the waits: nothing moves on the play field then.
constexpr std::uint32_t kFrameMs = 16;
constexpr std::uint32_t kFastMs = static_cast<std::uint32_t>(CFrameLoop::kLongestFrame * 1000);
constexpr std::uint32_t kSeed = 20261208;
// The longest wait for a screen, in game time.
constexpr double kWaitSeconds = 30.0;
// The autopilot keeps this many balls in play and tops the stock up before it runs out.
constexpr int kBallsInPlay = 3;
constexpr int kLowStock = 2;
constexpr int kTopUp = 5;
// The largest random turn the autopilot gives a ball at the paddle, in mouse counts.
constexpr int kJitter = 8;

} // namespace

CSceneRun::CSceneRun(platform::IWindow& window, platform::CHeadlessWindow& script,
                     const SSceneSettings& settings)
    : m_Window(window), m_Script(script), m_Settings(settings), m_Shell(window, m_Clock),
      m_Driver(script.Script(), m_Input, [this](float) { return Frame(); }) {}

CSceneRun::~CSceneRun() = default;

bool CSceneRun::Fail(const std::string& what) {
    if (m_Error.empty()) {
        m_Error = what + " (" + Where() + ")";
    }
    return false;
}

std::string CSceneRun::Where() const {
    std::ostringstream where;
    where << m_Scene << " scene on " << m_Settings.device << ", frame " << m_lFrames
          << ", program state " << m_Loop.GetProgramState() << ", menu state " << m_Menu.GetState()
          << ", game state " << m_Game.GetGameState() << ", level " << m_Game.GetLevelnummer()
          << (m_Game.IsLevelSelect() ? " (selection)" : "");
    return where.str();
}

void CSceneRun::UseFastClock(bool fast) {
    m_iStepMs = fast ? kFastMs : kFrameMs;
    m_Clock.SetStepPerReading(std::uint64_t{m_iStepMs} * 1000);
}

bool CSceneRun::Run(SSceneResults& results) {
    const bool done = Start() && MenuScene(results.menu) && PlayScene(results.game, results.play) &&
                      StatisticsScene(results.statistics);
    results.framesRun = m_lFrames;
    results.screenWidth = m_Shell.GetDirect3D().GetScreenWidth();
    results.screenHeight = m_Shell.GetDirect3D().GetScreenHeight();
    return done;
}

// The game's start-up on the manual clock.
bool CSceneRun::Start() {
    SeedRand(kSeed);
    m_Shell.GetDirect3D().SetVSyncOverride(false); // frames as fast as they can be drawn
    if (!m_Shell.Start()) {
        return Fail("the graphics device could not be set up; log.htm says why");
    }
    UseFastClock(false);

    if (ReadIniInt("Options", "Control") != 1) {
        return Fail("the autopilot steers with the mouse, but the settings have Control != 1");
    }
    m_fSensitivity = ReadIniFloat("Options", "MouseSensitive");
    if (!(m_fSensitivity > 0.0f)) {
        return Fail("the settings have no positive MouseSensitive");
    }
    return true;
}

bool CSceneRun::Frame(SFrameStats* stats) {
    Script().audioClock += static_cast<double>(m_iStepMs) / 1000.0;
    if (stats != nullptr) {
        bench::SetTraceLabel(m_Label, m_lMeasured);
    }
    const platform::IGraphicsDevice* device = m_Shell.GetDirect3D().GetDevice();
    const std::uint64_t drawsBefore = device != nullptr ? device->GetDrawCallCount() : 0;
    const std::uint64_t before = bench::CountedAllocations();
    const auto start = std::chrono::steady_clock::now();
    if (stats != nullptr) {
        bench::BeginCounting();
    }
    CFrameLoop::EPass pass = CFrameLoop::EPass::Message;
    while (pass == CFrameLoop::EPass::Message) {
        pass = m_Shell.RunPass();
    }
    bench::EndCounting();
    const auto end = std::chrono::steady_clock::now();
    if (pass == CFrameLoop::EPass::Quit) {
        return Fail("the window was closed");
    }
    ++m_lFrames;
    if (stats != nullptr) {
        const std::uint64_t allocations = bench::CountedAllocations() - before;
        const std::uint64_t draws =
            device != nullptr ? device->GetDrawCallCount() - drawsBefore : 0;
        stats->Add(std::chrono::duration<double>(end - start).count(), allocations, draws);
        ++m_lMeasured;
    }
    if (m_Loop.GetProgramState() == PROGRAM_END) {
        return Fail("the program ended");
    }
    return true;
}

bool CSceneRun::Click(int button) {
    return m_Driver.Click(button);
}

bool CSceneRun::Tap(int key) {
    return m_Driver.Tap(key);
}

bool CSceneRun::MoveCursor(int x, int y) {
    return m_Driver.MoveCursor(x, y, 8, [&] {
        return std::abs(m_Input.GetMouseX() - x) <= 2 && std::abs(m_Input.GetMouseY() - y) <= 2;
    });
}

template <typename Condition>
bool CSceneRun::RunUntil(Condition condition, const char* what, long budget) {
    const long start = m_lFrames;
    return m_Driver.RunUntil(
               condition, [&] { return m_lFrames - start >= budget; }, 0) ||
           Fail(std::string("waited in vain for ") + what);
}

void CSceneRun::BeginMeasuring(const char* scene, SFrameStats& stats) {
    std::snprintf(m_Label, sizeof m_Label, "%s on %s", scene, m_Settings.device);
    m_lMeasured = 0;
    stats.Reserve(m_Settings.frames);
    bench::TraceAllocations(m_Settings.traceAllocations);
}

template <typename Still>
bool CSceneRun::MeasureStill(const char* scene, SFrameStats& stats, Still still, const char* lost) {
    for (int i = 0; i < m_Settings.warmup; ++i) {
        if (!Frame()) {
            return false;
        }
    }
    BeginMeasuring(scene, stats);
    for (int i = 0; i < m_Settings.frames; ++i) {
        if (!Frame(&stats)) {
            return false;
        }
        if (!still()) {
            return Fail(lost);
        }
    }
    return true;
}

bool CSceneRun::MenuScene(SFrameStats& stats) {
    m_Scene = "menu";
    UseFastClock(true);
    const long budget = static_cast<long>(kWaitSeconds * 1000.0 / kFastMs);
    const auto settled = [this] {
        if (m_Loop.GetProgramState() != PROGRAM_MENU || m_Menu.GetState() != CMenu::MENU_IDLE) {
            return false;
        }
        const std::vector<STextLine>& lines = m_Menu.GetText().GetLines();
        return std::all_of(lines.begin(), lines.end(),
                           [](const STextLine& line) { return line.fDelay <= 0.0f; });
    };
    if (!RunUntil(settled, "the idle menu with its welcome lines in place", budget)) {
        return false;
    }
    UseFastClock(false);
    return MeasureStill(
        "menu", stats,
        [this] {
            return m_Loop.GetProgramState() == PROGRAM_MENU &&
                   m_Menu.GetState() == CMenu::MENU_IDLE;
        },
        "the menu left its idle state");
}

bool CSceneRun::EnterLevel(int level) {
    UseFastClock(true);
    const long budget = static_cast<long>(kWaitSeconds * 1000.0 / kFastMs);
    const auto selecting = [this] {
        return m_Loop.GetProgramState() == PROGRAM_GAME && m_Game.IsLevelSelect() &&
               m_Game.GetGameState() == S::STATE_PLAYING;
    };
    if (!RunUntil(selecting, "the level selection", budget)) {
        return false;
    }
    // The arrows stand at the screen's edges at half its height.
    platform::SImageInfo left{};
    platform::SImageInfo right{};
    if (!D3DXGetImageInfoFromFile(DataFilePath("links.png"), &left) ||
        !D3DXGetImageInfoFromFile(DataFilePath("rechts.png"), &right)) {
        return Fail("the arrows of the level selection cannot be read");
    }
    while (m_Game.GetLevelnummer() != level) {
        const int before = m_Game.GetLevelnummer();
        const bool up = before < level;
        const int x =
            up ? m_Shell.GetDirect3D().GetScreenWidth() - static_cast<int>(right.width) / 2
               : static_cast<int>(left.width) / 2;
        const int y = m_Shell.GetDirect3D().GetScreenHeight() / 2 +
                      static_cast<int>(up ? right.height : left.height) / 2;
        if (!MoveCursor(x, y) || !Click(0)) {
            return false;
        }
        if (!RunUntil(selecting, "the next level of the selection", budget)) {
            return false;
        }
        if (m_Game.GetLevelnummer() == before) {
            return Fail("the level selection does not go on to level " + std::to_string(level) +
                        " (is Bench/Daten.dat in place?)");
        }
    }
    // Play begins on ordinary frames.
    UseFastClock(false);
    Script().mouse.lX = 0;
    Script().mouse.lY = 0;
    if (!Click(1)) {
        return false;
    }
    const auto begun = [this] {
        const auto state = m_Game.GetGameState();
        return !m_Game.IsLevelSelect() && (state == S::STATE_HELP || state == S::STATE_PLAYING);
    };
    if (!RunUntil(begun, "the level", budget)) {
        return false;
    }
    if (m_Game.GetGameState() == S::STATE_HELP && !Click(1)) {
        return false;
    }
    if (m_Game.GetGameState() != S::STATE_PLAYING || m_Game.IsLevelSelect() ||
        m_Game.GetLevelnummer() != level) {
        return Fail("level " + std::to_string(level) + " did not begin");
    }
    m_bLaunchPressed = false;
    return true;
}

void CSceneRun::TopUp(SPlayNotes& notes) {
    if (m_Game.GetPlayer().GetBalls() < kLowStock) {
        m_Game.GetPlayer().AddBalls(kTopUp);
        ++notes.topUps;
    }
}

// Launches while fewer balls than wanted are in play, stands where the next ball comes
// down, and at the contact gives the paddle a random push so that the balls spread.
void CSceneRun::Steer() {
    const CPaddel& paddle = m_Game.GetPaddel();
    const CBalls& balls = m_Game.GetBalls();
    const float px = paddle.GetPosition().x;
    const float half = paddle.GetWidth() / 2;
    const float width = m_Game.GetBoard().GetSizeX();
    const float limit = paddle.GetSpeed();
    const float dt = static_cast<float>(kFrameMs) / 1000.0f;
    const auto mouseFor = [&](float v) {
        return test::MouseCountsFor(v, dt, m_fSensitivity, limit);
    };

    const bool launch = balls.Count() < kBallsInPlay && !m_bLaunchPressed;
    Script().mouse.rgbButtons[0] = launch ? 0x80 : 0;
    m_bLaunchPressed = launch;

    const test::SContact contact = test::NextContact(m_Game);
    float target = width / 2;
    if (contact.ball >= 0) {
        target = contact.x;
    } else {
        float lowest = 1e9f;
        for (int i = 0; i < balls.Count(); ++i) {
            const D3DXVECTOR3& p = balls.Get(i).GetPosition();
            if (p.z < lowest) {
                lowest = p.z;
                target = p.x;
            }
        }
    }
    int motion = mouseFor((std::clamp(target, half, width - half) - px) / dt);
    if (contact.ball >= 0 && contact.seconds <= dt) {
        std::uniform_int_distribution<int> push(-kJitter, kJitter);
        const int pushed = motion + push(m_Rng);
        const float moved = px + test::MouseVelocity(pushed, dt, m_fSensitivity, limit) * dt;
        if (std::abs(contact.x - moved) < half * 0.9f) {
            motion = pushed;
        }
    }
    Script().mouse.lX = motion;
    Script().mouse.lY = 0;
}

bool CSceneRun::PlayScene(SFrameStats& stats, SPlayNotes& notes) {
    m_Scene = "game";
    // From the idle menu: the cursor onto the start button and a click.
    const CSpriteButton& button = m_Menu.GetButton(0);
    const int x = m_Menu.GetButtonX(0) + button.GetWidth() / 2;
    const int y = m_Menu.GetButtonY(0) + button.GetHeight() / 2;
    if (!MoveCursor(x, y)) {
        return false;
    }
    if (!button.IsInside(m_Input.GetMouseX(), m_Input.GetMouseY())) {
        return Fail("the cursor did not reach the start button");
    }
    if (!Click(0)) {
        return false;
    }
    if (m_Menu.GetState() != CMenu::MENU_STARTING) {
        return Fail("the start button did not start the game");
    }
    UseFastClock(true);
    if (!RunUntil([this] { return m_Loop.GetProgramState() == PROGRAM_GAME; }, "the game",
                  static_cast<long>(kWaitSeconds * 1000.0 / kFastMs))) {
        return false;
    }
    if (!EnterLevel(m_Settings.playLevel)) {
        return false;
    }

    BeginMeasuring("game", stats);
    double blocks = 0;
    double balls = 0;
    double particles = 0;
    int warmup = m_Settings.warmup;
    while (stats.Frames() < m_Settings.frames) {
        const auto state = m_Game.GetGameState();
        if (state == S::STATE_STATISTICS) {
            // Cleared: a new game, and the level once more.
            ++notes.restarts;
            Script().mouse = platform::SMouseState{};
            if (!Tap(DIK_N) || !EnterLevel(m_Settings.playLevel)) {
                return false;
            }
            continue;
        }
        if (state != S::STATE_PLAYING || m_Game.IsLevelSelect() ||
            m_Loop.GetProgramState() != PROGRAM_GAME) {
            return Fail("play ended");
        }
        TopUp(notes);
        Steer();
        if (m_bLaunchPressed) {
            ++notes.launches;
        }
        if (!Frame(warmup > 0 ? nullptr : &stats)) {
            return false;
        }
        if (warmup > 0) {
            --warmup;
            continue;
        }
        const std::size_t flying = m_Game.GetBlocks().GetParticles().GetParticles().size();
        blocks += static_cast<double>(m_Game.GetBlocks().GetBlocks().size());
        balls += m_Game.GetBalls().Count();
        particles += static_cast<double>(flying);
        notes.maxParticles = std::max(notes.maxParticles, flying);
    }
    const double frames = std::max(1.0, static_cast<double>(stats.Frames()));
    notes.meanBlocks = blocks / frames;
    notes.meanBalls = balls / frames;
    notes.meanParticles = particles / frames;
    Script().mouse = platform::SMouseState{};
    m_bLaunchPressed = false;
    return true;
}

bool CSceneRun::StatisticsScene(SFrameStats& stats) {
    m_Scene = "statistics";
    // A new game, and the bench's level of one block right in front of the paddle: the
    // first ball launched clears it.
    if (!Tap(DIK_N) || !EnterLevel(m_Settings.statisticsLevel)) {
        return false;
    }
    if (!Click(0)) {
        return false;
    }
    if (!RunUntil([this] { return m_Game.GetGameState() == S::STATE_STATISTICS; },
                  "the statistics of the cleared level",
                  static_cast<long>(kWaitSeconds * 1000.0 / kFrameMs))) {
        return false;
    }
    return MeasureStill(
        "statistics", stats,
        [this] {
            return m_Game.GetGameState() == S::STATE_STATISTICS &&
                   m_Loop.GetProgramState() == PROGRAM_GAME;
        },
        "the statistics panel went away");
}
