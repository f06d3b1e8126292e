#pragma once

#include "TestSupport.h"
#include "engine/Direct3D.h"
#include "platform/Path.h"
#include "platform/headless/HeadlessWindow.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace test {

// A graphics device on a headless window, in a scratch working directory (the data root) with
// a data directory of a name of its own and a "Standard" folder that holds the tests'
// fallback settings (640 × 480, 32 bits, in a window). Settings written with WriteSettings go
// into the data directory, where the lookup finds them first.
class CEngineTest : public ::testing::Test {
  protected:
    CEngineTest() : m_Window(640, 480) {
        std::string pattern = (m_Dir.Path() / "engine-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_SettingsDir = pattern;
        }
        const std::string name = m_SettingsDir.filename().string();
        CopyTestSettings();
        m_DataDir = m_Dir.Path() / name;
        m_SavedDirectory = g_Directory;
        g_Directory = name + "\\";
        g_Log.Open();
    }
    ~CEngineTest() override { g_Directory = m_SavedDirectory; }

    void WriteSettings(const std::string& content) {
        WriteFile(m_SettingsDir / "Zantor.ini", content);
    }
    // Starts the device; the log is started anew afterwards.
    void InitDevice() {
        ASSERT_TRUE(m_Direct3D.Init(&m_Window));
        g_Log.Open();
    }
    platform::CRecordingDevice& Device() { return *m_Window.GetRecordingDevice(); }
    const std::vector<platform::SRecordedDraw>& Draws() { return Device().GetDraws(); }

    CScratchDir m_Dir;
    std::filesystem::path m_SettingsDir; // the data directory, where its settings are
    std::filesystem::path m_DataDir;     // the same, in the working directory
    platform::CHeadlessWindow m_Window;
    CDirect3D m_Direct3D;
    std::string m_SavedDirectory;
};

inline std::string ErrorRow(const std::string& text) {
    return "\n<tr><td><font color=\"red\"><b>Fehler</b></font><td>" + text;
}

} // namespace test
