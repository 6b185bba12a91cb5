// The notes window seen from outside: caption, menu bar, the ten page editors,
// geometry in pixels, and the commands a user would give.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/probe_client.h"
#include "tests/e2e/driver/program_process.h"

namespace e2e {

inline constexpr int kPageCount = 10;
// Control id of page 1's editor; page n has kFirstEditorId + n - 1.
inline constexpr int kFirstEditorId = 1000;

class NotesWindow {
public:
    NotesWindow(const ProgramProcess& process, HWND window);

    HWND handle() const { return m_window; }
    std::wstring caption() const;
    MenuBar menu();
    // Posts the entry's WM_COMMAND, as a click does; returns at once.
    void choose(std::initializer_list<std::wstring_view> path);
    // Sends the entry's WM_COMMAND and waits for its handler to end; false when it
    // did not end within `timeout` (a modal box, say).
    bool chooseAndWait(std::initializer_list<std::wstring_view> path, Millis timeout = kLongWait);
    UINT commandId(std::initializer_list<std::wstring_view> path);

    HWND editor(int page) const;
    // The editor of `page`, null while its window is not made.
    HWND findEditor(int page) const;
    // Pages whose editor is visible, in page order.
    std::vector<int> visiblePages() const;
    // Shows the page (stepping with "&>") unless it is shown. The text helpers below
    // show their page first, as a user goes to a page to read or change it.
    void show(int page);
    std::wstring text(int page);
    void setText(int page, std::wstring_view text);
    // Puts the caret at the end of the page and inserts `text` there.
    void appendText(int page, std::wstring_view text);
    // Replaces the first `count` characters of the page with `text`.
    void replaceStart(int page, size_t count, std::string_view text);
    // Selects the whole page and replaces it with `text`, as a paste does.
    void replaceAll(int page, std::wstring_view text);
    // Types `text` into the page's editor one WM_CHAR at a time.
    void type(int page, std::wstring_view text);
    int textLength(int page) const;

    // Rectangles in pixels: the outer window on the screen, an editor relative to
    // the window's client origin.
    RECT outerRect() const;
    RECT editorRect(int page) const;
    bool topmost() const;
    bool minimized() const;
    void postClose() const;
    // The standard icon a message box of the program shows: IDI_* number (IDI_EXCLAMATION
    // is 32515), 0 for none. Icon handles only mean something inside the program.
    int messageBoxIcon(const MessageBoxView& box);
    // The probe of this run, for requests with a time limit of their own.
    ProbeClient& probe();

private:
    LRESULT sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    const ProgramProcess& m_process;
    HWND m_window;
    std::unique_ptr<ProbeClient> m_probe;
};

}  // namespace e2e
