#include "EngineSupport.h"
#include "engine/XFont.h"
#include "platform/D3DXMath.h"

#include <algorithm>
#include <cmath>

namespace {

class Direct3D : public test::CEngineTest {
  protected:
    std::string ModeRows() {
        std::string rows;
        for (const int bits : {16, 32}) {
            for (const platform::SDisplayMode& mode : m_Window.Script().displayModes) {
                if (mode.bitsPerPixel == bits) {
                    rows += test::ErrorRow(
                        std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" +
                        std::to_string(bits) + " " + std::to_string(mode.refreshRate) + "Hz");
                }
            }
        }
        return test::ErrorRow("Gefundene Grafikkarte: Headless display") +
               test::ErrorRow("Die gewählte Auflösung ist nicht verfügbar! Bitte wählen sie "
                              "eine der folgenden:") +
               rows;
    }
};

// The screen rectangle of points seen through the scenes' projection on 640 × 480, from an eye
// at the origin looking along z.
TEST(ScreenBounds, HoldsThePointsSeenBeforeTheEyeAndTheWholeScreenForOneBehindIt) {
    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    D3DXMATRIX viewProjection;
    const D3DXMATRIX projection = SceneProjection(640, 480);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    platform::SRect rect;

    CScreenBounds nothing(viewProjection, 640, 480);
    EXPECT_FALSE(nothing.Get(rect));

    // A box straight ahead covers the middle; its rectangle is a pixel wider on each side.
    CScreenBounds ahead(viewProjection, 640, 480);
    ahead.AddBox({-1, -1, 10}, {1, 1, 12});
    ASSERT_TRUE(ahead.Get(rect));
    const float f = 240 / std::tan(3.1415927f / 8); // pixels per unit at distance 1
    EXPECT_EQ(rect.left, static_cast<int>(std::floor(320 - f / 10)) - 1);
    EXPECT_EQ(rect.right, static_cast<int>(std::ceil(320 + f / 10)) + 1);
    EXPECT_EQ(rect.top, static_cast<int>(std::floor(240 - f / 10)) - 1);
    EXPECT_EQ(rect.bottom, static_cast<int>(std::ceil(240 + f / 10)) + 1);

    // Partly off the screen: clipped to it. Wholly off it: nothing.
    CScreenBounds left(viewProjection, 640, 480);
    left.AddBox({-30, -1, 10}, {-1, 1, 10});
    ASSERT_TRUE(left.Get(rect));
    EXPECT_EQ(rect.left, 0);
    CScreenBounds gone(viewProjection, 640, 480);
    gone.AddBox({-60, -1, 10}, {-40, 1, 10});
    EXPECT_FALSE(gone.Get(rect));

    // A point behind the eye may reach anywhere.
    CScreenBounds behind(viewProjection, 640, 480);
    behind.AddBox({-1, -1, -1}, {1, 1, 5});
    ASSERT_TRUE(behind.Get(rect));
    EXPECT_EQ(rect, (platform::SRect{0, 0, 640, 480}));
}

TEST_F(Direct3D, MinusOneStandsForTheDefaults) {
    WriteSettings("[VideoMode]\nWidth=-1\nHeight=-1\nDepth=-1\nWindowed=-1\n");
    EXPECT_TRUE(m_Direct3D.Init(&m_Window));
    EXPECT_EQ(test::LogRows(),
              test::ErrorRow("ScrWidth set to 1024") + test::ErrorRow("ScrHeight set to 768") +
                  test::ErrorRow("ScrDepth set to 32") + test::ErrorRow("Windowed set to 0"));
    EXPECT_EQ(m_Direct3D.GetScreenWidth(), 1024);
    EXPECT_EQ(m_Direct3D.GetScreenHeight(), 768);
    EXPECT_EQ(Device().GetBackBufferWidth(), 1024);
}

TEST_F(Direct3D, ModeMatchesWhateverItsRefreshRate) {
    m_Window.Script().displayModes = {{800, 600, 32, 75}};
    WriteSettings("[VideoMode]\nWidth=800\nHeight=600\nDepth=32\nWindowed=2\n");
    EXPECT_TRUE(m_Direct3D.Init(&m_Window));
    EXPECT_EQ(test::LogRows(), "");
}

TEST_F(Direct3D, MissingWidthReportsEveryModeAndLeavesWidthZero) {
    WriteSettings("[VideoMode]\nHeight=768\nDepth=32\nWindowed=0\n");
    EXPECT_FALSE(m_Direct3D.Init(&m_Window));
    EXPECT_EQ(m_Direct3D.GetScreenWidth(), 0);
    EXPECT_EQ(m_Direct3D.GetScreenHeight(), 768);
    const std::string rows = test::LogRows();
    EXPECT_TRUE(rows.ends_with(ModeRows())) << rows;
    EXPECT_EQ(m_Direct3D.GetDevice(), nullptr);
}

TEST_F(Direct3D, DepthOtherThan16Or32ReportsTheModes) {
    WriteSettings("[VideoMode]\nWidth=1024\nHeight=768\nDepth=24\nWindowed=1\n");
    EXPECT_FALSE(m_Direct3D.Init(&m_Window));
    EXPECT_EQ(test::LogRows(), ModeRows());
}

// The display mode never changes: the picture is scaled to the whole screen, so full screen
// takes any size that fits on the desktop, as a window does; a larger one needs its mode.
TEST_F(Direct3D, FullScreenTakesAnySizeThatFitsTheDesktop) {
    WriteSettings("[VideoMode]\nWidth=1000\nHeight=700\nDepth=32\nWindowed=0\n");
    EXPECT_TRUE(m_Direct3D.Init(&m_Window));
    WriteSettings("[VideoMode]\nWidth=2000\nHeight=700\nDepth=32\nWindowed=0\n");
    CDirect3D other;
    g_Log.Open();
    EXPECT_FALSE(other.Init(&m_Window));
    EXPECT_EQ(test::LogRows(), ModeRows());
}

TEST_F(Direct3D, WindowThatFitsTheDesktopNeedsNoMode) {
    WriteSettings("[VideoMode]\nWidth=1000\nHeight=700\nDepth=16\nWindowed=1\n");
    EXPECT_TRUE(m_Direct3D.Init(&m_Window));
    WriteSettings("[VideoMode]\nWidth=2000\nHeight=700\nDepth=16\nWindowed=1\n");
    CDirect3D other;
    EXPECT_FALSE(other.Init(&m_Window));
}

TEST_F(Direct3D, FailedDeviceIsReportedInThreeRows) {
    m_Window.Script().failCreateDevice = true;
    EXPECT_FALSE(m_Direct3D.Init(&m_Window));
    EXPECT_EQ(test::LogRows(),
              test::ErrorRow("Das Gerät wurde für den Test verweigert.") +
                  test::ErrorRow("Gerät konnte nicht angelegt werden!") +
                  test::ErrorRow("Bitte testen sie ihre Grafikkarte, indem sie dxdiag "
                                 "ausführen!"));
}

TEST_F(Direct3D, NoWindowNoDevice) {
    EXPECT_FALSE(m_Direct3D.Init(nullptr));
    EXPECT_EQ(test::LogRows(),
              test::ErrorRow("Direct3D Schnittstelle konnte nicht initialisiert werden!"));
    m_Direct3D.BeginFrame();
    EXPECT_TRUE(m_Direct3D.EndFrame());
    m_Direct3D.WriteText("nichts", 0, 0, 0xFFFFFFFF, 0);
    m_Direct3D.Screenshot("Screenshot.bmp");
    EXPECT_FALSE(std::filesystem::exists("Screenshot.bmp"));
}

TEST_F(Direct3D, StartingStates) {
    InitDevice();
    EXPECT_EQ(Device().GetRenderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(Device().GetFVF(), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    EXPECT_EQ(Device().GetSamplerState(0, D3DSAMP_MINFILTER), D3DTEXF_ANISOTROPIC);
    EXPECT_EQ(Device().GetSamplerState(0, D3DSAMP_MAGFILTER), D3DTEXF_ANISOTROPIC);
    EXPECT_EQ(Device().GetSamplerState(0, D3DSAMP_MIPFILTER), D3DTEXF_ANISOTROPIC);
    EXPECT_NE(m_Direct3D.GetSprite(), nullptr);
}

TEST_F(Direct3D, FrameClearsToTheClearColourAndFarDepth) {
    InitDevice();
    m_Direct3D.SetClearColor(0xFF102030u);
    m_Direct3D.BeginFrame();
    EXPECT_TRUE(m_Direct3D.EndFrame());
    EXPECT_EQ(m_Window.Script().trace, (std::vector<std::string>{"Clear FF102030 1 0", "BeginScene",
                                                                 "EndScene", "Present"}));
    m_Window.Script().failPresent = true;
    EXPECT_FALSE(m_Direct3D.EndFrame());
}

TEST_F(Direct3D, WithRecordingOffTheDeviceKeepsItsStatesButRecordsNothing) {
    InitDevice();
    m_Window.Script().record = false;
    m_Direct3D.SetClearColor(0xFF102030u);
    m_Direct3D.BeginFrame();
    Device().SetRenderState(D3DRS_LIGHTING, 1);
    m_Direct3D.WriteText("Text", 10, 10, 0xFFFFFFFFu, 0);
    EXPECT_TRUE(m_Direct3D.EndFrame());
    EXPECT_TRUE(m_Window.Script().trace.empty());
    EXPECT_TRUE(Device().GetDraws().empty());
    EXPECT_EQ(Device().GetRenderState(D3DRS_LIGHTING), 1u);
    EXPECT_EQ(Device().ReadFrontBuffer().pixels.front(), 0xFF102030u);
    m_Window.Script().failPresent = true;
    EXPECT_FALSE(m_Direct3D.EndFrame());
}

TEST_F(Direct3D, SecondScreenshotReplacesTheFirst) {
    InitDevice();
    for (const std::uint32_t color : {0xFFFF0000u, 0xFF0000FFu}) {
        m_Direct3D.SetClearColor(color);
        m_Direct3D.BeginFrame();
        m_Direct3D.EndFrame();
        m_Direct3D.Screenshot("Screenshot.bmp");
    }
    const std::string bmp = test::ReadFile("Screenshot.bmp");
    ASSERT_GT(bmp.size(), 60u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const auto* header = reinterpret_cast<const unsigned char*>(bmp.data());
    EXPECT_EQ(header[18] | header[19] << 8, 640);
    EXPECT_EQ(header[22] | header[23] << 8, 480);
    const std::size_t pixels = header[10] | header[11] << 8;
    EXPECT_EQ(header[pixels], 0xFF);     // blue
    EXPECT_EQ(header[pixels + 2], 0x00); // red
}

// Text: the rectangles of the glyphs drawn.
class WriteText : public test::CEngineTest {
  protected:
    WriteText() {
        InitDevice();
        std::string error;
        m_Font = CXFont::Create(nullptr, "Arial:bold", 16, &error);
    }
    int Width(const char* text) {
        platform::SRect rect{0, 0, 0, 0};
        m_Font->DrawText(text, rect, DT_CALCRECT, 0);
        return rect.right;
    }
    // Left, top, right and bottom of everything drawn by the last draw.
    platform::SRect Extent() {
        const platform::SRecordedDraw& draw = Draws().back();
        platform::SRect extent{100000, 100000, -100000, -100000};
        for (const platform::SScreenQuad& quad : draw.quads) {
            extent.left = std::min(extent.left, static_cast<int>(quad.corners[0].x));
            extent.top = std::min(extent.top, static_cast<int>(quad.corners[0].y));
            extent.right = std::max(extent.right, static_cast<int>(quad.corners[3].x + 0.999f));
            extent.bottom = std::max(extent.bottom, static_cast<int>(quad.corners[3].y + 0.999f));
        }
        return extent;
    }
    std::unique_ptr<CXFont> m_Font;
};

TEST_F(WriteText, LeftAlignedLineStartsAtItsCorner) {
    m_Direct3D.WriteText("Highscore: 1234", 64, 400, 0xFFFFFF00u, 0);
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_EQ(Draws().back().color, 0xFFFFFF00u);
    const platform::SRect extent = Extent();
    EXPECT_GE(extent.left, 64);
    EXPECT_LE(extent.left, 67);
    EXPECT_GE(extent.top, 400);
    EXPECT_LE(extent.bottom, 416);
}

TEST_F(WriteText, CentredLineIsCentredWhateverX) {
    const int width = Width("Levelauswahl - Rechte Maustaste startet das Spiel");
    for (const int x : {0, 300}) {
        m_Direct3D.WriteText("Levelauswahl - Rechte Maustaste startet das Spiel", x, 0, 0xFFFFFFFFu,
                             1);
        const platform::SRect extent = Extent();
        EXPECT_GE(extent.left, (640 - width) / 2);
        EXPECT_LE(extent.left, (640 - width) / 2 + 3);
        EXPECT_LE(extent.right, (640 - width) / 2 + width);
    }
}

TEST_F(WriteText, NegativeXShowsTheEndOfTheLineAtTheLeftEdge) {
    const char* text = "Willkommen bei Zantor";
    const int width = Width(text);
    m_Direct3D.WriteText(text, -50, 100, 0xFFFFFFFFu, 0);
    const platform::SRect extent = Extent();
    EXPECT_GE(extent.left, 0);
    EXPECT_LE(extent.right, width - 50);
    EXPECT_GE(extent.right, width - 50 - 3);
}

TEST_F(WriteText, NegativeYIsDrawnAtTheTop) {
    m_Direct3D.WriteText("Oben", 10, -5, 0xFFFFFFFFu, 0);
    EXPECT_GE(Extent().top, 0);
}

TEST_F(WriteText, LinesAreSixteenPixelsApartAndCentredEachOnTheirOwn) {
    m_Direct3D.WriteText("Spiel vorbei\nn drücken um neu zu starten", 0, 240, 0xFFFFFFFFu, 1);
    const platform::SRecordedDraw& draw = Draws().back();
    float lastTop = 0;
    for (const platform::SScreenQuad& quad : draw.quads) {
        lastTop = std::max(lastTop, quad.corners[0].y);
    }
    EXPECT_GE(lastTop, 256.0f);
    EXPECT_LT(lastTop, 272.0f);
}

} // namespace
