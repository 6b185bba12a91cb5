// Plain geometry and handle types shared by every part of the desktop layer.
#pragma once

#include <cstdint>

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

}  // namespace plat
