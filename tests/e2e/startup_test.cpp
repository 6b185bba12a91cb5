// Start-up: first-run geometry, caption, menu bar and its start states, the
// topmost window, the application window, and page files loaded byte for byte.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using Startup = NotesTest;

TEST_F(Startup, FirstRunWindow) {
    NotesWindow& window = startWindow();
    EXPECT_EQ(window.caption(), L"Quibbet - Page 1");
    // Left 500, top 500, 3852 x 3852 twips.
    const int left = twipsToPixels(500), size = twipsToPixels(3852);
    expectRectNear(window.outerRect(), RECT{left, left, left + size, left + size}, 1, "window");
    // The editor fills the client area and never runs past it: its scroll bar's
    // down arrow and its last line stay in sight.
    RECT client{};
    GetClientRect(window.handle(), &client);
    const RECT editor = window.editorRect(1);
    expectRectNear(editor, expectedEditorRect(window.handle()), 1, "editor 1");
    EXPECT_LE(editor.right, client.right);
    EXPECT_LE(editor.bottom, client.bottom);
    EXPECT_EQ(window.visiblePages(), std::vector<int>{1});
    EXPECT_TRUE(window.topmost());
    EXPECT_TRUE(enabledGoPages(window).empty());
    EXPECT_NE(m_app->appWindow(), nullptr) << "no top-level window titled \"Quibbets\"";
}

TEST_F(Startup, MenuBarEntriesAndStartStates) {
    const MenuBar bar = startWindow().menu();
    std::vector<std::wstring> top;
    for (const MenuItem& item : bar.items) {
        top.push_back(item.caption);
    }
    EXPECT_EQ(top, (std::vector<std::wstring>{L"&File", L"&Edit", L"&Go", L"&Help", L"&<", L"&>"}));
    EXPECT_FALSE(bar.at({L"&<"}).hasSubmenu);
    EXPECT_FALSE(bar.at({L"&>"}).hasSubmenu);

    EXPECT_EQ(bar.at({L"&File", L"&Save"}).shortcut, L"Ctrl+S");
    EXPECT_EQ(bar.at({L"&File", L"&Print..."}).shortcut, L"Ctrl+P");
    EXPECT_NE(bar.find({L"&File", L"E&xit"}), nullptr);
    EXPECT_NE(bar.find({L"&File", L"Exit &Without Save"}), nullptr);

    const std::vector<MenuItem>& edit = bar.at({L"&Edit"}).items;
    ASSERT_EQ(edit.size(), 7u);
    EXPECT_TRUE(edit[1].separator());
    EXPECT_TRUE(edit[5].separator());
    EXPECT_FALSE(bar.at({L"&Edit", L"&Undo"}).enabled());
    EXPECT_FALSE(bar.at({L"&Edit", L"Cu&t"}).enabled());
    EXPECT_FALSE(bar.at({L"&Edit", L"&Copy"}).enabled());
    EXPECT_TRUE(bar.at({L"&Edit", L"&Paste"}).enabled());
    EXPECT_EQ(bar.at({L"&Edit", L"&Paste"}).shortcut, L"Ctrl+V");
    EXPECT_NE(bar.find({L"&Edit", L"C&lear All"}), nullptr);

    for (int page = 1; page <= 9; ++page) {
        EXPECT_EQ(bar.at({L"&Go", goCaption(page)}).shortcut, L"Ctrl+F" + std::to_wstring(page));
    }
    EXPECT_EQ(bar.at({L"&Go", L"Page 1&0"}).shortcut, L"Ctrl+F11");
    // Contents and Search are hidden, so they are not in the menu at all.
    const std::vector<MenuItem>& help = bar.at({L"&Help"}).items;
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0].caption, L"&About Quibbets...");
}

TEST_F(Startup, GoEntriesFollowPagesWithText) {
    NotesWindow& window = startWindow({{4, "only four\r\n"}});
    EXPECT_EQ(enabledGoPages(window), std::vector<int>{4});
    kill();
    // A single blank is text; a file holding only CR LF is an empty page.
    NotesWindow& again = startWindow({{2, " \r\n"}, {4, "\r\n"}, {7, "x"}});
    EXPECT_EQ(enabledGoPages(again), (std::vector<int>{2, 7}));
}

TEST_F(Startup, PagesLoadIntoTheirOwnEditors) {
    PageFiles files;
    for (int page = 1; page <= kPageCount; ++page) {
        files[page] = "page " + std::to_string(page) + "\r\nsecond line\r\n\r\nlast line\r\n";
    }
    NotesWindow& window = startWindow(files);
    for (int page = 1; page <= kPageCount; ++page) {
        EXPECT_EQ(window.text(page), widen("page " + std::to_string(page) + "\r\nsecond line\r\n\r\nlast line"))
            << "page " << page;
    }
    EXPECT_EQ(enabledGoPages(window).size(), 10u);
}

TEST_F(Startup, OnlyAFinalLineEndIsDropped) {
    NotesWindow& window = startWindow({
        {1, "ab"},                     // two bytes, not a line end: both are text
        {2, "no final line end"},      // kept whole
        {3, "ends in LF only\n"},      // not CR LF: kept
        {4, "two line ends\r\n\r\n"},  // only the last one goes
        {5, "\r\n"},                   // empty page
        {6, "caf\xE9 \x80\r\n"},       // code page 1252
    });
    EXPECT_EQ(window.text(1), L"ab");
    EXPECT_EQ(window.text(2), L"no final line end");
    EXPECT_EQ(window.text(3), L"ends in LF only\n");
    EXPECT_EQ(window.text(4), L"two line ends\r\n");
    EXPECT_EQ(window.text(5), L"");
    EXPECT_EQ(window.text(6), L"caf\u00E9 \u20AC");
}

TEST_F(Startup, Utf8PageWithBomLoadsAsUtf8) {
    NotesWindow& window = startWindow({{1,
                                        "\xEF\xBB\xBF"
                                        "\xD0\x9F\xD1\x80\xD0\xB8 \xE2\x9C\x93\r\n"}});
    EXPECT_EQ(window.text(1), L"\u041F\u0440\u0438 \u2713");
}

TEST_F(Startup, LeftoverTempFilesAreNotPages) {
    m_folder.write(L"page1.txt.quibtmp", "temporary\r\n");
    m_folder.write(L"page2.quibtmp", "temporary\r\n");
    NotesWindow& window = startWindow({{1, "real\r\n"}});
    EXPECT_EQ(window.text(1), L"real");
    EXPECT_EQ(window.text(2), L"");
    EXPECT_EQ(enabledGoPages(window), std::vector<int>{1});
}

}  // namespace
}  // namespace e2e
