#include "Layout.h"

namespace {

// The line reader's buffer holds 64 bytes: 63 characters and the terminating zero.
constexpr std::size_t kRowCharacters = 63;

} // namespace

SLayout ParseLayout(std::string_view text, int typeCount, std::size_t maxCells) {
    SLayout layout;
    std::size_t pos = 0;
    for (int row = 0; pos < text.size(); ++row) {
        std::size_t end = pos;
        while (end < text.size() && end - pos < kRowCharacters && text[end] != '\n') {
            ++end;
        }
        // A full buffer stops before the line's end, which the next read then gives alone.
        const bool lineEnd = end < text.size() && text[end] == '\n' && end - pos < kRowCharacters;
        for (std::size_t column = 0; pos + column < end; ++column) {
            const char c = text[pos + column];
            if (c == '@') {
                break;
            }
            if (c < '0' || c > '4') {
                continue;
            }
            const int type = c - '0';
            if (type >= typeCount) {
                layout.unknownType = true;
                continue;
            }
            if (layout.cells.size() >= maxCells) {
                layout.tooMany = true;
                continue;
            }
            layout.cells.push_back(SLayoutCell{type, row, static_cast<int>(column)});
        }
        pos = lineEnd ? end + 1 : end;
        layout.rows = row + 1;
    }
    return layout;
}
