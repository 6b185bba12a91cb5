// Shared set-up of the end-to-end tests: each case gets a fresh folder and a
// cleared settings key, and starts notes.exe there; plus the expectations that
// several groups share.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/e2e/driver/notes_app.h"
#include "tests/e2e/driver/settings_registry.h"

namespace e2e {

// The session's DPI (QUIBBETS_E2E_DPI, set by the run that gave Wine that LogPixels;
// 96 otherwise), and the twips per pixel it gives.
int sessionDpi();
double twipsPerPixel();

class NotesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts notes.exe in the test folder with `pages` written first.
    NotesApp& start(const PageFiles& pages = {});
    // Starts it and waits for its main window.
    NotesWindow& startWindow(const PageFiles& pages = {}, Millis timeout = kLongWait);
    // Ends the current run (if any) the hard way, so that a case can start again.
    void kill();

    TestFolder m_folder = TestFolder::createTemporary();
    std::unique_ptr<NotesApp> m_app;
};

// Caption of the Go entry of a page: "Page &1" .. "Page &9", "Page 1&0".
std::wstring goCaption(int page);
// Pages whose Go entry is enabled.
std::vector<int> enabledGoPages(NotesWindow& window);
// Pixels of a twips length as the program rounds it (half to even).
int twipsToPixels(double twips);
// `text` with every "\n" turned into "\r\n".
std::string crlf(const std::string& text);
// ASCII text of about `bytes` bytes: numbered lines of ~70 characters, CR LF
// between lines and none at the end; `tag` makes each text distinct.
std::string pageText(size_t bytes, const std::string& tag);
std::wstring widen(const std::string& ascii);
bool startsWith(const std::wstring& text, const std::wstring& prefix);
bool contains(const std::wstring& text, const std::wstring& part);

// Where the program puts the shown editor in `window`: its outer size less 110 x 550
// twips, cut to its client area.
RECT expectedEditorRect(HWND window);

// EXPECT that `actual` is `expected` within `tolerance` pixels on every side.
void expectRectNear(const RECT& actual, const RECT& expected, int tolerance, const char* what);

}  // namespace e2e
