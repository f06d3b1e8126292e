// The real OpenGL device, drawing off screen (SDL_VIDEODRIVER=offscreen). Each test draws a
// small scene into a 640 × 480 frame and probes pixels whose colour follows from Direct3D's
// rules; the tolerances allow for rounding in the driver.
#include "TestSupport.h"
#include "engine/Direct3D.h"
#include "engine/XFont.h"
#include "platform/D3DXMath.h"
#include "platform/desktop/SdlWindow.h"
#include "settings/Log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

struct SRgb {
    int r, g, b;
};

SRgb RgbOf(std::uint32_t pixel) {
    return SRgb{static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                static_cast<int>(pixel & 0xFF)};
}

MATCHER_P2(IsNearRgb, expected, tolerance, "") {
    return std::abs(arg.r - expected.r) <= tolerance && std::abs(arg.g - expected.g) <= tolerance &&
           std::abs(arg.b - expected.b) <= tolerance;
}

void PrintTo(const SRgb& c, std::ostream* os) {
    *os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

struct SMeshVertex {
    float x, y, z, nx, ny, nz, u, v;
};

class GlDevice : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        s_Window = platform::CSdlWindow::Create("Zantor test", 640, 480, error);
        ASSERT_TRUE(s_Window) << error;
    }
    static void TearDownTestSuite() { s_Window.reset(); }

    GlDevice() {
        test::CopyTestSettings();
        g_Log.Open();
        m_Direct3D.Init(s_Window.get());
        m_pDevice = m_Direct3D.GetDevice();
    }

    void SetUp() override { ASSERT_NE(m_pDevice, nullptr); }

    // A camera at (0, 0, -10) looking at the origin, 45 degrees, the screen's aspect.
    void LookFromFront() {
        const D3DXVECTOR3 eye{0, 0, -10};
        const D3DXVECTOR3 at{0, 0, 0};
        const D3DXVECTOR3 up{0, 1, 0};
        D3DXMATRIX view;
        D3DXMATRIX projection;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 3.1415927f / 4, 640.0f / 480.0f, 1, 500);
        m_pDevice->SetTransform(D3DTS_VIEW, view);
        m_pDevice->SetTransform(D3DTS_PROJECTION, projection);
        D3DXMATRIX world;
        m_pDevice->SetTransform(D3DTS_WORLD, *D3DXMatrixIdentity(&world));
    }

    // A square of side 2·half at depth z facing the camera, wound clockwise as seen from it.
    std::unique_ptr<platform::IVertexBuffer> Square(float half, float z, bool clockwise = true) {
        const SMeshVertex v[4] = {{-half, half, z, 0, 0, -1, 0, 0},
                                  {half, half, z, 0, 0, -1, 1, 0},
                                  {-half, -half, z, 0, 0, -1, 0, 1},
                                  {half, -half, z, 0, 0, -1, 1, 1}};
        const std::uint16_t cw[6] = {0, 1, 2, 1, 3, 2};
        const std::uint16_t ccw[6] = {0, 2, 1, 1, 2, 3};
        m_pIndices = m_pDevice->CreateIndexBuffer(clockwise ? cw : ccw, 6);
        return m_pDevice->CreateVertexBuffer(v, sizeof v);
    }
    void DrawSquare(platform::IVertexBuffer* square) {
        m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
        m_pDevice->SetStreamSource(square, 0, sizeof(SMeshVertex));
        m_pDevice->SetIndices(m_pIndices.get());
        m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
    }
    platform::SImage Frame() {
        m_Direct3D.EndFrame(true);
        return m_pDevice->ReadFrontBuffer();
    }

    static std::unique_ptr<platform::CSdlWindow> s_Window;
    test::CScratchDir m_Dir;
    CDirect3D m_Direct3D;
    platform::IGraphicsDevice* m_pDevice = nullptr;
    std::unique_ptr<platform::IIndexBuffer> m_pIndices;
};

std::unique_ptr<platform::CSdlWindow> GlDevice::s_Window;

TEST_F(GlDevice, ClearFillsTheFrameAndTheScreenshotHasItsSize) {
    m_Direct3D.SetClearColor(0xFF336699u);
    m_Direct3D.BeginFrame();
    const platform::SImage frame = Frame();
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    EXPECT_THAT(RgbOf(frame.At(0, 0)), IsNearRgb(SRgb{0x33, 0x66, 0x99}, 1));
    EXPECT_THAT(RgbOf(frame.At(639, 479)), IsNearRgb(SRgb{0x33, 0x66, 0x99}, 1));
    m_Direct3D.Screenshot("Screenshot.bmp");
    const std::string bmp = test::ReadFile("Screenshot.bmp");
    ASSERT_GT(bmp.size(), 640u * 480u * 3u);
    const auto* h = reinterpret_cast<const unsigned char*>(bmp.data());
    EXPECT_EQ(h[18] | h[19] << 8, 640);
    EXPECT_EQ(h[22] | h[23] << 8, 480);
}

// While the window has the back buffer's size the frame is drawn straight into it. A frame
// kept at present is shown again exactly however often, and read back, until the next
// frame is presented.
TEST_F(GlDevice, AKeptFrameIsShownAgainAsItWasAndReadBack) {
    const auto shown = [this] { return RgbOf(m_pDevice->ReadFrontBuffer().At(320, 240)); };
    m_Direct3D.SetClearColor(0xFF20A040u);
    m_Direct3D.BeginFrame();
    ASSERT_TRUE(m_Direct3D.EndFrame(true));
    EXPECT_THAT(shown(), IsNearRgb(SRgb{0x20, 0xA0, 0x40}, 0));
    for (int again = 0; again < 3; ++again) {
        ASSERT_TRUE(m_Direct3D.PresentAgain());
        EXPECT_THAT(shown(), IsNearRgb(SRgb{0x20, 0xA0, 0x40}, 0)) << "shown again " << again;
    }
    m_Direct3D.SetClearColor(0xFF102030u);
    m_Direct3D.BeginFrame();
    ASSERT_TRUE(m_Direct3D.EndFrame());
    m_Direct3D.SetClearColor(0xFF506070u);
    m_Direct3D.BeginFrame();
    ASSERT_TRUE(m_Direct3D.EndFrame(true));
    EXPECT_THAT(shown(), IsNearRgb(SRgb{0x50, 0x60, 0x70}, 0)) << "the next kept one";
}

// The scissor rectangle (y down, right and bottom outside) limits meshes and screen quads
// while it is on; the clear fills the whole frame all the same.
TEST_F(GlDevice, TheScissorLimitsDrawsButNotTheClear) {
    m_Direct3D.SetClearColor(0xFF000000u);
    m_Direct3D.BeginFrame();
    m_pDevice->SetScissorRect(platform::SRect{100, 50, 200, 150});
    m_pDevice->SetRenderState(D3DRS_SCISSORTESTENABLE, 1);
    m_Direct3D.SetClearColor(0xFF0000FFu);
    m_Direct3D.BeginFrame(); // blue everywhere, the scissor notwithstanding
    LookFromFront();
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 0);
    auto square = Square(20, 0);
    DrawSquare(square.get());
    m_pDevice->SetScissorRect(platform::SRect{300, 300, 310, 320});
    const platform::SScreenQuad whole{
        {{0, 0, 0, 0}, {640, 0, 1, 0}, {0, 480, 0, 1}, {640, 480, 1, 1}}};
    m_pDevice->DrawScreenQuads(nullptr, &whole, 1, 0xFFFF0000u);
    m_pDevice->SetRenderState(D3DRS_SCISSORTESTENABLE, 0);
    const platform::SImage frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(100, 50)), IsNearRgb(SRgb{255, 255, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(199, 149)), IsNearRgb(SRgb{255, 255, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(99, 100)), IsNearRgb(SRgb{0, 0, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(200, 100)), IsNearRgb(SRgb{0, 0, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(150, 49)), IsNearRgb(SRgb{0, 0, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(150, 150)), IsNearRgb(SRgb{0, 0, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(305, 310)), IsNearRgb(SRgb{255, 0, 0}, 1));
    EXPECT_THAT(RgbOf(frame.At(305, 320)), IsNearRgb(SRgb{0, 0, 255}, 1));
}

TEST_F(GlDevice, ClockwiseFacesShowAndTheMirrorPassFlipsTheCulling) {
    m_Direct3D.SetClearColor(0xFF000000u);
    m_Direct3D.BeginFrame();
    LookFromFront();
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 0);
    auto front = Square(1, 0, true);
    DrawSquare(front.get());
    platform::SImage frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{255, 255, 255}, 1)) << "clockwise";

    m_Direct3D.BeginFrame();
    auto back = Square(1, 0, false);
    DrawSquare(back.get());
    frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{0, 0, 0}, 1)) << "culled";

    m_Direct3D.BeginFrame();
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    DrawSquare(back.get());
    frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{255, 255, 255}, 1)) << "cull cw";
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
}

TEST_F(GlDevice, PointLightFollowsTheFixedFunctionFormulaAtTheVertices) {
    m_Direct3D.SetClearColor(0xFF000000u);
    m_Direct3D.BeginFrame();
    LookFromFront();
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 1);
    D3DMATERIAL9 material;
    material.Diffuse = {0.75f, 0.75f, 0.75f, 1};
    material.Ambient = {0.25f, 0.25f, 0.25f, 1};
    material.Emissive = {0, 0, 0, 1};
    material.Specular = {0.25f, 0.25f, 0.25f, 1};
    material.Power = 10;
    D3DLIGHT9 light;
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Ambient = {0.2f, 0.2f, 0.2f, 1};
    light.Position = D3DXVECTOR3(0, 0, -5);
    light.Range = 1000;
    light.Attenuation1 = 0.2f;
    m_pDevice->SetMaterial(material);
    m_pDevice->SetLight(0, light);
    m_pDevice->LightEnable(0, true);
    auto square = Square(2, 0);
    DrawSquare(square.get());
    platform::SImage frame = Frame();
    // The light is computed at the corners and interpolated between them, as the
    // fixed-function pipeline lights. Every corner is at d = √33 = 5.745: attenuation
    // 1 / (0.2 d) = 0.870, N·L = 5 / d = 0.870: 0.25 × 0.2 × 0.870 + 0.75 × 0.870² = 0.612,
    // also at the centre, where a light computed there would give 0.8.
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{156, 156, 156}, 3));
    EXPECT_THAT(RgbOf(frame.At(320 + 90, 240)), IsNearRgb(SRgb{156, 156, 156}, 3));

    // The light in front of the right edge: the left corners at d = √(16 + 4 + 25) = 6.708
    // (attenuation 0.745, N·L 0.745: 0.454), the right ones at d = √29 = 5.385 (attenuation
    // 0.928, N·L 0.928: 0.693). Between them the colour runs straight from one to the other.
    light.Position = D3DXVECTOR3(2, 0, -5);
    m_Direct3D.BeginFrame();
    m_pDevice->SetLight(0, light);
    DrawSquare(square.get());
    frame = Frame();
    const int left = RgbOf(frame.At(320 - 110, 240)).r;
    const int middle = RgbOf(frame.At(320, 240)).r;
    const int right = RgbOf(frame.At(320 + 110, 240)).r;
    EXPECT_NEAR(left, 0.454 * 255, 5);
    EXPECT_NEAR(right, 0.693 * 255, 5);
    EXPECT_NEAR(middle, (left + right) / 2.0, 2);
}

TEST_F(GlDevice, OutOfRangeLightLeavesOnlyEmissive) {
    m_Direct3D.BeginFrame();
    LookFromFront();
    D3DMATERIAL9 material;
    material.Diffuse = {1, 1, 1, 1};
    material.Emissive = {0, 0.5f, 0, 1};
    D3DLIGHT9 light;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = D3DXVECTOR3(0, 0, -40);
    light.Range = 10;
    light.Attenuation0 = 1;
    m_pDevice->SetMaterial(material);
    m_pDevice->SetLight(0, light);
    m_pDevice->LightEnable(0, true);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 1);
    auto square = Square(2, 0);
    DrawSquare(square.get());
    EXPECT_THAT(RgbOf(Frame().At(320, 240)), IsNearRgb(SRgb{0, 128, 0}, 2));
}

TEST_F(GlDevice, TexturesModulateAndStageOneDarkens) {
    m_Direct3D.BeginFrame();
    LookFromFront();
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 0);
    platform::SImage red{2, 2, {0xFFFF8080u, 0xFFFF8080u, 0xFFFF8080u, 0xFFFF8080u}};
    platform::SImage grey{2, 2, {0xFF808080u, 0xFF808080u, 0xFF808080u, 0xFF808080u}};
    auto texture = m_pDevice->CreateTexture(red, {}, platform::ETextureAddress::Wrap);
    auto cracks = m_pDevice->CreateTexture(grey, {}, platform::ETextureAddress::Wrap);
    m_pDevice->SetTexture(0, texture.get());
    m_pDevice->SetTexture(1, cracks.get());
    auto square = Square(1, 0);
    DrawSquare(square.get());
    platform::SImage frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{255, 128, 128}, 2)) << "stage 1 off";

    m_Direct3D.BeginFrame();
    m_pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    DrawSquare(square.get());
    frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{128, 64, 64}, 3)) << "modulated";
    m_pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_pDevice->SetTexture(0, nullptr);
    m_pDevice->SetTexture(1, nullptr);
}

TEST_F(GlDevice, DepthHidesWhatIsBehindUnlessWritingIsOff) {
    m_Direct3D.SetClearColor(0xFF000000u);
    m_Direct3D.BeginFrame();
    LookFromFront();
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 1);
    D3DMATERIAL9 green;
    green.Emissive = {0, 1, 0, 1};
    D3DMATERIAL9 red;
    red.Emissive = {1, 0, 0, 1};
    m_pDevice->LightEnable(0, false);
    auto nearSquare = Square(1, -1);
    m_pDevice->SetMaterial(green);
    DrawSquare(nearSquare.get());
    auto farSquare = Square(2, 1);
    m_pDevice->SetMaterial(red);
    DrawSquare(farSquare.get());
    platform::SImage frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{0, 255, 0}, 1));

    m_Direct3D.BeginFrame();
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, 0);
    m_pDevice->SetMaterial(green);
    DrawSquare(nearSquare.get());
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, 1);
    m_pDevice->SetMaterial(red);
    DrawSquare(farSquare.get());
    frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{255, 0, 0}, 1));
}

TEST_F(GlDevice, OpaqueMeshesDrawnTogetherStillLieUnderWhatIsBlendedAfterThem) {
    m_Direct3D.SetClearColor(0xFF000000u);
    m_Direct3D.BeginFrame();
    LookFromFront();
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 1);
    m_pDevice->LightEnable(0, false);
    D3DMATERIAL9 green;
    green.Emissive = {0, 1, 0, 1};
    m_pDevice->SetMaterial(green);
    // Two opaque squares of one mesh, side by side: they wait and are drawn as one; the
    // mesh goes away before the frame is shown, and they are drawn before it does.
    auto square = Square(1, 0);
    D3DXMATRIX world;
    for (const float x : {-2.0f, 2.0f}) {
        m_pDevice->SetTransform(D3DTS_WORLD, *D3DXMatrixTranslation(&world, x, 0, 0));
        DrawSquare(square.get());
    }
    square.reset();
    m_pDevice->SetTransform(D3DTS_WORLD, *D3DXMatrixIdentity(&world));
    // Half-transparent red over the whole screen, drawn after them: it lies on top.
    struct SPanelVertex {
        float x, y, z, rhw;
        std::uint32_t color;
    };
    const SPanelVertex panel[4] = {{0, 0, 0, 1, 0x80FF0000u},
                                   {640, 0, 0, 1, 0x80FF0000u},
                                   {0, 480, 0, 1, 0x80FF0000u},
                                   {640, 480, 0, 1, 0x80FF0000u}};
    m_pDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    m_pDevice->SetTexture(0, nullptr);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, 0);
    m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, panel, sizeof(SPanelVertex));
    m_pDevice->SetRenderState(D3DRS_ZENABLE, 1);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    const platform::SImage frame = Frame();
    // The squares' centres, 2 units (about 116 pixels) left and right of the middle.
    EXPECT_THAT(RgbOf(frame.At(320 - 116, 240)), IsNearRgb(SRgb{128, 127, 0}, 3));
    EXPECT_THAT(RgbOf(frame.At(320 + 116, 240)), IsNearRgb(SRgb{128, 127, 0}, 3));
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{128, 0, 0}, 3)) << "between them";
}

TEST_F(GlDevice, BlendFactorPanelTintsTheSceneBlue) {
    m_Direct3D.SetClearColor(0xFFFF0000u);
    m_Direct3D.BeginFrame();
    struct SPanelVertex {
        float x, y, z, rhw;
        std::uint32_t color;
        float u, v;
    };
    const SPanelVertex panel[4] = {{40, 30, 0, 1, 0x000000FFu, 0, 0},
                                   {600, 30, 0, 1, 0x000000FFu, 0, 0},
                                   {40, 450, 0, 1, 0x000000FFu, 0, 0},
                                   {600, 450, 0, 1, 0x000000FFu, 0, 0}};
    m_pDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    m_pDevice->SetTexture(0, nullptr);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BLENDFACTOR);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVBLENDFACTOR);
    m_pDevice->SetRenderState(D3DRS_BLENDFACTOR, 0xAAAAAAAAu);
    m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, panel, sizeof(SPanelVertex));
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    const platform::SImage frame = Frame();
    // 2/3 of the panel's blue over 1/3 of the red behind it.
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{85, 0, 170}, 2));
    EXPECT_THAT(RgbOf(frame.At(20, 20)), IsNearRgb(SRgb{255, 0, 0}, 1)) << "outside";
}

TEST_F(GlDevice, SpriteIsScaledTurnedAndKeyedPixelForPixel) {
    m_Direct3D.SetClearColor(0xFF000000u);
    m_Direct3D.BeginFrame();
    // 4 × 2 pixels: the left half white, the right half opaque black (the colour key).
    platform::SImage image{4, 2, {}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            image.pixels.push_back(x < 2 ? 0xFFFFFFFFu : 0xFF000000u);
        }
    }
    platform::ApplyColorKey(image, 0xFF000000u);
    auto texture = m_pDevice->CreateTexture(image, {}, platform::ETextureAddress::Clamp);
    m_Direct3D.SetClearColor(0xFF0000FFu);
    m_Direct3D.BeginFrame();
    CXSprite* sprite = m_Direct3D.GetSprite();
    // Scaled 10 times: 40 × 20 pixels at (100, 100).
    sprite->Draw(texture.get(), {10, 10}, {20, 10}, 0, {100, 100}, 0xFFFFFFFFu);
    // Turned a quarter about its centre: 20 wide, 40 high, the white half on top.
    sprite->Draw(texture.get(), {10, 10}, {20, 10}, 3.1415927f / 2, {300, 100}, 0xFFFFFFFFu);
    const platform::SImage frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(105, 105)), IsNearRgb(SRgb{255, 255, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(135, 105)), IsNearRgb(SRgb{0, 0, 255}, 1)) << "keyed out";
    EXPECT_THAT(RgbOf(frame.At(99, 105)), IsNearRgb(SRgb{0, 0, 255}, 1)) << "left of it";
    EXPECT_THAT(RgbOf(frame.At(141, 105)), IsNearRgb(SRgb{0, 0, 255}, 1)) << "right of it";
    // The turned one: centre (320, 110), so it spans x 310..330 and y 90..130.
    EXPECT_THAT(RgbOf(frame.At(320, 95)), IsNearRgb(SRgb{255, 255, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(320, 125)), IsNearRgb(SRgb{0, 0, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(305, 110)), IsNearRgb(SRgb{0, 0, 255}, 1));
}

TEST_F(GlDevice, APictureShownTexelForPixelKeepsEveryTexelAndOneBetweenPixelsIsFiltered) {
    // Stripes of one texel: white, black, white, ...
    platform::SImage image{8, 4, {}};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            image.pixels.push_back(x % 2 == 0 ? 0xFFFFFFFFu : 0xFF000000u);
        }
    }
    auto texture = m_pDevice->CreateTexture(image, {}, platform::ETextureAddress::Clamp);
    m_Direct3D.SetClearColor(0xFF0000FFu);
    m_Direct3D.BeginFrame();
    const auto quad = [](float x, float y) {
        return platform::SScreenQuad{
            {{x, y, 0, 0}, {x + 8, y, 1, 0}, {x, y + 4, 0, 1}, {x + 8, y + 4, 1, 1}}};
    };
    const platform::SScreenQuad quads[2] = {quad(100, 100), quad(200.5f, 100)};
    m_pDevice->DrawScreenQuads(texture.get(), &quads[0], 1, 0xFFFFFFFFu);
    m_pDevice->DrawScreenQuads(texture.get(), &quads[1], 1, 0xFFFFFFFFu);
    const platform::SImage frame = Frame();
    for (int x = 0; x < 8; ++x) {
        const int level = x % 2 == 0 ? 255 : 0;
        EXPECT_THAT(RgbOf(frame.At(100 + x, 102)), IsNearRgb(SRgb{level, level, level}, 0)) << x;
    }
    // Half a pixel to the right, each pixel lies between two texels: grey.
    EXPECT_THAT(RgbOf(frame.At(203, 102)), IsNearRgb(SRgb{128, 128, 128}, 3));
}

TEST_F(GlDevice, TextWithUmlautsIsDrawnInsideItsLine) {
    m_Direct3D.SetClearColor(0xFF000000u);
    m_Direct3D.BeginFrame();
    m_Direct3D.WriteText("Größe Ärger Übermut", 100, 200, 0xFFFFFF00u, 0);
    const platform::SImage frame = Frame();
    int lit = 0;
    int outside = 0;
    for (int y = 180; y < 240; ++y) {
        for (int x = 50; x < 400; ++x) {
            const SRgb c = RgbOf(frame.At(x, y));
            if (c.r > 128) {
                (y >= 200 && y < 216 && x >= 100 ? lit : outside) += 1;
                EXPECT_LT(c.b, 40) << "yellow text";
            }
        }
    }
    EXPECT_GT(lit, 200);
    EXPECT_EQ(outside, 0);
    // The umlaut dots lie above the capital's body: the first row of the line has ink.
    bool dots = false;
    for (int x = 100; x < 400; ++x) {
        dots = dots || RgbOf(frame.At(x, 201)).r > 100 || RgbOf(frame.At(x, 202)).r > 100;
    }
    EXPECT_TRUE(dots);
}

TEST_F(GlDevice, ParticlesAreCameraFacingSquares) {
    m_Direct3D.SetClearColor(0xFF000000u);
    m_Direct3D.BeginFrame();
    LookFromFront();
    struct SParticleVertex {
        float x, y, z, u, v;
    };
    const SParticleVertex square[6] = {{-1, 1, 0, 0, 0}, {1, 1, 0, 1, 0},  {-1, -1, 0, 0, 1},
                                       {1, 1, 0, 1, 0},  {1, -1, 0, 1, 1}, {-1, -1, 0, 0, 1}};
    m_pDevice->SetRenderState(D3DRS_LIGHTING, 0);
    m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    m_pDevice->SetTexture(0, nullptr);
    m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, square, sizeof(SParticleVertex));
    const platform::SImage frame = Frame();
    EXPECT_THAT(RgbOf(frame.At(320, 240)), IsNearRgb(SRgb{255, 255, 255}, 1));
    EXPECT_THAT(RgbOf(frame.At(10, 10)), IsNearRgb(SRgb{0, 0, 0}, 1));
}

} // namespace
