// The bytes as the layout "Level1.txt" of the data directory, read by fields with five and
// with three block types from the settings.
#include "FuzzSupport.h"
#include "game/field/Blocks.h"
#include "game/field/Layout.h"

#include <algorithm>
#include <cmath>

namespace {

// What the settings say: level 1 with blocks 2 × 1 apart and its far edge at 17.
constexpr float kBlockSizeX = 2.0f;
constexpr float kBlockSizeY = 1.0f;
constexpr float kFarRow = 16.0f;
// A row is read 63 characters at a time; no layout places more blocks than this.
constexpr int kRowCells = 63;
constexpr std::size_t kMaxBlocks = 20000;

void CheckField(const CBlocks& field, std::string_view text) {
    const std::vector<SBlock>& blocks = field.GetBlocks();
    const std::vector<SBlockInfo>& types = field.GetBlockInfo();
    const auto digits = static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '4'; }));
    FUZZ_CHECK(blocks.size() <= std::min(digits, kMaxBlocks));
    int indestructible = 0;
    for (const SBlock& block : blocks) {
        FUZZ_CHECK(block.Type >= 0 && block.Type < static_cast<int>(types.size()));
        FUZZ_CHECK(block.Hitpoints == types[static_cast<std::size_t>(block.Type)].Hitpoints);
        const D3DXVECTOR3& p = block.Position;
        FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        // Cell centres: x in the row's 63 cells, z a whole row from the far one.
        const float column = (p.x - kBlockSizeX / 2) / kBlockSizeX;
        FUZZ_CHECK(column >= 0 && column < kRowCells && column == std::floor(column));
        FUZZ_CHECK(p.y == 0);
        const float row = (kFarRow - p.z) / kBlockSizeY;
        FUZZ_CHECK(row >= 0 && row <= static_cast<float>(text.size()) && row == std::floor(row));
        indestructible += block.Type == 3 ? 1 : 0;
    }
    FUZZ_CHECK(field.GetIndestructible() == indestructible);
    FUZZ_CHECK(field.IsCleared() == (static_cast<int>(blocks.size()) == indestructible));
    // The field places exactly what the layout reader finds, where it finds it.
    const SLayout layout = ParseLayout(text, static_cast<int>(types.size()), kMaxBlocks);
    FUZZ_CHECK(layout.cells.size() == blocks.size());
    for (std::size_t i = 0; i < blocks.size() && i < layout.cells.size(); ++i) {
        const SLayoutCell& cell = layout.cells[i];
        FUZZ_CHECK(blocks[i].Type == cell.type);
        FUZZ_CHECK(blocks[i].Position.x ==
                   kBlockSizeX / 2 + static_cast<float>(cell.column) * kBlockSizeX);
        FUZZ_CHECK(blocks[i].Position.z == kFarRow - static_cast<float>(cell.row) * kBlockSizeY);
        FUZZ_CHECK(cell.row < layout.rows && cell.column < kRowCells);
    }
}

struct SFields {
    SFields() {
        five.LoadBlockTypes(5);
        three.LoadBlockTypes(3);
    }
    CBlocks five;
    CBlocks three;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::CEnvironment environment;
    static SFields fields;
    const std::string_view text = fuzz::AsText(data, size);
    environment.WriteData("Level1.txt", text);
    for (CBlocks* field : {&fields.five, &fields.three}) {
        field->LoadLevel(1);
        CheckField(*field, text);
    }
    return 0;
}
