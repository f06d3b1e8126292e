#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// One block of a level's layout: its type, its row (0 the far one) and its column.
struct SLayoutCell {
    int type = 0;
    int row = 0;
    int column = 0;
};

// What a layout file places.
struct SLayout {
    std::vector<SLayoutCell> cells; // in reading order: row by row, left to right
    int rows = 0;                   // rows read, empty ones included
    bool unknownType = false;       // a digit without a type record placed nothing
    bool tooMany = false;           // cells beyond the limit placed nothing
};

// Reads a layout as a line reader with a 64-byte buffer reads it: at most 63 characters at
// a time, up to and including the line's end, each read one row. In a row, "0" to "4" place
// a block of that type in their column, "@" ends the row, anything else leaves the cell
// empty. Types from typeCount on, and cells beyond maxCells, are left out and noted.
SLayout ParseLayout(std::string_view text, int typeCount, std::size_t maxCells);
