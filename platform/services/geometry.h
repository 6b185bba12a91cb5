// Plain geometry and handle types shared by every part of the desktop layer.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace plat {

// Geometry is in twips (1/1440 inch), held as single-precision numbers.
struct Rect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// An opaque native window handle (HWND on Windows), 0 when there is none.
using NativeHandle = std::uintptr_t;

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// Twips to whole pixels, the one rule for every part: divided by the twips per pixel
// and rounded to the nearest, halves to the even neighbour as the desktop rounds;
// clamped to the range of int, and 0 for a value that is no number.
inline int twipsToPixels(float twips, float twipsPerPixel) {
    const double pixels = std::nearbyint(static_cast<double>(twips) / static_cast<double>(twipsPerPixel));
    if (std::isnan(pixels)) {
        return 0;
    }
    if (pixels <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    if (pixels >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(pixels);
}

}  // namespace plat
