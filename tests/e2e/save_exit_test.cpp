// Saving pages and the ways to close: the bytes written, what is left alone, and
// which closes save.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using SaveExit = NotesTest;

// Moves to page 2 (empty pages have no enabled Go entry) and types there.
void typeOnPageTwo(NotesWindow& window, const std::wstring& text) {
    window.choose({L"&>"});
    ASSERT_TRUE(waitUntil([&] { return window.caption() == L"Quibbet - Page 2"; }, kShortWait));
    window.type(2, text);
}

TEST_F(SaveExit, SaveWritesTypedPageAndEnablesItsGoEntry) {
    NotesWindow& window = startWindow();
    typeOnPageTwo(window, L"Hello\rworld");
    EXPECT_EQ(window.text(2), L"Hello\r\nworld");
    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Save"}));
    EXPECT_EQ(m_folder.read(L"page2.txt"), "Hello\r\nworld\r\n");
    EXPECT_EQ(enabledGoPages(window), std::vector<int>{2});
    // Pages empty all along get no file.
    for (int page : {1, 3, 4, 5, 6, 7, 8, 9, 10}) {
        EXPECT_FALSE(m_folder.exists(pageFileName(page))) << page;
    }
}

TEST_F(SaveExit, SaveRewritesOnlyChangedOrMissingPages) {
    NotesWindow& window = startWindow({{1, "one\r\n"}, {2, "two\r\n"}, {3, "three\r\n"}});
    const unsigned long long oneTime = m_folder.writeTime(L"page1.txt");
    Sleep(50);  // file times must be able to differ (they move in clock ticks of a few ms)
    DeleteFileW(m_folder.file(L"page3.txt").c_str());
    window.appendText(2, L" more");
    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Save"}));
    EXPECT_EQ(m_folder.writeTime(L"page1.txt"), oneTime) << "an unchanged page was rewritten";
    EXPECT_EQ(m_folder.read(L"page2.txt"), "two more\r\n");
    EXPECT_EQ(m_folder.read(L"page3.txt"), "three\r\n") << "a page whose file went missing is written again";
}

TEST_F(SaveExit, EmptiedPageBecomesALineEnd) {
    NotesWindow& window = startWindow({{1, "gone soon\r\n"}, {2, "stays\r\n"}});
    window.setText(1, L"");
    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Save"}));
    EXPECT_EQ(m_folder.read(L"page1.txt"), "\r\n");
    EXPECT_EQ(enabledGoPages(window), std::vector<int>{2});
}

TEST_F(SaveExit, TextOutsideCodePage1252RoundTripsAsUtf8) {
    NotesWindow& window = startWindow();
    const std::wstring text = L"\u041F\u0440\u0438\u0432\u0435\u0442 \u2713";  // "Privet" in Cyrillic and a check mark
    window.type(1, text);
    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Save"}));
    EXPECT_EQ(m_folder.read(L"page1.txt"), "\xEF\xBB\xBF" + toUtf8(text) + "\r\n");
    kill();
    EXPECT_EQ(startWindow().text(1), text);
}

TEST_F(SaveExit, Code1252TextIsStoredAsAnsi) {
    NotesWindow& window = startWindow();
    window.type(1, L"caf\u00E9 \u20AC");
    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Save"}));
    EXPECT_EQ(m_folder.read(L"page1.txt"), "caf\xE9 \x80\r\n");
}

TEST_F(SaveExit, ExitSaves) {
    NotesWindow& window = startWindow();
    window.type(1, L"kept");
    window.choose({L"&File", L"E&xit"});
    m_app->expectExit();
    EXPECT_EQ(m_folder.read(L"page1.txt"), "kept\r\n");
}

TEST_F(SaveExit, ExitWithoutSaveLeavesFilesAlone) {
    NotesWindow& window = startWindow({{1, "old\r\n"}});
    window.appendText(1, L" new");
    window.type(1, L"x");
    window.choose({L"&File", L"Exit &Without Save"});
    m_app->expectExit();
    EXPECT_EQ(m_folder.read(L"page1.txt"), "old\r\n");
    EXPECT_FALSE(m_folder.exists(L"page2.txt"));
}

TEST_F(SaveExit, ClosingTheWindowSaves) {
    NotesWindow& window = startWindow();
    window.type(1, L"closed");
    window.postClose();
    m_app->expectExit();
    EXPECT_EQ(m_folder.read(L"page1.txt"), "closed\r\n");
}

TEST_F(SaveExit, SystemMenuCloseSaves) {
    NotesWindow& window = startWindow();
    window.type(1, L"via the system menu");
    PostMessageW(window.handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    m_app->expectExit();
    EXPECT_EQ(m_folder.read(L"page1.txt"), "via the system menu\r\n");
}

TEST_F(SaveExit, CloseRequestToTheAppWindowSavesAndEnds) {
    NotesWindow& window = startWindow();
    window.type(1, L"session end");
    HWND app = m_app->appWindow();
    ASSERT_NE(app, nullptr);
    PostMessageW(app, WM_CLOSE, 1, 1);
    m_app->expectExit();
    EXPECT_EQ(m_folder.read(L"page1.txt"), "session end\r\n");
}

TEST_F(SaveExit, CloseStoresTheWindowSettings) {
    NotesWindow& window = startWindow();
    // Whole pixels, so that the stored twips are exact: -8, 20, 300 x 200 pixels.
    SetWindowPos(window.handle(), nullptr, -8, 20, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    window.choose({L"&File", L"Exit &Without Save"});
    m_app->expectExit();
    EXPECT_EQ(readSetting(L"MainLeft"), L"-120");
    EXPECT_EQ(readSetting(L"MainTop"), L"300");
    EXPECT_EQ(readSetting(L"MainWidth"), L"4500");
    EXPECT_EQ(readSetting(L"MainHeight"), L"3000");
    EXPECT_EQ(readSetting(L"BackColor"), L"-2147483633");
}

TEST_F(SaveExit, StoredSettingsPlaceTheNextRun) {
    writeGeometry(L"1500", L"750", L"6000", L"4500");
    NotesWindow& window = startWindow();
    expectRectNear(window.outerRect(), RECT{100, 50, 100 + 400, 50 + 300}, 1, "window");
    expectRectNear(window.editorRect(1), expectedEditorRect(window.handle()), 1, "editor");
}

TEST_F(SaveExit, MinimizedCloseStoresNoSettings) {
    NotesWindow& window = startWindow();
    ShowWindow(window.handle(), SW_MINIMIZE);
    ASSERT_TRUE(waitUntil([&] { return window.minimized(); }, kShortWait));
    window.postClose();
    m_app->expectExit();
    EXPECT_TRUE(settingsEmpty());
}

}  // namespace
}  // namespace e2e
