#include "FieldSupport.h"

namespace {

class Layout : public test::CFieldTest {
  protected:
    Layout() {
        InitField();
        g_Log.Open();
    }
    // (type, x, z) of every block, in list order.
    std::vector<std::tuple<int, float, float>> Placed() {
        std::vector<std::tuple<int, float, float>> placed;
        for (const SBlock& block : m_Blocks.GetBlocks()) {
            placed.emplace_back(block.Type, block.Position.x, block.Position.z);
        }
        return placed;
    }
};

using Cells = std::vector<std::tuple<int, float, float>>;

TEST_F(Layout, DigitsPlaceTheirTypesAndTheAtEndsTheRow) {
    WriteLayout(1, "01234@99\n");
    StartLevel(1);
    EXPECT_EQ(Placed(), (Cells{{0, 1, 19}, {1, 3, 19}, {2, 5, 19}, {3, 7, 19}, {4, 9, 19}}));
    EXPECT_EQ(m_Blocks.GetIndestructible(), 1);
    EXPECT_EQ(m_Blocks.GetBlocks()[1].Hitpoints, 2.0f);
}

TEST_F(Layout, RowsRunFromTheFarEdgeAndEmptyLinesAreRows) {
    WriteLayout(1, "0@\n\n...0@\n");
    StartLevel(1);
    // SizeZ 20: row 0 at z = 19; BlockSizeX 2: column 3 at x = 7.
    EXPECT_EQ(Placed(), (Cells{{0, 1, 19}, {0, 7, 17}}));
}

TEST_F(Layout, OnlyIndestructibleBlocksCountAsClearedAtOnce) {
    WriteLayout(1, ".3.3@\n");
    StartLevel(1);
    EXPECT_EQ(Placed(), (Cells{{3, 3, 19}, {3, 7, 19}}));
    EXPECT_EQ(m_Blocks.GetIndestructible(), 2);
    EXPECT_TRUE(m_Blocks.IsCleared());
}

TEST_F(Layout, LongLinesContinueAsTheNextRow) {
    std::string line(70, '.');
    line[0] = '0';
    line[62] = '1'; // the last cell of the first 63
    line[63] = '2'; // column 0 of the next row
    line[69] = '4';
    WriteLayout(1, line + "\n0");
    StartLevel(1);
    EXPECT_EQ(Placed(), (Cells{{0, 1, 19}, {1, 125, 19}, {2, 1, 18}, {4, 13, 18}, {0, 1, 17}}));
}

TEST_F(Layout, LineOfExactly63CharactersIsFollowedByAnEmptyRow) {
    WriteLayout(1, std::string(63, '.') + "\n0\n");
    StartLevel(1);
    EXPECT_EQ(Placed(), (Cells{{0, 1, 17}}));
}

TEST_F(Layout, FinalLineWithoutBreakIsARowButAFinalBreakAddsNone) {
    WriteLayout(1, "0@\n0");
    StartLevel(1);
    EXPECT_EQ(m_Blocks.GetBlocks().size(), 2u);
    WriteLayout(1, "0@\n0@\n");
    StartLevel(1);
    EXPECT_EQ(m_Blocks.GetBlocks().size(), 2u);
}

TEST_F(Layout, MissingFileGivesTheFallbackGrid) {
    m_iLevel = 5;
    m_Blocks.LoadLevel(5); // no file and no section: SizeZ 0, so z0 = -1
    ASSERT_EQ(m_Blocks.GetBlocks().size(), 28u);
    EXPECT_EQ(Placed()[0], std::make_tuple(0, 1.0f, -1.0f));
    EXPECT_EQ(Placed()[1], std::make_tuple(0, 1.0f, -3.0f));
    EXPECT_EQ(Placed()[27], std::make_tuple(0, 13.0f, -7.0f));
    for (const SBlock& block : m_Blocks.GetBlocks()) {
        EXPECT_EQ(block.Hitpoints, 1.0f);
    }
    EXPECT_NE(test::LogRows().find(test::ErrorRow("Datei konnte nicht geladen werden: "
                                                  "Standard\\Level5.txt")),
              std::string::npos);
}

TEST_F(Layout, TypesWithoutARecordPlaceNothingAndAreLoggedOnce) {
    m_Blocks.LoadBlockTypes(3);
    g_Log.Open();
    WriteLayout(1, "0123434@\n3@\n");
    StartLevel(1);
    EXPECT_EQ(Placed(), (Cells{{0, 1, 19}, {1, 3, 19}, {2, 5, 19}}));
    EXPECT_EQ(m_Blocks.GetIndestructible(), 0);
    const std::string rows = test::LogRows();
    EXPECT_EQ(rows.find("Blocktyp ohne Eintrag"), rows.rfind("Blocktyp ohne Eintrag"));
    EXPECT_NE(rows.find("Blocktyp ohne Eintrag"), std::string::npos);
}

TEST_F(Layout, TheBlockLimitIsReportedOnlyWhenBlocksAreLeftOut) {
    const std::string row = std::string(50, '0') + "\n";
    std::string full;
    for (int i = 0; i < 400; ++i) {
        full += row;
    }
    WriteLayout(1, full); // exactly 20,000 blocks: all placed
    StartLevel(1);
    EXPECT_EQ(m_Blocks.GetBlocks().size(), 20000u);
    EXPECT_EQ(test::LogRows().find("Zu viele Bl"), std::string::npos);
    WriteLayout(1, full + "00\n"); // two more: left out, and said so
    StartLevel(1);
    EXPECT_EQ(m_Blocks.GetBlocks().size(), 20000u);
    EXPECT_NE(test::LogRows().find("Zu viele Blöcke, der Rest bleibt leer: "), std::string::npos);
}

TEST_F(Layout, BlockTypesAreReadWithTheirRows) {
    g_Log.Open();
    m_Blocks.LoadBlockTypes(2);
    const std::string rows = test::LogRows();
    EXPECT_NE(rows.find("<b>Info</b></font><td>Blockinformationen laden"), std::string::npos);
    EXPECT_NE(rows.find("<td>Block1  Block1.mdl"), std::string::npos);
    EXPECT_NE(rows.find("float m_BlockInfo[i].Hitpoints=2<td>"), std::string::npos);
    EXPECT_NE(rows.find("Blockinformationen geladen"), std::string::npos);
    EXPECT_EQ(m_Blocks.GetBlockInfo()[1].SizeX, 2.0f);
}

TEST_F(Layout, SpentBlocksGoAtTheNextUpdate) {
    WriteLayout(1, "00@\n");
    StartLevel(1);
    D3DXVECTOR3 position{1, 0.5f, 18.6f};
    D3DXVECTOR3 direction{0, 0, 1};
    EXPECT_TRUE(m_Blocks.Collide(position, 0.5f, direction));
    EXPECT_EQ(m_Blocks.GetBlocks().size(), 2u);
    m_Blocks.Update(0.016f);
    EXPECT_EQ(m_Blocks.GetBlocks().size(), 1u);
    EXPECT_FALSE(m_Blocks.IsCleared());
}

} // namespace
