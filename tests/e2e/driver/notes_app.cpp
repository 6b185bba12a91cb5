// Launching notes.exe in a test folder.
#include "tests/e2e/driver/notes_app.h"

#include "assets/resource_ids.h"
#include "platform/services/shell.h"

namespace e2e {

std::wstring notesExePath() {
    const std::wstring fromEnvironment = environment(L"QUIBBETS_E2E_NOTES");
    return windowsPath(fromEnvironment.empty() ? fromUtf8(QUIBBETS_E2E_NOTES_EXE) : fromEnvironment);
}

bool isNotesMainWindow(HWND window) {
    return windowText(window).rfind(L"Quibbet - Page", 0) == 0;
}

std::unique_ptr<NotesApp> NotesApp::launch(const TestFolder& folder, const PageFiles& pages) {
    for (const auto& [page, bytes] : pages) {
        folder.write(pageFileName(page), bytes);
    }
    if (!folder.exists(L"notes.exe")) {
        folder.copyIn(notesExePath(), L"notes.exe");
    }
    // The working folder is deliberately not the program's: pages belong beside
    // the program wherever it is started from.
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::unique_ptr<NotesApp>(new NotesApp(ProgramProcess::start(folder.file(L"notes.exe"), temp)));
}

NotesWindow& NotesApp::window(Millis timeout) {
    if (!m_window) {
        HWND main = m_process.waitForWindow([](HWND w) { return IsWindowVisible(w) && isNotesMainWindow(w); }, timeout,
                                            "the visible notes window");
        // The window shows before start-up ends (pages load and the topmost band is
        // set after the first show): wait until the program waits for input.
        if (WaitForInputIdle(m_process.handle(), static_cast<DWORD>(timeout.count())) != 0) {
            fail("the program did not finish starting");
        }
        m_window = std::make_unique<NotesWindow>(m_process, main);
    }
    return *m_window;
}

// By class as well as title, as the launcher finds it: a message box of the program
// carries the same title.
HWND NotesApp::appWindow() const {
    const std::string windowClass = toUtf8(plat::appWindowClass(kAppTitle));
    HWND found = FindWindowA(windowClass.c_str(), kAppWindowTitle);
    DWORD owner = 0;
    GetWindowThreadProcessId(found, &owner);
    return owner == m_process.id() ? found : nullptr;
}

void NotesApp::expectExit(Millis timeout) const {
    if (!m_process.waitForExit(timeout)) {
        fail("the program did not end");
    }
}

}  // namespace e2e
