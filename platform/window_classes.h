// Names that one program gives its windows and another looks for, kept in one place
// so that both always agree.
#pragma once

namespace plat {

// The application title: the title of the notes program's hidden application window
// (the launcher's Close looks for it), and the caption of messages that name none.
inline constexpr wchar_t kAppTitle[] = L"Quibbets";

// The notes program's hidden application window, to which the launcher's Close
// sends the close request (a message box of the program may carry the same title).
inline constexpr wchar_t kAppWindowClass[] = L"QuibbetsApplication";

}  // namespace plat
