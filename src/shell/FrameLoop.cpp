#include "FrameLoop.h"

#include "audio/Sound.h"
#include "engine/Direct3D.h"
#include "engine/Sprite.h"
#include "game/Game.h"
#include "input/Input.h"
#include "menu/Menu.h"
#include "platform/Numeric.h"
#include "platform/Places.h"
#include "platform/Translation.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdio>
#include <string>

using platform::TruncToInt;

namespace {

// "Screenshot.bmp" beside a portable data set, replaced by each new one; else a new file in
// the player's pictures folder for each.
std::string ScreenshotPath() {
    const platform::SFilePlaces& places = FilePlaces();
    if (places.screenshotFolder.empty()) {
        return places.dataRoot + "Screenshot.bmp";
    }
    platform::MakeFolders(places.screenshotFolder);
    return platform::UniqueFilePath(places.screenshotFolder, "Zantor", ".bmp");
}

} // namespace

CFrameLoop::CFrameLoop(const SShellObjects& objects, bool showSpeed)
    : m_Objects(objects), m_bShowSpeed(showSpeed) {}

void CFrameLoop::Run() {
    while (RunPass() != EPass::Quit) {
    }
    if (m_fVolumeLineLeft > 0.0f) {
        m_Objects.sound.SaveVolumes(); // changed just before the end
    }
}

CFrameLoop::EPass CFrameLoop::RunPass() {
    m_FrameStart = m_Objects.clock.Microseconds();
    platform::SMessage message;
    if (m_Objects.window.PeekMessage(message)) {
        switch (message.kind) {
        case platform::SMessage::EKind::Quit:
            return EPass::Quit;
        case platform::SMessage::EKind::CloseRequest:
            m_iProgramState = PROGRAM_END; // the same way the menu's quit ends the program
            break;
        case platform::SMessage::EKind::Paint:
            m_bRepaint = true;
            break;
        case platform::SMessage::EKind::Other:
            break;
        }
        return EPass::Message;
    }
    RunFrame();
    return EPass::Frame;
}

void CFrameLoop::RunFrame() {
    CInput& input = m_Objects.input;
    CSound& sound = m_Objects.sound;
    CDirect3D& direct3D = m_Objects.direct3D;

    input.Update();
    sound.Update();

    // The screenshot is of this frame, kept when it is presented and saved afterwards.
    const bool screenshot = input.KeyPressed(DIK_E);
    const float d = m_fFrameTime;
    ChangeVolumes(d);

    // Play pauses by itself while the window has lost the keyboard focus or cannot be seen,
    // and stays paused until the player goes on: no ball is lost behind another window.
    if (m_iProgramState == PROGRAM_GAME &&
        (!m_Objects.window.HasFocus() || m_Objects.window.IsHidden())) {
        m_Objects.game.Pause();
    }
    if (m_iProgramState == PROGRAM_MENU) {
        m_iProgramState = m_Objects.menu.Update(d);
    } else if (m_iProgramState == PROGRAM_GAME) {
        m_iProgramState = m_Objects.game.Update(d);
    }

    bool shown = true;
    switch (ChooseDrawing()) {
    case EDrawing::Draw:
        direct3D.BeginFrame();
        m_Objects.background.Draw(0, 0, 0);
        if (m_iProgramState == PROGRAM_MENU) {
            m_Objects.menu.Render();
        } else if (m_iProgramState == PROGRAM_GAME) {
            m_Objects.game.Render();
        }
        if (m_bShowSpeed) {
            DrawSpeed();
        }
        DrawVolumeLine();
        // A paused frame may be shown again.
        shown = direct3D.EndFrame(m_bPausedDrawn || screenshot);
        break;
    case EDrawing::PresentAgain:
        shown = direct3D.PresentAgain();
        break;
    case EDrawing::Nothing:
        break;
    }
    if (screenshot) {
        const std::uint64_t before = m_Objects.clock.Microseconds();
        direct3D.Screenshot(ScreenshotPath().c_str());
        m_FrameStart += m_Objects.clock.Microseconds() - before; // saving does not count
    }
    if (!shown) {
        m_Objects.game.Release();
        m_iProgramState = PROGRAM_END;
    }
    if (m_iProgramState == PROGRAM_END) {
        m_Objects.window.Destroy();
    }

    m_FrameEnd = m_Objects.clock.Microseconds();
    if (m_iProgramState != PROGRAM_END) {
        // The wait is part of the frame: the next one's updates get the time that passed.
        const std::uint64_t due = m_FrameStart + ShortestFrame();
        if (m_FrameEnd < due) {
            m_FrameEnd = m_Objects.clock.SleepUntil(due);
        }
    }
    const std::uint64_t micros = m_FrameEnd > m_FrameStart ? m_FrameEnd - m_FrameStart : 0;
    m_fMeasuredFrameTime = static_cast<float>(static_cast<double>(micros) / 1e6);
    m_fFrameTime = std::min(m_fMeasuredFrameTime, kLongestFrame);
}

CFrameLoop::EDrawing CFrameLoop::ChooseDrawing() {
    if (m_Objects.window.IsHidden()) {
        m_bPausedDrawn = false; // drawn anew when it shows again
        return EDrawing::Nothing;
    }
    const bool paused = m_iProgramState == PROGRAM_GAME && m_Objects.game.IsPaused();
    const CInput& input = m_Objects.input;
    bool keyDown = false;
    for (int key = 0; key < 256 && !keyDown; ++key) {
        keyDown = input.IsKeyDown(key) != 0;
    }
    const bool cursorMoved =
        input.GetMouseX() != m_iDrawnMouseX || input.GetMouseY() != m_iDrawnMouseY;
    if (paused && m_bPausedDrawn && !keyDown && !cursorMoved && !m_bVolumeLineGone) {
        const bool repaint = m_bRepaint;
        m_bRepaint = false;
        return repaint ? EDrawing::PresentAgain : EDrawing::Nothing;
    }
    m_bRepaint = false;
    m_bVolumeLineGone = false;
    m_bPausedDrawn = paused;
    m_iDrawnMouseX = input.GetMouseX();
    m_iDrawnMouseY = input.GetMouseY();
    return EDrawing::Draw;
}

std::uint64_t CFrameLoop::ShortestFrame() const {
    constexpr std::uint64_t kSecond = 1000000;
    const bool paused = m_iProgramState == PROGRAM_GAME && m_Objects.game.IsPaused();
    if (paused || m_Objects.window.IsHidden()) {
        return kSecond / kIdleFrameRate;
    }
    if (!m_Objects.direct3D.IsVSync()) {
        return 0;
    }
    const int rate = m_Objects.direct3D.GetRefreshRate();
    return kSecond / static_cast<std::uint64_t>(rate > 0 ? rate : kUnknownRefreshRate);
}

void CFrameLoop::ChangeVolumes(float d) {
    const CInput& input = m_Objects.input;
    CSound& sound = m_Objects.sound;
    const bool effects = input.IsKeyDown(DIK_Q) != 0 || input.IsKeyDown(DIK_A) != 0;
    const bool music = input.IsKeyDown(DIK_W) != 0 || input.IsKeyDown(DIK_S) != 0;
    // A held key moves its volume by 1000 hundredths of a decibel a second at any frame
    // rate: each frame changes it by the whole steps its time gives, the rest of a step is
    // carried to the next frame.
    const auto steps = [d](float& carry, bool up, bool down) {
        if (up == down) {
            carry = 0.0f;
            return 0;
        }
        carry += (up ? 1000.0f : -1000.0f) * d;
        const int whole = TruncToInt(carry);
        carry -= static_cast<float>(whole);
        return whole;
    };
    const int effectSteps =
        steps(m_fEffectsCarry, input.IsKeyDown(DIK_Q) != 0, input.IsKeyDown(DIK_A) != 0);
    const int musicSteps =
        steps(m_fMusicCarry, input.IsKeyDown(DIK_W) != 0, input.IsKeyDown(DIK_S) != 0);
    if (effectSteps != 0) {
        sound.ChangeVolume(effectSteps);
    }
    if (musicSteps != 0) {
        sound.ChangeMusicVolume(musicSteps);
    }
    if (effects || music) {
        m_bMusicLine = music;
        m_fVolumeLineLeft = kVolumeLineTime;
    } else if (m_fVolumeLineLeft > 0.0f) {
        m_fVolumeLineLeft -= d;
        if (m_fVolumeLineLeft <= 0.0f) {
            // The line goes, and the volumes are kept for the next start.
            m_fVolumeLineLeft = 0.0f;
            m_bVolumeLineGone = true;
            sound.SaveVolumes();
        }
    }
}

std::string CFrameLoop::GetVolumeLine() const {
    if (m_fVolumeLineLeft <= 0.0f) {
        return {};
    }
    const CSound& sound = m_Objects.sound;
    return m_bMusicLine
               ? Tr("Musik: ") + std::to_string(VolumePercent(sound.GetMusicVolume())) + " %"
               : Tr("Effekte: ") + std::to_string(VolumePercent(sound.GetVolume())) + " %";
}

void CFrameLoop::DrawVolumeLine() {
    const std::string line = GetVolumeLine();
    if (line.empty()) {
        return;
    }
    if (!m_bVolumeColorRead) {
        m_VolumeColor = ReadIniColor("Options", "InfoTextColor");
        m_bVolumeColorRead = true;
    }
    CDirect3D& direct3D = m_Objects.direct3D;
    direct3D.WriteText(line.c_str(), 0, direct3D.GetScreenHeight() * 3 / 4, m_VolumeColor, 1);
}

void CFrameLoop::DrawSpeed() {
    // The rate shown is the one measured, stalls included. A frame measured as 0 (the first
    // frame, or one faster than the clock's resolution) has no finite rate; it counts as 0
    // rather than poisoning the average.
    m_SpeedRing[static_cast<std::size_t>(m_iSpeedIndex)] =
        m_fMeasuredFrameTime > 0.0f ? 1.0f / m_fMeasuredFrameTime : 0.0f;
    ++m_iSpeedIndex;
    if (m_iSpeedIndex == static_cast<int>(m_SpeedRing.size())) {
        m_fSpeedAverage = 0.0f;
        for (const float rate : m_SpeedRing) {
            m_fSpeedAverage = rate / 50.0f + m_fSpeedAverage;
        }
        m_iSpeedIndex = 0;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d", GetShownSpeed());
    m_Objects.direct3D.WriteText(text, m_Objects.direct3D.GetScreenWidth() - 32, 0, 0xFFFFFF00u, 0);
}

int CFrameLoop::GetShownSpeed() const {
    return TruncToInt(m_fSpeedAverage);
}
