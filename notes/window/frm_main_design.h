// The design of the notes window: caption, size, icon, editors and menu bar.
#pragma once

#include "platform/platform.h"
#include "platform/services/form.h"

namespace notes {

// Each page editor's size in the design, twips: what it has until the first layout
// that fits, and keeps in a window too small for the layout rule.
inline constexpr float kEditorDesignWidth = 3732;
inline constexpr float kEditorDesignHeight = 2412;

plat::FormDesign frmMainDesign();

}  // namespace notes
