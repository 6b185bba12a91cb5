// Moving between pages: the arrows wrap around, Go entries jump, exactly one
// editor shows and the caption names it; editors follow the window's size.
#include "tests/e2e/driver/user_input.h"
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using Navigation = NotesTest;

// Chooses `arrow` and waits until the caption names `page`.
void step(NotesWindow& window, const wchar_t* arrow, int page) {
    window.choose({arrow});
    const std::wstring caption = L"Quibbet - Page " + std::to_wstring(page);
    EXPECT_TRUE(waitUntil([&] { return window.caption() == caption; }, kShortWait))
        << "after " << toUtf8(arrow) << " the caption is " << toUtf8(window.caption()) << ", not page " << page;
    // The caption may change before the command has hidden the old page's editor.
    waitForIdle(window.handle());
    EXPECT_EQ(window.visiblePages(), std::vector<int>{page});
}

TEST_F(Navigation, ArrowsVisitEveryPageAndWrap) {
    NotesWindow& window = startWindow({{5, "five\r\n"}});
    for (int page = 2; page <= 10; ++page) {
        step(window, L"&>", page);
    }
    step(window, L"&>", 1);
    step(window, L"&<", 10);
    step(window, L"&<", 9);
    // Ten commands in a row, as quick clicks would come; the entry's id is read
    // once, before them.
    const UINT next = window.commandId({L"&>"});
    for (int page = 10; page >= 1; --page) {
        PostMessageW(window.handle(), WM_COMMAND, MAKEWPARAM(next, 0), 0);
    }
    EXPECT_TRUE(waitUntil([&] { return window.caption() == L"Quibbet - Page 9"; }, kShortWait))
        << toUtf8(window.caption());
}

TEST_F(Navigation, GoEntryShowsItsPage) {
    NotesWindow& window = startWindow({{3, "three\r\n"}, {10, "ten\r\n"}});
    window.choose({L"&Go", L"Page 1&0"});
    EXPECT_TRUE(waitUntil([&] { return window.caption() == L"Quibbet - Page 10"; }, kShortWait));
    waitForIdle(window.handle());
    EXPECT_EQ(window.visiblePages(), std::vector<int>{10});
    window.choose({L"&Go", L"Page &3"});
    EXPECT_TRUE(waitUntil([&] { return window.caption() == L"Quibbet - Page 3"; }, kShortWait));
    waitForIdle(window.handle());
    EXPECT_EQ(window.visiblePages(), std::vector<int>{3});
    EXPECT_EQ(window.text(3), L"three");
}

// The shown editor follows at once; a hidden one takes the size when it is shown.
TEST_F(Navigation, EditorsFollowTheWindowSize) {
    NotesWindow& window = startWindow();
    const RECT before = window.outerRect();
    const int width = 400, height = 300;
    SetWindowPos(window.handle(), nullptr, before.left, before.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT expected = expectedEditorRect(window.handle());
    waitUntil([&] { return window.editorRect(1).right - window.editorRect(1).left >= expected.right - 1; }, kShortWait);
    expectRectNear(window.editorRect(1), expected, 1, "editor 1");
    for (int page = 2; page <= kPageCount; ++page) {
        step(window, L"&>", page);
        expectRectNear(window.editorRect(page), expected, 1, ("editor " + std::to_string(page)).c_str());
    }
}

}  // namespace
}  // namespace e2e
