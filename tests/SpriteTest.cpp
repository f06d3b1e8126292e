#include "engine/Sprite.h"
#include "EngineSupport.h"

#include <cmath>

namespace {

class Sprite : public test::CEngineTest {
  protected:
    Sprite() { InitDevice(); }
    // A width × height picture of one colour, with its top-left pixel opaque black and the
    // pixel beside it almost black.
    static void WritePicture(const std::filesystem::path& path, int width, int height) {
        platform::SImage image{
            width, height,
            std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), 0xFF80C040u)};
        image.pixels[0] = 0xFF000000u;
        image.pixels[1] = 0xFF010101u;
        ASSERT_TRUE(platform::SavePng(image, path.string()));
    }
    const platform::SScreenQuad& DrawnQuad() {
        EXPECT_FALSE(Draws().empty());
        return Draws().back().quads.at(0);
    }
};

void ExpectCorner(const platform::SScreenVertex& v, float x, float y) {
    EXPECT_NEAR(v.x, x, 1e-3f);
    EXPECT_NEAR(v.y, y, 1e-3f);
}

TEST_F(Sprite, ButtonHitAreaIncludesBothEdgesAndIgnoresScale) {
    WritePicture(m_DataDir / "knopf.png", 64, 32);
    CSpriteButton button;
    ASSERT_TRUE(button.Load("knopf.png", &m_Direct3D, 0xFFFFFFFFu));
    button.SetPosition(100, 50);
    for (const auto& [x, y] : {std::pair{100, 50}, {164, 82}, {130, 60}}) {
        EXPECT_TRUE(button.IsInside(x, y)) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{99, 60}, {165, 60}, {130, 49}, {130, 83}}) {
        EXPECT_FALSE(button.IsInside(x, y)) << x << "," << y;
    }
    button.SetScale(2, 2);
    EXPECT_TRUE(button.IsInside(164, 82));
    EXPECT_FALSE(button.IsInside(165, 82));
    button.Draw();
    ExpectCorner(DrawnQuad().corners[0], 100, 50);
    ExpectCorner(DrawnQuad().corners[3], 228, 114);
}

TEST_F(Sprite, BackgroundScaledToTheScreenFillsIt) {
    WritePicture(m_DataDir / "background.png", 800, 600);
    CSprite background;
    ASSERT_TRUE(background.Load("background.png", &m_Direct3D, 0));
    background.SetScale(1024.0f / 800.0f, 768.0f / 600.0f);
    background.Draw(0, 0, 0);
    ExpectCorner(DrawnQuad().corners[0], 0, 0);
    ExpectCorner(DrawnQuad().corners[3], 1024, 768);
    EXPECT_EQ(Draws().back().color, 0xFFFFFFFFu);
}

TEST_F(Sprite, QuarterTurnAboutTheScaledCentre) {
    WritePicture(m_DataDir / "zeiger.png", 40, 20);
    CSprite sprite;
    ASSERT_TRUE(sprite.Load("zeiger.png", &m_Direct3D, 0));
    sprite.SetScale(2, 2); // the centre (20, 10) becomes (40, 20)
    sprite.SetRotation(90);
    sprite.Draw(100, 100, 0);
    // 80 × 40 turned clockwise about (140, 120): the top-left corner goes to the top right.
    ExpectCorner(DrawnQuad().corners[0], 160, 80);
    ExpectCorner(DrawnQuad().corners[3], 120, 160);
}

TEST_F(Sprite, SecondScaleCompoundsOnTheCentreOnly) {
    WritePicture(m_DataDir / "p.png", 40, 20);
    CSprite sprite;
    ASSERT_TRUE(sprite.Load("p.png", &m_Direct3D, 0));
    sprite.SetScale(2, 2);
    sprite.SetScale(2, 2); // scale 2, centre (80, 40)
    sprite.SetRotation(180);
    sprite.Draw(0, 0, 0);
    // Pixel (0, 0) lands at 2·centre − 0 = (160, 80).
    ExpectCorner(DrawnQuad().corners[0], 160, 80);
}

TEST_F(Sprite, CentredIgnoresXButKeepsY) {
    WritePicture(m_DataDir / "p.png", 40, 20);
    CSprite sprite;
    ASSERT_TRUE(sprite.Load("p.png", &m_Direct3D, 0));
    sprite.Draw(5, 70, 1);
    ExpectCorner(DrawnQuad().corners[0], (640 - 40) / 2, 70);
}

TEST_F(Sprite, ColourKeyTakesOnlyTheExactColour) {
    WritePicture(m_DataDir / "p.png", 4, 4);
    CSprite sprite;
    ASSERT_TRUE(sprite.Load("p.png", &m_Direct3D, 0xFF000000u));
    sprite.Draw(0, 0, 0);
    const auto* texture = static_cast<platform::CRecordedTexture*>(Draws().back().texture0);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetImage().At(0, 0), 0x00000000u);
    EXPECT_EQ(texture->GetImage().At(1, 0), 0xFF010101u);
    EXPECT_EQ(texture->GetLevelCount(), 1);
    EXPECT_EQ(texture->GetWidth(), 4);
}

TEST_F(Sprite, PictureOnlyInStandardLoadsFromThere) {
    WritePicture(m_Dir.Path() / "Standard" / "links.png", 16, 16);
    CSprite sprite;
    EXPECT_TRUE(sprite.Load("links.png", &m_Direct3D, 0xFF000000u));
    EXPECT_EQ(sprite.GetWidth(), 16);
}

TEST_F(Sprite, FailedLoadIsReportedAndEveryDrawSaysSo) {
    CSprite sprite;
    EXPECT_FALSE(sprite.Load("fehlt.png", &m_Direct3D, 0));
    test::WriteFile(m_DataDir / "kaputt.png", "\x89PNG\r\n\x1a\nnonsense");
    EXPECT_FALSE(sprite.Load("kaputt.png", &m_Direct3D, 0));
    EXPECT_FALSE(sprite.Load("p.png", nullptr, 0));
    EXPECT_EQ(test::LogRows(),
              test::ErrorRow("Fehler beim Laden der Bildinformationen: fehlt.png") +
                  test::ErrorRow("Fehler beim Laden der Bildinformationen: kaputt.png") +
                  test::ErrorRow("CSprite hat keinen gültiger Direct3D-Zeiger!"));
    g_Log.Open();
    sprite.Draw(0, 0, 0);
    sprite.Draw(0, 0, 0);
    CSpriteButton button;
    button.Draw();
    EXPECT_TRUE(Draws().empty());
    EXPECT_EQ(test::LogRows(), test::ErrorRow("Sprite konnte nicht angezeigt werden!") +
                                   test::ErrorRow("Sprite konnte nicht angezeigt werden!") +
                                   test::ErrorRow("SpriteButton konnte nicht angezeigt werden!"));
}

TEST_F(Sprite, DeviceWithoutSpriteObjectIsReported) {
    CDirect3D failed;
    m_Window.Script().failCreateDevice = true;
    failed.Init(&m_Window);
    g_Log.Open();
    WritePicture(m_DataDir / "p.png", 4, 4);
    CSprite sprite;
    EXPECT_FALSE(sprite.Load("p.png", &failed, 0));
    EXPECT_EQ(test::LogRows(), test::ErrorRow("XSprite nicht initialisiert!"));
}

} // namespace
