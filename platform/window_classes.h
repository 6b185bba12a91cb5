// Window class names that one program registers and another looks for, kept in one
// place so that both always agree.
#pragma once

namespace plat {

// The notes program's hidden application window, to which the launcher's Close
// sends the close request (a message box of the program may carry the same title).
inline constexpr wchar_t kAppWindowClass[] = L"QuibbetsApplication";

}  // namespace plat
