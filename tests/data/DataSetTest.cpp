// The Standard data set as the build stages it: every file loads through the game's own
// loaders without a single error row, the meshes have the sizes the play field expects, and
// every level can be cleared. Runs beside build/stage/Standard (see tests/CMakeLists.txt).
#include "TestSupport.h"
#include "audio/Sound.h"
#include "engine/Direct3D.h"
#include "engine/Model.h"
#include "engine/Sprite.h"
#include "game/field/Blocks.h"
#include "game/field/Layout.h"
#include "platform/D3DXMath.h"
#include "platform/Path.h"
#include "platform/headless/HeadlessWindow.h"
#include "settings/Log.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <fstream>

namespace {

// The game's view of the data: g_Directory "Standard\", a device on a headless window, a
// fresh log in a working directory of the test's own, which links to the staged set.
class DataSet : public ::testing::Test {
  protected:
    DataSet() : m_Window(1024, 768) {
        std::filesystem::create_directory_symlink(
            std::filesystem::path(platform::ProgramPath()).parent_path() / "Standard", "Standard");
        g_Directory = "Standard\\";
        g_Log.Open();
        m_Direct3D.Init(&m_Window);
        m_Sound.Init(&m_Window);
    }
    static std::string Rows() { return test::LogRows(); }
    static int LevelCount() {
        int n = 1;
        while (FileExists("Standard\\Level" + std::to_string(n + 1) + ".txt")) {
            ++n;
        }
        return n;
    }

    test::CScratchDir m_Dir;
    platform::CHeadlessWindow m_Window;
    CDirect3D m_Direct3D;
    CSound m_Sound;
};

TEST_F(DataSet, EverySettingIsThere) {
    for (const char* key : {"Width", "Height", "Depth", "Windowed"}) {
        ReadIniInt("VideoMode", key);
    }
    for (const char* key :
         {"ShowSpeed", "Control", "Balls", "Spiegelung", "Ballreflexionen", "Leveluebergaenge",
          "Partikeleffekte", "NumBlocks", "Intro", "Textverzoegerung"}) {
        ReadIniInt("Options", key);
    }
    ReadIniFloat("Options", "MouseSensitive");
    for (const char* key : {"SpielerTextColor", "StatistikTextColor", "HilfeTextColor",
                            "InfoTextColor", "AuswahlTextColor", "MenuTextColor"}) {
        EXPECT_EQ(ReadIniColor("Options", key) >> 24, 0xFFu) << key << " is not opaque";
    }
    for (const char* group : {"Diffuse", "Ambient", "Specular"}) {
        for (int i = 1; i <= 4; ++i) {
            ReadIniFloat("Light", (group + std::to_string(i)).c_str());
        }
    }
    EXPECT_GT(ReadIniFloat("Light", "Range"), 60.0f);
    EXPECT_EQ(ReadIniInt("Options", "NumBlocks"), 5);
    for (int type = 0; type < 5; ++type) {
        const std::string section = "Block" + std::to_string(type);
        for (const char* key : {"Hitpoints", "SizeX", "SizeY", "SizeZ"}) {
            EXPECT_GT(ReadIniFloat(section.c_str(), key), 0.0f) << section << " " << key;
        }
    }
    for (int button = 0; button < 3; ++button) {
        const std::string section = "Button" + std::to_string(button);
        for (const char* key :
             {"Time", "StartPosX", "StartPosY", "EndPosX", "EndPosY", "Rotation", "Verzoegerung"}) {
            ReadIniFloat(section.c_str(), key);
        }
    }
    for (const char* key : {"SizeZ", "BlockSizeX", "BlockSizeY"}) {
        ReadIniFloat("Level0", key);
    }
    ReadIniFloat("Level1", "PaddelSize");
    for (int n = 1; n <= LevelCount(); ++n) {
        const std::string section = "Level" + std::to_string(n);
        for (const char* key : {"Faktor", "BallSize", "BallSpeed", "BallSpeedUp", "PaddelSpeed",
                                "BlockSizeX", "BlockSizeY"}) {
            EXPECT_GT(ReadIniFloat(section.c_str(), key), 0.0f) << section << " " << key;
        }
        for (const char* key : {"SizeX", "SizeZ", "TOP"}) {
            ReadIniInt(section.c_str(), key);
        }
    }
    EXPECT_EQ(Rows(), "");
}

TEST_F(DataSet, AtLeastTwentyLevelsWithEveryBlockTypeAndOpenBoards) {
    EXPECT_GE(LevelCount(), 20);
    std::string allCells;
    int open = 0;
    for (int n = 1; n <= LevelCount(); ++n) {
        allCells += test::ReadFile("Standard/Level" + std::to_string(n) + ".txt");
        open += ReadIniInt(("Level" + std::to_string(n)).c_str(), "TOP") != 1;
    }
    for (const char type : {'0', '1', '2', '3', '4'}) {
        EXPECT_NE(allCells.find(type), std::string::npos) << "type " << type;
    }
    EXPECT_GE(open, 2);
}

// Every destructible block of every level can be reached by a ball from the paddle's side,
// going round the metal blocks, and every block lies on its board, clear of the paddle.
TEST_F(DataSet, EveryLevelCanBeCleared) {
    for (int n = 0; n <= LevelCount(); ++n) {
        const std::string section = "Level" + std::to_string(n);
        const float sizeZ = ReadIniFloat(section.c_str(), "SizeZ");
        const float blockX = ReadIniFloat(section.c_str(), "BlockSizeX");
        const float blockZ = ReadIniFloat(section.c_str(), "BlockSizeY");
        const std::string text = test::ReadFile("Standard/" + section + ".txt");
        // Written for the reader: no line longer than a row, only blocks and empty cells.
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            const std::string_view line(text.data() + start, end - start);
            EXPECT_LE(line.size(), 63u) << section;
            for (const char c : line.substr(0, line.find('@'))) {
                EXPECT_TRUE(c == '.' || (c >= '0' && c <= '4')) << section << ": " << c;
            }
            start = end + 1;
        }
        if (n == 0) {
            continue; // the menu's backdrop is only looked at
        }
        const SLayout layout = ParseLayout(text, 5, 20000);
        const float sizeX = static_cast<float>(ReadIniInt(section.c_str(), "SizeX"));
        const float halfWidth = ReadIniFloat("Block0", "SizeX") / 2;
        auto columns = static_cast<std::size_t>(sizeX / blockX);
        for (const SLayoutCell& cell : layout.cells) {
            columns = std::max(columns, static_cast<std::size_t>(cell.column) + 1);
            const float x = blockX / 2 + static_cast<float>(cell.column) * blockX;
            const float z = sizeZ - 1 - static_cast<float>(cell.row) * blockZ;
            EXPECT_GE(x - halfWidth, 0.0f) << section;
            EXPECT_LE(x + halfWidth, sizeX) << section;
            EXPECT_GE(z, sizeZ / 3) << section << ": blocks too near the paddle";
        }
        std::vector<std::string> rows(static_cast<std::size_t>(layout.rows),
                                      std::string(columns, '.'));
        for (const SLayoutCell& cell : layout.cells) {
            rows[static_cast<std::size_t>(cell.row)][static_cast<std::size_t>(cell.column)] =
                static_cast<char>('0' + cell.type);
        }
        // Flood the free cells from the row below the last, then check every block is next
        // to a reached cell.
        const std::size_t height = rows.size() + 1;
        rows.emplace_back(columns, '.');
        std::vector<std::vector<bool>> reached(height, std::vector<bool>(columns, false));
        std::deque<std::pair<std::size_t, std::size_t>> queue;
        for (std::size_t c = 0; c < columns; ++c) {
            queue.emplace_back(height - 1, c);
            reached[height - 1][c] = true;
        }
        while (!queue.empty()) {
            const auto [r, c] = queue.front();
            queue.pop_front();
            const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& step : steps) {
                const long nr = static_cast<long>(r) + step[0];
                const long nc = static_cast<long>(c) + step[1];
                if (nr < 0 || nc < 0 || nr >= static_cast<long>(height) ||
                    nc >= static_cast<long>(columns)) {
                    continue;
                }
                const auto ur = static_cast<std::size_t>(nr);
                const auto uc = static_cast<std::size_t>(nc);
                if (!reached[ur][uc] && rows[ur][uc] != '3') {
                    reached[ur][uc] = true; // destructible blocks open the way behind them
                    queue.emplace_back(ur, uc);
                }
            }
        }
        for (std::size_t r = 0; r + 1 < height; ++r) {
            for (std::size_t c = 0; c < columns; ++c) {
                if (rows[r][c] != '.' && rows[r][c] != '3') {
                    EXPECT_TRUE(reached[r][c]) << section << " row " << r << " column " << c;
                }
            }
        }
    }
}

TEST_F(DataSet, EveryLevelLoadsThroughTheBlockField) {
    CBlocks backdrop;
    backdrop.InitBackdrop(m_Direct3D.GetDevice());
    EXPECT_GT(backdrop.GetBlocks().size(), 400u); // the menu's view is full of blocks
    SGameContext links;
    CBlocks blocks;
    blocks.Init(links, m_Direct3D.GetDevice());
    for (int n = 1; n <= LevelCount(); ++n) {
        blocks.LoadLevel(n);
        EXPECT_FALSE(blocks.IsCleared()) << "level " << n;
    }
    EXPECT_EQ(Rows().find("Fehler"), std::string::npos) << Rows();
}

// From the game's first camera the whole board can be seen, the paddle at its near edge
// included, on a 4 : 3 screen.
TEST_F(DataSet, TheFirstCameraSeesEveryBoardWhole) {
    for (int n = 1; n <= LevelCount(); ++n) {
        const std::string section = "Level" + std::to_string(n);
        const auto w = static_cast<float>(ReadIniInt(section.c_str(), "SizeX"));
        const auto d = static_cast<float>(ReadIniInt(section.c_str(), "SizeZ"));
        const D3DXVECTOR3 eye{w / 2, 20, -2};
        const D3DXVECTOR3 target{w / 2, 0, d / 2};
        const D3DXVECTOR3 up{0, 1, 0};
        D3DXMATRIX view;
        D3DXMATRIX projection;
        D3DXMatrixLookAtLH(&view, &eye, &target, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 3.1415927f / 4, 4.0f / 3.0f, 1, 500);
        D3DXMATRIX camera;
        D3DXMatrixMultiply(&camera, &view, &projection);
        const float halfPaddle = ReadIniFloat("Level1", "PaddelSize") / 2;
        for (const D3DXVECTOR3& corner :
             {D3DXVECTOR3(0, 0, d), D3DXVECTOR3(w, 0, d), D3DXVECTOR3(w / 2 - halfPaddle, 0, 0.5f),
              D3DXVECTOR3(w / 2 + halfPaddle, 0, 0.5f)}) {
            D3DXVECTOR3 screen;
            D3DXVec3TransformCoord(&screen, &corner, &camera);
            EXPECT_LT(std::fabs(screen.x), 1.0f) << section;
            EXPECT_LT(std::fabs(screen.y), 1.0f) << section;
        }
    }
}

TEST_F(DataSet, EveryPictureLoads) {
    const std::vector<std::pair<const char*, std::uint32_t>> pictures = {
        {"background.png", 0},
        {"start.png", 0xFFFFFFFFu},
        {"info.png", 0xFFFFFFFFu},
        {"end.png", 0xFFFFFFFFu},
        {"zeiger.png", 0xFF000000u},
        {"links.png", 0xFF000000u},
        {"rechts.png", 0xFF000000u},
        {"sprite.png", 0},
        {"risse.png", 0},
        {"ball.png", 0},
        {"zantor.png", 0},
    };
    for (const auto& [name, key] : pictures) {
        CSprite sprite;
        EXPECT_TRUE(sprite.Load(name, &m_Direct3D, key)) << name;
        EXPECT_GT(sprite.GetWidth(), 0) << name;
    }
    EXPECT_EQ(Rows(), "");
}

// The bounds of a mesh file's vertices.
struct SBounds {
    float min[3] = {1e9f, 1e9f, 1e9f};
    float max[3] = {-1e9f, -1e9f, -1e9f};
};

SBounds BoundsOf(const std::string& bytes) {
    SBounds bounds;
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data(), 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        float p[3];
        std::memcpy(p, bytes.data() + 4 + 32 * i, 12);
        for (int k = 0; k < 3; ++k) {
            bounds.min[k] = std::min(bounds.min[k], p[k]);
            bounds.max[k] = std::max(bounds.max[k], p[k]);
        }
    }
    return bounds;
}

void ExpectBounds(const std::string& name, const SBounds& b, std::array<float, 6> expected) {
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(b.min[k], expected[static_cast<std::size_t>(k)], 1e-4f) << name << " min " << k;
        EXPECT_NEAR(b.max[k], expected[static_cast<std::size_t>(k + 3)], 1e-4f)
            << name << " max " << k;
    }
}

TEST_F(DataSet, EveryMeshLoadsWithItsTextureAndHasTheSizeThePlayFieldExpects) {
    for (const char* name : {"ball.mdl", "Board.mdl", "Board2.mdl", "paddel.mdl", "Block0.mdl",
                             "Block1.mdl", "Block2.mdl", "Block3.mdl", "Block4.mdl"}) {
        CModel model;
        model.Load(m_Direct3D.GetDevice(), name);
        EXPECT_GT(model.GetIndexCount(), 0) << name;
        EXPECT_NE(model.GetTexture(), nullptr) << name;
        EXPECT_LE(std::strlen(model.GetTextureName()), 15u) << name;
    }
    EXPECT_EQ(Rows(), "");
    ExpectBounds("ball", BoundsOf(test::ReadFile("Standard/ball.mdl")), {-1, 0, -1, 1, 2, 1});
    const SBounds board = BoundsOf(test::ReadFile("Standard/Board.mdl"));
    EXPECT_LE(board.min[0], 0.0f);
    EXPECT_GE(board.max[0], 10.0f);
    EXPECT_EQ(board.min[1], 0.0f);
    EXPECT_EQ(board.min[2], 0.0f);
    EXPECT_GT(board.max[2], 10.0f);                                           // the far wall
    EXPECT_EQ(BoundsOf(test::ReadFile("Standard/Board2.mdl")).max[2], 10.0f); // open
    const SBounds paddle = BoundsOf(test::ReadFile("Standard/paddel.mdl"));
    EXPECT_EQ(paddle.min[0], -2.0f);
    EXPECT_EQ(paddle.max[0], 2.0f);
    EXPECT_EQ(paddle.max[2], 0.0f); // the front face, where the ball bounces
    for (int type = 0; type < 5; ++type) {
        const std::string section = "Block" + std::to_string(type);
        const float x = ReadIniFloat(section.c_str(), "SizeX");
        const float y = ReadIniFloat(section.c_str(), "SizeY");
        const float z = ReadIniFloat(section.c_str(), "SizeZ");
        ExpectBounds(section, BoundsOf(test::ReadFile("Standard/" + section + ".mdl")),
                     {-x / 2, 0, 0, x / 2, y, z});
    }
}

TEST_F(DataSet, EverySoundAndTheMusicLoad) {
    for (const char* name : {"ball", "ploing", "wall", "newball", "launch", "paddel", "gameover",
                             "highscore", "next", "klick"}) {
        m_Sound.LoadSound(name, 2);
        ASSERT_NE(m_Sound.GetSound(name), nullptr);
        EXPECT_NE(m_Sound.GetSound(name)->pBuffer, nullptr) << name;
    }
    m_Sound.LoadMusic("musik");
    EXPECT_EQ(Rows(), "");
    const SMusicInfo* music = m_Sound.GetMusic("musik");
    ASSERT_TRUE(music != nullptr && music->pGraph);
    EXPECT_GE(music->pGraph->GetDuration(), 60 * 10000000LL);
}

// The characters of the longest line of a text.
std::size_t LongestLine(const std::string& text) {
    std::size_t longest = 0;
    std::size_t characters = 0;
    for (const char c : text) {
        if (c == '\n') {
            longest = std::max(longest, characters);
            characters = 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u) {
            ++characters; // not a continuation byte
        }
    }
    return std::max(longest, characters);
}

TEST_F(DataSet, HelpTextsAreUtf8AndEachHasAnEnglishOneThatFitsWhereTheGermanDid) {
    ASSERT_TRUE(FileExists("Standard\\Text1.txt"));
    for (int n = 1; n <= LevelCount(); ++n) {
        const std::string german = "Standard/Text" + std::to_string(n) + ".txt";
        if (!FileExists(german)) {
            continue;
        }
        const std::string english = "Standard/Text" + std::to_string(n) + ".en.txt";
        ASSERT_TRUE(FileExists(english)) << english;
        for (const std::string& path : {german, english}) {
            const std::string text = test::ReadFile(path);
            // Valid UTF-8 with lines the game's 255-byte line buffer holds.
            std::size_t i = 0;
            while (i < text.size()) {
                const auto c = static_cast<unsigned char>(text[i]);
                const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : -1;
                ASSERT_GE(extra, 0) << path;
                i += 1 + static_cast<std::size_t>(extra);
            }
            std::size_t lineStart = 0;
            while (lineStart < text.size()) {
                const std::size_t end = text.find('\n', lineStart);
                EXPECT_LT((end == std::string::npos ? text.size() : end) - lineStart, 120u) << path;
                lineStart = end == std::string::npos ? text.size() : end + 1;
            }
        }
        // The help panel is as wide as the German text needs.
        EXPECT_LE(LongestLine(test::ReadFile(english)), LongestLine(test::ReadFile(german)))
            << english;
    }
}

} // namespace
