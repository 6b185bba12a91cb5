// What both programs share with each other and with their resource scripts: the
// resource ids (resource scripts see only the macro; C++ code uses the constant) and
// the product's name.
#pragma once

#define QUIBBETS_ICON_ID 1

#ifndef RC_INVOKED
// The program icon (32 x 32 and 16 x 16, 16 colours); the core passes it in
// FormDesign::iconResource.
inline constexpr int kIconResource = QUIBBETS_ICON_ID;

// The application title: the title of the notes program's hidden application window
// (the launcher's Close looks for it), the caption of the programs' messages, and the
// name under which both keep their settings.
inline constexpr wchar_t kAppTitle[] = L"Quibbets";
#endif
