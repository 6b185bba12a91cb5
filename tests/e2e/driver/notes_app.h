// One run of notes.exe for a test: the program copied into a test folder (pages
// live beside the program), started, and its windows found.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/notes_window.h"
#include "tests/e2e/driver/program_process.h"
#include "tests/e2e/driver/test_folder.h"

namespace e2e {

// Title of the hidden application window.
inline constexpr char kAppWindowTitle[] = "Quibbets";

// Path of the program under test: QUIBBETS_E2E_NOTES, or the one of the build.
std::wstring notesExePath();

// Page number -> exact bytes of its file.
using PageFiles = std::map<int, std::string>;

class NotesApp {
public:
    // Writes `pages` into `folder`, copies notes.exe there (when it is not yet
    // there) and starts it with another folder as its working folder.
    static std::unique_ptr<NotesApp> launch(const TestFolder& folder, const PageFiles& pages = {});

    ProgramProcess& process() { return m_process; }
    // The main window once it is visible and start-up has ended (the program waits
    // for input); fails the test after `timeout`.
    NotesWindow& window(Millis timeout = kLongWait);
    // The hidden application window (by its class and title), null when absent.
    HWND appWindow() const;
    // Waits for the process to end; fails the test after `timeout`.
    void expectExit(Millis timeout = kWait) const;

private:
    explicit NotesApp(ProgramProcess process) : m_process(std::move(process)) {}
    ProgramProcess m_process;
    std::unique_ptr<NotesWindow> m_window;
};

// True for a window whose title starts "Quibbet - Page".
bool isNotesMainWindow(HWND window);

}  // namespace e2e
