// The Edit commands through the real clipboard: which entries a selection
// enables, Cut, Copy, Paste and Undo, their shortcuts, and a clipboard that
// another program holds open.
#include "tests/e2e/e2e_fixture.h"

#include "tests/e2e/driver/clipboard.h"
#include "tests/e2e/driver/user_input.h"

namespace e2e {
namespace {

constexpr int kExclamationIcon = 32515;  // IDI_EXCLAMATION

class Edit : public NotesTest {
protected:
    NotesWindow& window() { return m_app->window(); }
    // Opens the Edit drop-down as Alt+E does (the program sets the entries'
    // states then) and closes it again.
    void openEditMenu() {
        openDropDown(m_app->process(), window().handle(), L'e');
        closeMenus(m_app->process(), window().handle());
    }
    bool enabled(const wchar_t* entry) { return window().menu().at({L"&Edit", entry}).enabled(); }
    // Selects [from, to) of the page and opens the Edit menu, as a user does
    // before choosing Cut or Copy.
    void selectForMenu(int page, int from, int to) {
        selectText(window().editor(page), from, to);
        openEditMenu();
    }
    void command(const wchar_t* entry) { ASSERT_TRUE(window().chooseAndWait({L"&Edit", entry})); }
};

TEST_F(Edit, OpeningTheMenuFollowsTheShownPagesSelection) {
    NotesWindow& w = startWindow({{1, "hello world\r\n"}, {2, "second page\r\n"}});
    selectText(w.editor(1), 0, 5);
    openDropDown(m_app->process(), w.handle(), L'e');
    // The states are set before the drop-down shows.
    EXPECT_TRUE(enabled(L"Cu&t"));
    EXPECT_TRUE(enabled(L"&Copy"));
    EXPECT_FALSE(enabled(L"&Undo"));
    EXPECT_TRUE(enabled(L"&Paste"));
    closeMenus(m_app->process(), w.handle());

    selectText(w.editor(1), 3, 3);
    openEditMenu();
    EXPECT_FALSE(enabled(L"Cu&t"));
    EXPECT_FALSE(enabled(L"&Copy"));

    // Page 1 keeps a selection, but page 2 is shown and has none.
    selectText(w.editor(1), 0, 5);
    w.choose({L"&>"});
    ASSERT_TRUE(waitUntil([&] { return w.caption() == L"Quibbet - Page 2"; }, kShortWait));
    selectText(w.editor(2), 0, 0);
    openEditMenu();
    EXPECT_FALSE(enabled(L"Cu&t")) << "the selection of a hidden page counted";
    EXPECT_FALSE(enabled(L"&Copy"));
    selectText(w.editor(2), 0, 6);
    openEditMenu();
    EXPECT_TRUE(enabled(L"Cu&t"));
    EXPECT_TRUE(enabled(L"&Copy"));
}

TEST_F(Edit, CopyPutsTheSelectionOnTheClipboardAndArmsUndo) {
    NotesWindow& w = startWindow({{1, "caf\xE9 \x80 and more\r\n"}});
    setClipboardText(L"before");
    selectForMenu(1, 0, 6);
    command(L"&Copy");
    EXPECT_EQ(clipboardText(), L"caf\u00E9 \u20AC");
    EXPECT_EQ(clipboardAnsiText(), "caf\xE9 \x80") << "an 8-bit program sees code page 1252";
    EXPECT_EQ(w.text(1), L"caf\u00E9 \u20AC and more");
    EXPECT_TRUE(enabled(L"&Undo"));
}

TEST_F(Edit, CutMovesTheSelectionAndUndoPutsItBackOnce) {
    NotesWindow& w = startWindow({{1, "first line\r\nsecond line\r\n"}});
    setClipboardText(L"before");
    selectForMenu(1, 6, 19);  // "line\r\nsecond "
    command(L"Cu&t");
    EXPECT_EQ(clipboardText(), L"line\r\nsecond ");
    EXPECT_EQ(w.text(1), L"first line");
    EXPECT_TRUE(enabled(L"&Undo"));

    command(L"&Undo");
    EXPECT_EQ(w.text(1), L"first line\r\nsecond line");
    EXPECT_FALSE(enabled(L"&Undo")) << "Undo puts its snapshot back only once";
}

TEST_F(Edit, PasteReplacesTheSelectionAndUndoRestores) {
    NotesWindow& w = startWindow({{1, "keep REPLACE keep\r\n"}});
    setClipboardText(L"new\r\ntext");
    selectText(w.editor(1), 5, 12);
    command(L"&Paste");
    EXPECT_EQ(w.text(1), L"keep new\r\ntext keep");
    EXPECT_EQ(clipboardText(), L"new\r\ntext");
    EXPECT_TRUE(enabled(L"&Undo"));
    command(L"&Undo");
    EXPECT_EQ(w.text(1), L"keep REPLACE keep");
}

TEST_F(Edit, UndoGoesBackToThePageItCameFrom) {
    NotesWindow& w = startWindow({{1, "page one text\r\n"}, {3, "page three\r\n"}});
    selectForMenu(1, 0, 5);
    command(L"Cu&t");
    ASSERT_EQ(w.text(1), L"one text");
    w.choose({L"&Go", L"Page &3"});
    ASSERT_TRUE(waitUntil([&] { return w.caption() == L"Quibbet - Page 3"; }, kShortWait));
    command(L"&Undo");
    EXPECT_TRUE(waitUntil([&] { return w.caption() == L"Quibbet - Page 1"; }, kShortWait)) << toUtf8(w.caption());
    EXPECT_EQ(w.visiblePages(), std::vector<int>{1});
    EXPECT_EQ(w.text(1), L"page one text");
    EXPECT_EQ(w.text(3), L"page three");
}

TEST_F(Edit, DisabledEntriesDoNothing) {
    NotesWindow& w = startWindow({{1, "untouched\r\n"}});
    // Not even a command that another program sends for a greyed entry.
    ASSERT_TRUE(w.chooseAndWait({L"&Edit", L"&Undo"}));
    EXPECT_EQ(w.text(1), L"untouched");
    setClipboardText(L"!");
    selectText(w.editor(1), 9, 9);
    // Keystrokes reach the program after any message the test sends, so what
    // shows that Ctrl+X (no selection) and Ctrl+Z (no snapshot) did nothing is a
    // later Ctrl+V, which pastes a marker at the caret.
    pressKeys(w.handle(), {VK_CONTROL, 'X'});
    pressKeys(w.handle(), {VK_CONTROL, 'Z'});
    pressKeys(w.handle(), {VK_CONTROL, 'V'});
    EXPECT_TRUE(waitUntil([&] { return w.text(1) == L"untouched!"; }, kWait, Millis{50})) << toUtf8(w.text(1));
    EXPECT_EQ(clipboardText(), L"!");

    // The paste's snapshot goes back once; a second Ctrl+Z finds Undo disabled.
    pressKeys(w.handle(), {VK_CONTROL, 'Z'});
    EXPECT_TRUE(waitUntil([&] { return w.text(1) == L"untouched"; }, kWait, Millis{50})) << toUtf8(w.text(1));
    selectText(w.editor(1), 9, 9);
    pressKeys(w.handle(), {VK_CONTROL, 'Z'});
    pressKeys(w.handle(), {VK_CONTROL, 'V'});
    EXPECT_TRUE(waitUntil([&] { return w.text(1) == L"untouched!"; }, kWait, Millis{50})) << toUtf8(w.text(1));
}

TEST_F(Edit, ShortcutsCheckTheSelectionThemselves) {
    NotesWindow& w = startWindow({{1, "cut by keyboard\r\n"}});
    setClipboardText(L"before");
    selectText(w.editor(1), 0, 4);
    pressKeys(w.handle(), {VK_CONTROL, 'X'});
    EXPECT_TRUE(waitUntil([] { return clipboardText() == L"cut "; }, kWait, Millis{50}))
        << "Ctrl+X with a selection did not cut";
    EXPECT_EQ(w.text(1), L"by keyboard");
    EXPECT_TRUE(enabled(L"&Undo"));

    // Ctrl+C without a selection finds Copy disabled: the clipboard and the
    // snapshot of the Cut stay. Ctrl+Z (handled after it) shows which snapshot.
    setClipboardText(L"after the cut");
    selectText(w.editor(1), 2, 2);
    pressKeys(w.handle(), {VK_CONTROL, 'C'});
    pressKeys(w.handle(), {VK_CONTROL, 'Z'});
    EXPECT_TRUE(waitUntil([&] { return w.text(1) == L"cut by keyboard"; }, kWait, Millis{50})) << toUtf8(w.text(1));
    EXPECT_EQ(clipboardText(), L"after the cut");
    EXPECT_FALSE(enabled(L"&Undo"));
}

TEST_F(Edit, ClipboardFreedWithinASecondIsUsed) {
    NotesWindow& w = startWindow({{1, "patience\r\n"}});
    selectForMenu(1, 0, 4);
    ClipboardHolder hold;
    w.choose({L"&Edit", L"&Copy"});
    Sleep(300);
    hold.release();
    EXPECT_TRUE(waitUntil([] { return clipboardText() == L"pati"; }, kWait, Millis{50}));
    waitForIdle(w.handle());
    EXPECT_TRUE(dialogWindows(m_app->process()).empty()) << "a message although the clipboard came free";
}

TEST_F(Edit, BusyClipboardChangesNothing) {
    NotesWindow& w = startWindow({{1, "held text\r\n"}});
    // A snapshot of "held text" first: a command that fails must keep it.
    selectForMenu(1, 0, 4);
    command(L"&Copy");
    w.appendText(1, L" changed");
    setClipboardText(L"on the clipboard");
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Cu&t", L"cut"}, {L"&Copy", L"copied"}, {L"&Paste", L"pasted"}};
    for (const auto& [entry, verb] : cases) {
        SCOPED_TRACE(toUtf8(entry));
        selectForMenu(1, 0, 4);
        ClipboardHolder hold;
        const auto began = std::chrono::steady_clock::now();
        w.choose({L"&Edit", entry});
        const MessageBoxView box = waitForMessageBox(m_app->process());
        EXPECT_GE(std::chrono::steady_clock::now() - began, Millis{500}) << "no retry before the message";
        EXPECT_EQ(box.caption, L"Quibbets");
        EXPECT_EQ(box.text, std::wstring(L"The clipboard is in use by another program, so nothing was ") + verb +
                                L". Try again in a moment.");
        EXPECT_EQ(box.buttonCaptions(), std::vector<std::wstring>{L"OK"});
        EXPECT_EQ(w.messageBoxIcon(box), kExclamationIcon);
        box.press(L"OK");
        ASSERT_TRUE(waitUntil([&] { return dialogWindows(m_app->process()).empty(); }, kShortWait));
        hold.release();
        waitForIdle(w.handle());
        EXPECT_EQ(w.text(1), L"held text changed");
        EXPECT_EQ(clipboardText(), L"on the clipboard");
    }
    command(L"&Undo");
    EXPECT_EQ(w.text(1), L"held text") << "a failed command replaced Undo's snapshot";
}

}  // namespace
}  // namespace e2e
