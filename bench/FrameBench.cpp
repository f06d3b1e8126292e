// zantor-bench: what a frame costs. The ceilings of the OpenGL device (an empty frame, and
// one with the full-screen background), the program's own objects in three scenes on the
// OpenGL device and on the recording device, the heap allocations per frame, and the
// start-up time and peak memory of the real program. See README.md beside this file.
#include "AllocationCounter.h"
#include "FrameStats.h"
#include "SceneRun.h"
#include "SplitWindow.h"
#include "StartupProbe.h"
#include "engine/TextureLoader.h"
#include "game/ScoreFile.h"
#include "platform/Path.h"
#include "platform/desktop/SdlWindow.h"
#include "platform/headless/HeadlessWindow.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <epoxy/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifndef ZANTOR_BENCH_GAME
#define ZANTOR_BENCH_GAME "zantor"
#endif
#ifndef ZANTOR_BENCH_LIBRARY
#define ZANTOR_BENCH_LIBRARY "libzantor-first-frame.so"
#endif

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr const char* kDataDirectory = "Bench\\";
// The bench's own level: one block right in front of the paddle, cleared by the first ball.
constexpr int kStatisticsLevel = 1;

struct SOptions {
    int frames = 3000;
    int warmup = 300;
    int startupRuns = 5;
    bool gl = true;
    bool recording = true;
    bool startup = true;
    int traceAllocations = 0;
    std::string game = ZANTOR_BENCH_GAME;
    std::string library = ZANTOR_BENCH_LIBRARY;
};

void PrintUsage() {
    std::printf(
        "usage: zantor-bench [--frames N] [--warmup N] [--short] [--device gl|recording|both]\n"
        "                    [--startup-runs N] [--no-startup] [--alloc-trace N]\n"
        "                    [--game PATH] [--first-frame-library PATH]\n"
        "  --frames N         measured frames per scene (3000)\n"
        "  --warmup N         frames before the measured ones (300)\n"
        "  --short            200 measured frames after 20, one start-up run\n"
        "  --device D         the scenes on the OpenGL device, the recording device or both;\n"
        "                     recording alone needs no display and skips the ceilings\n"
        "  --startup-runs N   starts of the real program (5)\n"
        "  --no-startup       no start-ups of the real program\n"
        "  --alloc-trace N    a backtrace on stderr for each of the first N allocations in\n"
        "                     the measured frames of every scene (or ZANTOR_BENCH_ALLOC_TRACE)\n");
}

bool ParseCount(const char* text, int minimum, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < minimum || parsed > 100000000) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool ParseOptions(int argc, char** argv, SOptions& options) {
    std::optional<int> frames;
    std::optional<int> warmup;
    std::optional<int> runs;
    bool shortRun = false;
    if (const char* trace = std::getenv("ZANTOR_BENCH_ALLOC_TRACE")) {
        if (!ParseCount(trace, 0, options.traceAllocations)) {
            std::fprintf(stderr, "zantor-bench: ZANTOR_BENCH_ALLOC_TRACE is no count: %s\n", trace);
            return false;
        }
    }
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        int number = 0;
        const auto count = [&](int minimum, std::optional<int>* into, int* plain) {
            if (value == nullptr || !ParseCount(value, minimum, number)) {
                std::fprintf(stderr, "zantor-bench: %s needs a count of at least %d\n",
                             option.c_str(), minimum);
                return false;
            }
            ++i;
            if (into != nullptr) {
                *into = number;
            } else {
                *plain = number;
            }
            return true;
        };
        if (option == "--frames") {
            if (!count(1, &frames, nullptr)) {
                return false;
            }
        } else if (option == "--warmup") {
            if (!count(0, &warmup, nullptr)) {
                return false;
            }
        } else if (option == "--startup-runs") {
            if (!count(1, &runs, nullptr)) {
                return false;
            }
        } else if (option == "--alloc-trace") {
            if (!count(0, nullptr, &options.traceAllocations)) {
                return false;
            }
        } else if (option == "--short") {
            shortRun = true;
        } else if (option == "--no-startup") {
            options.startup = false;
        } else if (option == "--device" && value != nullptr) {
            ++i;
            const std::string device = value;
            options.gl = device == "gl" || device == "both";
            options.recording = device == "recording" || device == "both";
            if (!options.gl && !options.recording) {
                std::fprintf(stderr, "zantor-bench: --device takes gl, recording or both\n");
                return false;
            }
        } else if (option == "--game" && value != nullptr) {
            options.game = argv[++i];
        } else if (option == "--first-frame-library" && value != nullptr) {
            options.library = argv[++i];
        } else if (option == "--help" || option == "-h") {
            PrintUsage();
            std::exit(0);
        } else {
            std::fprintf(stderr, "zantor-bench: unknown option %s\n", option.c_str());
            PrintUsage();
            return false;
        }
    }
    options.frames = frames.value_or(shortRun ? 200 : 3000);
    options.warmup = warmup.value_or(shortRun ? 20 : 300);
    options.startupRuns = runs.value_or(shortRun ? 1 : 5);
    return true;
}

void Progress(const char* what) {
    std::fprintf(stderr, "zantor-bench: %s\n", what);
}

int Fail(const std::string& what) {
    std::fflush(stdout);
    std::fprintf(stderr, "zantor-bench: %s\n", what.c_str());
    return 1;
}

// The number of blocks a layout file places: digits 0 to 4 before a row's '@'.
int CountBlocks(const fs::path& path) {
    std::ifstream file(path);
    int blocks = 0;
    std::string row;
    while (std::getline(file, row)) {
        for (const char c : row) {
            if (c == '@') {
                break;
            }
            blocks += c >= '0' && c <= '4' ? 1 : 0;
        }
    }
    return blocks;
}

// The level of the Standard set with the most blocks (the last of equals).
int FullestLevel(int& blocks) {
    int best = 0;
    blocks = -1;
    for (int level = 1;; ++level) {
        const fs::path path = "Standard/Level" + std::to_string(level) + ".txt";
        if (!fs::exists(path)) {
            break;
        }
        const int count = CountBlocks(path);
        if (count >= blocks) {
            blocks = count;
            best = level;
        }
    }
    return best;
}

// The bench's data directory: the progress that opens the level selection up to the level
// played, and the one-block level for the statistics. Everything else comes from Standard.
bool PrepareDataDirectory(int playLevel, std::string& error) {
    std::error_code failure;
    fs::create_directories("Bench", failure);
    if (failure) {
        error = "cannot make the data directory Bench: " + failure.message();
        return false;
    }
    fs::remove("Bench/Highscore.dat", failure);
    if (!WriteScoreFile("Bench\\Daten.dat", std::max(playLevel, kStatisticsLevel))) {
        error = "cannot write Bench/Daten.dat";
        return false;
    }
    const std::string section = "Level" + std::to_string(kStatisticsLevel);
    const float sizeX = ReadIniFloat(section.c_str(), "SizeX");
    const float sizeZ = ReadIniFloat(section.c_str(), "SizeZ");
    const float blockX = ReadIniFloat(section.c_str(), "BlockSizeX");
    const float blockZ = ReadIniFloat(section.c_str(), "BlockSizeY");
    if (!(sizeX > 0 && sizeZ > 0 && blockX > 0 && blockZ > 0)) {
        error = "the settings lack the size of " + section;
        return false;
    }
    // Row r lies at z = SizeZ - 1 - r × BlockSizeY; the paddle at z = 1. The block goes at
    // z = 2 in the middle column, over the paddle's starting place.
    const int row = static_cast<int>(std::lround((sizeZ - 1.0f - 2.0f) / blockZ));
    const int column = static_cast<int>(sizeX / 2.0f / blockX);
    std::ofstream file("Bench/" + section + ".txt", std::ios::trunc);
    for (int r = 0; r < row; ++r) {
        file << "@\n";
    }
    file << std::string(static_cast<std::size_t>(column), '.') << "0@\n";
    if (!file) {
        error = "cannot write Bench/" + section + ".txt";
        return false;
    }
    return true;
}

struct SCeilings {
    SFrameStats clear;
    SFrameStats background;
    std::string renderer;
    std::string display;
};

// The device alone: frames that only clear and present, and frames that also draw the
// background over the whole screen, as the shell's background sprite does.
bool MeasureCeilings(const SOptions& options, SCeilings& ceilings, std::string& error) {
    std::unique_ptr<platform::CSdlWindow> window =
        platform::CSdlWindow::Create("Zantor bench", kWidth, kHeight, error);
    if (!window) {
        error = "no window on a display (" + error + "); run bench/run.sh, which uses Xvfb";
        return false;
    }
    std::unique_ptr<platform::IGraphicsDevice> device =
        window->CreateDevice(platform::SPresentParameters{kWidth, kHeight, 32, true}, error);
    if (!device) {
        error = "no OpenGL device: " + error;
        return false;
    }
    ceilings.display = window->GetAdapterDescription();
    if (const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER))) {
        ceilings.renderer = renderer;
    }
    const std::string path = DataFilePath("background.png");
    platform::SImageInfo info{};
    if (!D3DXGetImageInfoFromFile(path, &info)) {
        error = "cannot read " + path;
        return false;
    }
    const std::unique_ptr<platform::ITexture> texture = D3DXCreateTextureFromFileEx(
        device.get(), path, static_cast<int>(info.width), static_cast<int>(info.height), 1,
        ETextureFilter::None, 0, platform::ETextureAddress::Clamp);
    if (!texture) {
        error = "cannot make the background's texture";
        return false;
    }
    const auto w = static_cast<float>(device->GetBackBufferWidth());
    const auto h = static_cast<float>(device->GetBackBufferHeight());
    const platform::SScreenQuad quad{{{0, 0, 0, 0}, {w, 0, 1, 0}, {0, h, 0, 1}, {w, h, 1, 1}}};

    const auto measure = [&](bool background, SFrameStats& stats) {
        stats.Reserve(options.frames);
        for (int i = -options.warmup; i < options.frames; ++i) {
            const auto start = std::chrono::steady_clock::now();
            platform::SMessage message;
            while (window->PeekMessage(message)) {
            }
            device->Clear(0xFF000000u, 1.0f, 0);
            device->BeginScene();
            if (background) {
                device->DrawScreenQuads(texture.get(), &quad, 1, 0xFFFFFFFFu);
            }
            device->EndScene();
            if (!device->Present()) {
                return false;
            }
            const auto end = std::chrono::steady_clock::now();
            if (i >= 0) {
                stats.Add(std::chrono::duration<double>(end - start).count(), 0);
            }
        }
        return true;
    };
    if (!measure(false, ceilings.clear) || !measure(true, ceilings.background)) {
        error = "the OpenGL device could not present";
        return false;
    }
    return true;
}

bool RunScenesOnGl(const SSceneSettings& settings, SSceneResults& results, std::string& error) {
    std::unique_ptr<platform::CSdlWindow> screen =
        platform::CSdlWindow::Create("Zantor bench", kWidth, kHeight, error);
    if (!screen) {
        error = "no window on a display (" + error + ")";
        return false;
    }
    platform::CHeadlessWindow script(kWidth, kHeight);
    CSplitWindow window(*screen, script);
    CSceneRun run(window, script, settings);
    if (!run.Run(results)) {
        error = run.GetError();
        return false;
    }
    return true;
}

bool RunScenesOnRecording(const SSceneSettings& settings, SSceneResults& results,
                          std::string& error) {
    platform::CHeadlessWindow window(kWidth, kHeight);
    window.Script().record = false;
    CSceneRun run(window, window, settings);
    if (!run.Run(results)) {
        error = run.GetError();
        return false;
    }
    // With recording off the device keeps nothing, however long it ran.
    const platform::CRecordingDevice* device = window.GetRecordingDevice();
    if (device == nullptr || !device->GetDraws().empty() || !window.Script().trace.empty()) {
        error = "the recording device recorded frames although recording was off";
        return false;
    }
    return true;
}

// The peak resident memory of this process so far, in KiB (VmHWM).
long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

double Percent(double part, double whole) {
    return whole > 0.0 ? 100.0 * part / whole : 0.0;
}

void PrintCeilings(const SCeilings& ceilings) {
    std::printf("\n== Ceilings of the OpenGL device ==\n");
    std::printf("renderer: %s, display: %s\n", ceilings.renderer.c_str(), ceilings.display.c_str());
    std::printf("%-34s %9s %10s %10s\n", "frame", "fps", "ms median", "ms p99");
    const auto row = [](const char* name, const SFrameStats& stats) {
        std::printf("%-34s %9.1f %10.3f %10.3f\n", name, stats.Fps(), stats.Median() * 1e3,
                    stats.Percentile(0.99) * 1e3);
    };
    row("(a) clear + present", ceilings.clear);
    row("(b) clear + background + present", ceilings.background);
}

void PrintGlScenes(const SSceneResults& results, const SCeilings* ceilings) {
    std::printf("\n== Scenes on the OpenGL device ==\n");
    std::printf("%-11s %6s %9s %10s %10s %9s %9s %13s %12s %12s\n", "scene", "frames", "fps",
                "ms median", "ms p99", "% of (b)", "% of (a)", "allocs/frame", "frames alloc",
                "draws/frame");
    const auto row = [&](const char* name, const SFrameStats& stats) {
        const double ofB =
            ceilings != nullptr ? Percent(stats.Fps(), ceilings->background.Fps()) : 0.0;
        const double ofA = ceilings != nullptr ? Percent(stats.Fps(), ceilings->clear.Fps()) : 0.0;
        std::printf("%-11s %6ld %9.1f %10.3f %10.3f %8.1f%% %8.1f%% %13.2f %12ld %12.1f\n", name,
                    stats.Frames(), stats.Fps(), stats.Median() * 1e3, stats.Percentile(0.99) * 1e3,
                    ofB, ofA, stats.AllocationsPerFrame(), stats.framesWithAllocations,
                    stats.DrawCallsPerFrame());
    };
    row("menu", results.menu);
    row("game", results.game);
    row("statistics", results.statistics);
    std::printf("(%ld frames run in all, with the warm-up and the way to each scene)\n",
                results.framesRun);
}

void PrintRecordingScenes(const SSceneResults& results) {
    std::printf("\n== Scenes on the recording device (the game's own code, no driver) ==\n");
    std::printf("%-11s %6s %10s %10s %10s %13s %12s %12s\n", "scene", "frames", "us median",
                "us p99", "us mean", "allocs/frame", "frames alloc", "calls/frame");
    const auto row = [](const char* name, const SFrameStats& stats) {
        std::printf("%-11s %6ld %10.1f %10.1f %10.1f %13.2f %12ld %12.1f\n", name, stats.Frames(),
                    stats.Median() * 1e6, stats.Percentile(0.99) * 1e6, stats.Mean() * 1e6,
                    stats.AllocationsPerFrame(), stats.framesWithAllocations,
                    stats.DrawCallsPerFrame());
    };
    row("menu", results.menu);
    row("game", results.game);
    row("statistics", results.statistics);
    std::printf("(%ld frames run in all, with the warm-up and the way to each scene)\n",
                results.framesRun);
}

void PrintPlay(const char* device, const SPlayNotes& play) {
    std::printf("%-10s %8d %10.1f %9.2f %13.1f %13zu %9ld %7d\n", device, play.restarts,
                play.meanBlocks, play.meanBalls, play.meanParticles, play.maxParticles,
                play.launches, play.topUps);
}

} // namespace

int main(int argc, char** argv) {
    bench::MarkCountingThread();
    SOptions options;
    if (!ParseOptions(argc, argv, options)) {
        return 2;
    }

    // The bench runs beside its data: the link to Standard and its own Bench folder.
    const fs::path home = fs::path(platform::ProgramPath()).parent_path();
    std::error_code failure;
    fs::current_path(home, failure);
    if (failure) {
        return Fail("cannot go to " + home.string() + ": " + failure.message());
    }
    if (!fs::exists("Standard/Zantor.ini")) {
        return Fail("no Standard data set beside the bench in " + home.string() +
                    " (a link to build/stage/Standard is made when CMake configures)");
    }
    g_Directory = kDataDirectory;
    g_Log.Open();
    int playBlocks = 0;
    const int playLevel = FullestLevel(playBlocks);
    if (playLevel < 1) {
        return Fail("the Standard data set has no levels");
    }
    std::string error;
    if (!PrepareDataDirectory(playLevel, error)) {
        return Fail(error);
    }

    SSceneSettings settings;
    settings.frames = options.frames;
    settings.warmup = options.warmup;
    settings.playLevel = playLevel;
    settings.statisticsLevel = kStatisticsLevel;
    settings.traceAllocations = options.traceAllocations;

    std::printf("Zantor frame benchmark: %d x %d, %d measured frames per scene after %d of "
                "warm-up, 16 ms of game time per frame\n",
                kWidth, kHeight, options.frames, options.warmup);
    std::printf("settings: %s; mirror images %s, ball specular %s, particles %s\n",
                platform::NativePath(SettingsFilePath()).c_str(),
                ReadIniInt("Options", "Spiegelung") == 1 ? "on" : "off",
                ReadIniInt("Options", "Ballreflexionen") == 1 ? "on" : "off",
                ReadIniInt("Options", "Partikeleffekte") == 1 ? "on" : "off");
    std::printf("game scene: level %d of Standard (%d blocks), autopilot at the mouse, 3 balls "
                "kept in play; a cleared level is entered anew\n",
                playLevel, playBlocks);
    std::fflush(stdout);

    SCeilings ceilings;
    SSceneResults gl;
    SSceneResults recording;
    if (options.gl) {
        Progress("ceilings of the OpenGL device");
        if (!MeasureCeilings(options, ceilings, error)) {
            return Fail(error);
        }
        PrintCeilings(ceilings);
        std::fflush(stdout);

        Progress("scenes on the OpenGL device");
        settings.device = "gl";
        if (!RunScenesOnGl(settings, gl, error)) {
            return Fail("scenes on the OpenGL device: " + error);
        }
        if (gl.screenWidth != kWidth || gl.screenHeight != kHeight) {
            std::printf("note: the settings ask for %d x %d, so the game drew at that size\n",
                        gl.screenWidth, gl.screenHeight);
        }
        PrintGlScenes(gl, &ceilings);
        std::fflush(stdout);
    }
    const long benchPeak = PeakResidentKiB();

    if (options.recording) {
        Progress("scenes on the recording device");
        settings.device = "recording";
        if (!RunScenesOnRecording(settings, recording, error)) {
            return Fail("scenes on the recording device: " + error);
        }
        PrintRecordingScenes(recording);
        std::fflush(stdout);
    }

    std::printf("\n== Game scene: what was in play (means over the measured frames) ==\n");
    std::printf("%-10s %8s %10s %9s %13s %13s %9s %7s\n", "device", "restarts", "blocks", "balls",
                "particles", "max particles", "launches", "top-ups");
    if (options.gl) {
        PrintPlay("gl", gl.play);
    }
    if (options.recording) {
        PrintPlay("recording", recording.play);
    }

    if (options.gl) {
        std::printf("\n== Memory of the bench ==\n");
        std::printf("peak resident memory after the OpenGL scenes (VmHWM): %.1f MiB\n",
                    static_cast<double>(benchPeak) / 1024.0);
    }
    std::fflush(stdout);

    if (options.startup) {
        Progress("start-ups of the real program");
        CStartupProbe probe(options.game, options.library, home / "startup");
        if (!probe.Prepare(home / "Standard", error)) {
            return Fail(error);
        }
        std::vector<double> seconds;
        std::vector<double> rss;
        std::string each;
        for (int run = 0; run < options.startupRuns; ++run) {
            SStartup startup;
            if (!probe.Run(startup, error)) {
                return Fail("start-up of " + options.game + ": " + error);
            }
            seconds.push_back(startup.seconds);
            rss.push_back(static_cast<double>(startup.maxRssKiB) / 1024.0);
            char text[64];
            std::snprintf(text, sizeof text, "%s%.0f ms / %.1f MiB", run > 0 ? ", " : "",
                          startup.seconds * 1e3, static_cast<double>(startup.maxRssKiB) / 1024.0);
            each += text;
        }
        std::printf("\n== Start-up of the real program (zantor Standard) ==\n");
        std::printf("%-40s %10s %10s\n", "", "median", "min");
        std::printf("%-40s %10.1f %10.1f\n", "spawn to first frame shown (ms)",
                    MedianOf(seconds) * 1e3, MinOf(seconds) * 1e3);
        std::printf("%-40s %10.1f %10.1f\n", "peak resident memory (MiB)", MedianOf(rss),
                    MinOf(rss));
        std::printf("runs: %s\n", each.c_str());
    }
    std::printf("\ndone\n");
    return 0;
}
