// Resource ids shared by the programs' C++ code and their resource scripts.
// Resource scripts see only the macro; C++ code uses the constant.
#pragma once

#define QUIBBETS_ICON_ID 1

#ifndef RC_INVOKED
// The program icon (32 x 32 and 16 x 16, 16 colours); the core passes it in
// FormDesign::iconResource.
inline constexpr int kIconResource = QUIBBETS_ICON_ID;
#endif
