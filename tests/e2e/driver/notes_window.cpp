// Driving the notes window: menus through the probe, editors by control id.
#include "tests/e2e/driver/notes_window.h"

namespace e2e {

NotesWindow::NotesWindow(const ProgramProcess& process, HWND window) : m_process(process), m_window(window) {}

std::wstring NotesWindow::caption() const {
    return windowText(m_window);
}

ProbeClient& NotesWindow::probe() {
    if (!m_probe) {
        m_probe = std::make_unique<ProbeClient>(m_process.handle(), m_process.id());
    }
    return *m_probe;
}

LRESULT NotesWindow::sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(kHugeWait.count()),
                             &answer)) {
        fail("the program did not answer message " + std::to_string(message) + " to its " +
             toUtf8(windowClass(window)) + " window within " + std::to_string(kHugeWait.count()) +
             " ms: it did not fetch its messages (busy or hung)");
    }
    return static_cast<LRESULT>(answer);
}

MenuBar NotesWindow::menu() {
    return probe().menuBar(m_window);
}

UINT NotesWindow::commandId(std::initializer_list<std::wstring_view> path) {
    const MenuItem& item = menu().at(path);
    if (item.hasSubmenu) {
        fail("menu entry " + toUtf8(item.caption) + " opens a drop-down; it has no command");
    }
    return item.id;
}

void NotesWindow::choose(std::initializer_list<std::wstring_view> path) {
    PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(commandId(path), 0), 0);
}

bool NotesWindow::chooseAndWait(std::initializer_list<std::wstring_view> path, Millis timeout) {
    const UINT id = commandId(path);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(m_window, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL,
                               static_cast<UINT>(timeout.count()), &answer) != 0;
}

// An editor's window is made when its page is first needed, so a page never shown
// may have none yet.
HWND NotesWindow::findEditor(int page) const {
    const int id = kFirstEditorId + page - 1;
    for (HWND child : descendants(m_window)) {
        if (GetDlgCtrlID(child) == id && lstrcmpiW(windowClass(child).c_str(), L"Edit") == 0) {
            return child;
        }
    }
    return nullptr;
}

HWND NotesWindow::editor(int page) const {
    if (HWND found = findEditor(page)) {
        return found;
    }
    fail("no editor for page " + std::to_string(page) + " (an Edit child with id " +
         std::to_string(kFirstEditorId + page - 1) + ")");
}

std::vector<int> NotesWindow::visiblePages() const {
    std::vector<int> pages;
    for (int page = 1; page <= kPageCount; ++page) {
        const HWND found = findEditor(page);
        if (found && IsWindowVisible(found)) {
            pages.push_back(page);
        }
    }
    return pages;
}

// A hidden page's text reaches its editor when the page is first shown, so the
// driver goes to a page before it reads or edits it, as a user does.
void NotesWindow::show(int page) {
    const std::wstring caption = L"Quibbet - Page " + std::to_wstring(page);
    const auto shown = [&] {
        const HWND found = findEditor(page);
        return found && IsWindowVisible(found);
    };
    for (int step = 0; step < kPageCount && !shown(); ++step) {
        const std::wstring before = this->caption();
        choose({L"&>"});
        if (!waitUntil([&] { return this->caption() != before; }, kHugeWait)) {
            fail("page " + std::to_string(page) + " could not be shown");
        }
    }
    if (this->caption() != caption) {
        fail("page " + std::to_string(page) + " is not the page shown");
    }
}

std::wstring NotesWindow::text(int page) {
    show(page);
    return probe().text(editor(page));
}

void NotesWindow::setText(int page, std::wstring_view text) {
    show(page);
    probe().setText(editor(page), text);
}

void NotesWindow::appendText(int page, std::wstring_view text) {
    show(page);
    HWND edit = editor(page);
    const int end = textLength(page);
    sendBounded(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    probe().replaceSelection(edit, text);
}

void NotesWindow::replaceStart(int page, size_t count, std::string_view text) {
    show(page);
    HWND edit = editor(page);
    sendBounded(edit, EM_SETSEL, 0, static_cast<LPARAM>(count));
    probe().replaceSelection(edit, std::wstring(text.begin(), text.end()));
}

void NotesWindow::replaceAll(int page, std::wstring_view text) {
    show(page);
    HWND edit = editor(page);
    sendBounded(edit, EM_SETSEL, 0, -1);
    probe().replaceSelection(edit, text);
}

void NotesWindow::type(int page, std::wstring_view text) {
    show(page);
    HWND edit = editor(page);
    for (wchar_t c : text) {
        sendBounded(edit, WM_CHAR, c, 1);
    }
}

int NotesWindow::textLength(int page) const {
    return static_cast<int>(sendBounded(editor(page), WM_GETTEXTLENGTH, 0, 0));
}

RECT NotesWindow::outerRect() const {
    RECT r{};
    GetWindowRect(m_window, &r);
    return r;
}

RECT NotesWindow::editorRect(int page) const {
    RECT r{};
    GetWindowRect(editor(page), &r);
    POINT origin{0, 0};
    ClientToScreen(m_window, &origin);
    OffsetRect(&r, -origin.x, -origin.y);
    return r;
}

bool NotesWindow::topmost() const {
    return (GetWindowLongPtrW(m_window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool NotesWindow::minimized() const {
    return IsIconic(m_window) != 0;
}

void NotesWindow::postClose() const {
    PostMessageW(m_window, WM_CLOSE, 0, 0);
}

int NotesWindow::messageBoxIcon(const MessageBoxView& box) {
    return box.iconControl ? probe().standardIcon(box.iconControl) : 0;
}

}  // namespace e2e
