// What the user is told when files fail: a page file that cannot be read at
// start, pages that cannot be saved, and printing with no printer.
#include "tests/e2e/e2e_fixture.h"

#include <windows.h>
#include <winspool.h>

namespace e2e {
namespace {

using Faults = NotesTest;

// Holds a file open with no sharing, so that no other process can open it.
Handle lockFile(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        fail("cannot lock " + toUtf8(path) + ": " + lastErrorText());
    }
    return file;
}

TEST_F(Faults, UnreadablePageFileIsReportedAndLeftAlone) {
    m_folder.write(L"page3.txt", "locked away\r\n");
    Handle lock = lockFile(m_folder.file(L"page3.txt"));
    start({{1, "one\r\n"}});
    const MessageBoxView box = waitForMessageBox(m_app->process());
    EXPECT_EQ(box.caption, L"Quibbets");
    EXPECT_TRUE(startsWith(box.text, L"These page files could not be read")) << toUtf8(box.text);
    EXPECT_TRUE(contains(box.text, L"page3.txt")) << toUtf8(box.text);
    EXPECT_FALSE(contains(box.text, L"page1.txt")) << toUtf8(box.text);
    box.press(L"OK");
    NotesWindow& window = m_app->window();
    EXPECT_TRUE(dialogWindows(m_app->process()).empty()) << "only one message box";
    EXPECT_EQ(window.text(3), L"");
    EXPECT_EQ(window.text(1), L"one");
    EXPECT_EQ(enabledGoPages(window), std::vector<int>{1});
    // Exit saves; the page nobody typed into must keep its file.
    lock.reset();
    window.choose({L"&File", L"E&xit"});
    m_app->expectExit();
    EXPECT_EQ(m_folder.read(L"page3.txt"), "locked away\r\n");
}

// A page file held open without sharing cannot be replaced, so its save fails.
// Returns false when this Wine lets a rename replace such a file anyway.
bool lockStopsReplace(const TestFolder& folder) {
    folder.write(L"probe.txt", "old");
    folder.write(L"probe.new", "new");
    Handle lock = lockFile(folder.file(L"probe.txt"));
    const bool replaced = MoveFileExW(folder.file(L"probe.new").c_str(), folder.file(L"probe.txt").c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    lock.reset();
    DeleteFileW(folder.file(L"probe.txt").c_str());
    DeleteFileW(folder.file(L"probe.new").c_str());
    return !replaced;
}

TEST_F(Faults, FailedSaveNamesThePageAndExitAsks) {
    if (!lockStopsReplace(m_folder)) {
        GTEST_SKIP() << "this Wine replaces files held open; see MountFaults";
    }
    NotesWindow& window = startWindow({{1, "old\r\n"}, {2, "two\r\n"}});
    window.appendText(1, L" changed");
    window.appendText(2, L" changed");
    Handle lock = lockFile(m_folder.file(L"page1.txt"));
    window.choose({L"&File", L"&Save"});
    const MessageBoxView box = waitForMessageBox(m_app->process());
    EXPECT_EQ(box.caption, L"Quibbets");
    EXPECT_TRUE(startsWith(box.text, L"These pages could not be saved:")) << toUtf8(box.text);
    EXPECT_TRUE(contains(box.text, L"page1.txt: ")) << toUtf8(box.text);
    EXPECT_FALSE(contains(box.text, L"page2.txt")) << toUtf8(box.text);
    EXPECT_EQ(box.buttonCaptions(), std::vector<std::wstring>{L"OK"});
    box.press(L"OK");
    ASSERT_TRUE(waitUntil([&] { return dialogWindows(m_app->process()).empty(); }, kShortWait));
    EXPECT_EQ(m_folder.read(L"page2.txt"), "two changed\r\n");

    // Exit whose save fails asks; No (the default) keeps the window.
    window.choose({L"&File", L"E&xit"});
    const MessageBoxView ask = waitForMessageBox(m_app->process());
    EXPECT_TRUE(startsWith(ask.text, L"These pages could not be saved:")) << toUtf8(ask.text);
    EXPECT_TRUE(contains(ask.text, L"Exit anyway?")) << toUtf8(ask.text);
    EXPECT_EQ(ask.buttonCaptions(), (std::vector<std::wstring>{L"Yes", L"No"}));
    EXPECT_EQ(ask.defaultButton, IDNO);
    ask.press(L"No");
    EXPECT_FALSE(m_app->process().waitForExit(Millis{1000}));
    EXPECT_TRUE(IsWindowVisible(window.handle()));

    window.choose({L"&File", L"E&xit"});
    waitForMessageBox(m_app->process()).press(L"Yes");
    m_app->expectExit();
    lock.reset();
    EXPECT_EQ(m_folder.read(L"page1.txt"), "old\r\n");
}

// The launcher's Close while "Exit anyway?" is open: the request goes to the
// application window, not to the box of the same title, and waits for the answer.
// Carried out inside the box, its save would fail again and ask a second time.
TEST_F(Faults, CloseRequestWhileExitAsksIsCarriedOutOnceAnswered) {
    if (!lockStopsReplace(m_folder)) {
        GTEST_SKIP() << "this Wine replaces files held open; see MountFaults";
    }
    NotesWindow& window = startWindow({{1, "old\r\n"}});
    window.appendText(1, L" changed");
    Handle lock = lockFile(m_folder.file(L"page1.txt"));
    window.choose({L"&File", L"E&xit"});
    const MessageBoxView ask = waitForMessageBox(m_app->process());
    ASSERT_TRUE(contains(ask.text, L"Exit anyway?")) << toUtf8(ask.text);
    HWND app = m_app->appWindow();
    ASSERT_NE(app, nullptr);
    ASSERT_NE(app, ask.window);
    PostMessageW(app, WM_CLOSE, 1, 1);
    EXPECT_FALSE(m_app->process().waitForExit(Millis{1000}));
    EXPECT_EQ(dialogWindows(m_app->process()), std::vector<HWND>{ask.window}) << "the box is still the only one";
    lock.reset();
    ask.press(L"No");
    m_app->expectExit();
    EXPECT_EQ(m_folder.read(L"page1.txt"), "old changed\r\n");
}

TEST_F(Faults, PrintWithoutPrinterExplainsAndNeverHangs) {
    wchar_t name[512];
    DWORD size = 512;
    if (GetDefaultPrinterW(name, &size)) {
        GTEST_SKIP() << "a default printer is installed";
    }
    NotesWindow& window = startWindow({{1, "to paper\r\n"}});
    window.choose({L"&File", L"&Print..."});
    const MessageBoxView box = waitForMessageBox(m_app->process());
    EXPECT_EQ(box.caption, L"Quibbets");
    EXPECT_TRUE(startsWith(box.text, L"The page could not be printed.")) << toUtf8(box.text);
    EXPECT_EQ(dialogWindows(m_app->process()).size(), 1u) << "no print dialog beside the message";
    box.press(L"OK");
    EXPECT_TRUE(window.chooseAndWait({L"&File", L"&Save"}, kWait)) << "the window answers after printing";
}

}  // namespace
}  // namespace e2e
