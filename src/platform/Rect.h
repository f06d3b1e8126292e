#pragma once

namespace platform {

// A screen rectangle in pixels: left and top inside, right and bottom outside.
struct SRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const SRect&) const = default;
};

} // namespace platform
