// What the benchmarks and the bare window agree on: its title, its editor's id, the
// page file it loads at start, and the messages that put text into its editor.
#pragma once

#include <windows.h>

namespace bench {

inline constexpr wchar_t kBareTitle[] = L"Bare Window";
// The same id as page 1's editor in the notes window.
inline constexpr int kBareEditId = 1000;
// Loaded into the editor at start when it lies beside the program, as a page file is.
inline constexpr wchar_t kBarePageFile[] = L"page1.txt";
// Builds, in the bare window's process, a page text of about wParam bytes (the
// bench's page text of page lParam, final line end dropped); not timed.
inline constexpr UINT kBarePrepareText = WM_APP + 1;
// Puts the prepared text into the editor (WM_SETTEXT) and answers when it is there.
inline constexpr UINT kBareSetText = WM_APP + 2;

}  // namespace bench
