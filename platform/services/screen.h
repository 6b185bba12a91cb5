// The screen: its scale and the work areas of its monitors.
#pragma once

#include "platform/services/geometry.h"

namespace plat {

class Screen {
public:
    virtual ~Screen() = default;
    // Twips per screen pixel, across and down.
    virtual float twipsPerPixelX() const = 0;
    virtual float twipsPerPixelY() const = 0;
    // Work area (screen less taskbars) of the screen nearest to `r`, twips.
    virtual Rect workAreaNearest(const Rect& r) const = 0;
};

}  // namespace plat
