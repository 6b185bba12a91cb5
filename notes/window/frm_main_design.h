// The design of the notes window: caption, size, icon, editors and menu bar.
#pragma once

#include "platform/platform.h"

namespace notes {

plat::FormDesign frmMainDesign();

}  // namespace notes
