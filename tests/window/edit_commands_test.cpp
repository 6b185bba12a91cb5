// Undo, Cut, Copy and Paste: when they are offered, what reaches the clipboard, the
// one-level undo snapshot, and a clipboard that another program holds.
#include "notes/window/menu_ids.h"
#include "test_support.h"

namespace notes::test {
namespace {

using plat::Shortcut;

class EditCommandsTest : public NotesTest {
protected:
    void SetUp() override { start(); }
    bool enabled(int id) { return window().menuEnabled(id); }
    std::wstring clipboard() { return m_platform.clipboardContent().value_or(L"<no text>"); }
    FrmMain& frm() { return *m_program->window; }
};

TEST_F(EditCommandsTest, OpeningTheMenuOffersCutAndCopyOnlyWithASelection) {
    EXPECT_FALSE(enabled(mnuEditUndo));
    EXPECT_FALSE(enabled(mnuEditCut));
    EXPECT_FALSE(enabled(mnuEditCopy));
    EXPECT_TRUE(enabled(mnuEditPaste));

    page(0).setText(L"hello world");
    page(0).selection().select(6, 5);
    window().openMenu(mnuEdit);
    EXPECT_TRUE(enabled(mnuEditCut));
    EXPECT_TRUE(enabled(mnuEditCopy));
    EXPECT_FALSE(enabled(mnuEditUndo));
    EXPECT_TRUE(enabled(mnuEditPaste));

    // Only the current page's selection counts.
    page(0).selection().select(0, 0);
    page(1).setText(L"other");
    page(1).selection().select(0, 5);
    window().openMenu(mnuEdit);
    EXPECT_FALSE(enabled(mnuEditCut));
    EXPECT_FALSE(enabled(mnuEditCopy));
}

TEST_F(EditCommandsTest, ShortcutsFollowTheSelectionWithoutTheMenuBeingOpened) {
    page(0).setText(L"hello world");
    page(0).selection().select(0, 5);
    EXPECT_TRUE(window().pressShortcut(Shortcut::ctrl(L'X')));
    EXPECT_EQ(page(0).text(), L" world");
    EXPECT_EQ(clipboard(), L"hello");

    // With nothing selected the shortcut finds its entry disabled and does nothing.
    EXPECT_FALSE(window().pressShortcut(Shortcut::ctrl(L'C')));
    EXPECT_EQ(clipboard(), L"hello");
    EXPECT_TRUE(window().pressShortcut(Shortcut::ctrl(L'V')));
    EXPECT_EQ(page(0).text(), L"hello world");
}

TEST_F(EditCommandsTest, CutTakesExactlyTheSelectionAndUndoBringsItBack) {
    page(0).setText(L"line one\r\nline two\r\nline three");
    page(0).selection().select(4, 10);
    window().clickMenu(mnuEditCut);
    EXPECT_EQ(clipboard(), L" one\r\nline");
    EXPECT_EQ(page(0).text(), L"line two\r\nline three");
    EXPECT_TRUE(enabled(mnuEditUndo));

    window().clickMenu(mnuEditUndo);
    EXPECT_EQ(page(0).text(), L"line one\r\nline two\r\nline three");
    EXPECT_FALSE(enabled(mnuEditUndo));
    EXPECT_EQ(frm().UndoText(), L"");
    EXPECT_FALSE(window().clickMenu(mnuEditUndo));  // one level only
}

TEST_F(EditCommandsTest, CopyArmsUndoAndUndoRemovesWhatWasTypedSince) {
    page(0).setText(L"keep");
    page(0).selection().select(0, 4);
    window().clickMenu(mnuEditCopy);
    EXPECT_EQ(page(0).text(), L"keep");
    EXPECT_EQ(clipboard(), L"keep");
    EXPECT_TRUE(enabled(mnuEditUndo));

    page(0).selection().select(4, 0);
    window().type(0, L" typed later");
    window().pressShortcut(Shortcut::ctrl(L'Z'));
    EXPECT_EQ(page(0).text(), L"keep");
}

TEST_F(EditCommandsTest, PastePasteUndoReturnsToTheTextBeforeTheSecondPaste) {
    m_platform.clipboardContent() = L"ab";
    window().clickMenu(mnuEditPaste);
    window().clickMenu(mnuEditPaste);
    EXPECT_EQ(page(0).text(), L"abab");
    window().clickMenu(mnuEditUndo);
    EXPECT_EQ(page(0).text(), L"ab");
    EXPECT_FALSE(enabled(mnuEditUndo));
}

TEST_F(EditCommandsTest, PasteWithoutTextOnTheClipboardRemovesTheSelection) {
    m_platform.clipboardContent().reset();
    page(0).setText(L"abcdef");
    page(0).selection().select(1, 3);
    window().clickMenu(mnuEditPaste);
    EXPECT_EQ(page(0).text(), L"aef");
    window().clickMenu(mnuEditUndo);
    EXPECT_EQ(page(0).text(), L"abcdef");
}

// Cut stays enabled from the last opening of the menu, even once the page is empty.
TEST_F(EditCommandsTest, CutOnAnEmptyPageStoresEmptyText) {
    page(0).setText(L"x");
    page(0).selection().select(0, 1);
    window().openMenu(mnuEdit);
    page(0).setText(L"");
    frm().mnuEditCut_Click();
    EXPECT_EQ(clipboard(), L"");
    EXPECT_TRUE(enabled(mnuEditUndo));
    frm().mnuEditUndo_Click();
    EXPECT_EQ(page(0).text(), L"");
}

TEST_F(EditCommandsTest, UndoRestoresThePageItWasTakenFromAndShowsIt) {
    page(0).setText(L"page one");
    page(2).setText(L"page three");
    m_platform.clipboardContent() = L" pasted";
    page(0).selection().select(8, 0);
    window().clickMenu(mnuEditPaste);
    window().clickMenu(mnuGoThree);
    EXPECT_TRUE(enabled(mnuEditUndo));  // navigation leaves the snapshot alone

    window().clickMenu(mnuEditUndo);
    EXPECT_EQ(page(0).text(), L"page one");
    EXPECT_EQ(page(2).text(), L"page three");
    EXPECT_EQ(window().caption(), L"Quibbet - Page 1");
    EXPECT_TRUE(page(0).visible());
    EXPECT_FALSE(page(2).visible());
}

TEST_F(EditCommandsTest, BusyClipboardIsRetriedThenReportedAndNothingChanges) {
    page(0).setText(L"precious text");
    page(0).selection().select(0, 8);
    m_platform.clipboardContent() = L"theirs";
    m_platform.holdClipboard(-1);
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    window().pressShortcut(Shortcut::ctrl(L'X'));
    EXPECT_EQ(page(0).text(), L"precious text");
    EXPECT_FALSE(enabled(mnuEditUndo));
    EXPECT_EQ(m_platform.clipboardOpens(), 10);
    expectOnlyBox(m_platform,
                  {.text = L"The clipboard is in use by another program, so nothing was cut. Try again in a moment.",
                   .caption = L"Quibbets",
                   .icon = plat::MsgIcon::Exclamation});

    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    window().clickMenu(mnuEditPaste);
    EXPECT_EQ(page(0).text(), L"precious text");
    EXPECT_FALSE(enabled(mnuEditUndo));
    EXPECT_EQ(m_platform.messageBoxes().back().text,
              L"The clipboard is in use by another program, so nothing was pasted. Try again in a moment.");
}

TEST_F(EditCommandsTest, ClipboardReleasedWithinTheRetriesIsUsedSilently) {
    page(0).setText(L"precious text");
    page(0).selection().select(0, 9);
    m_platform.holdClipboard(3);
    window().pressShortcut(Shortcut::ctrl(L'X'));
    EXPECT_EQ(page(0).text(), L"text");
    EXPECT_EQ(clipboard(), L"precious ");
    EXPECT_GE(m_platform.waitedMilliseconds(), 300);
}

}  // namespace
}  // namespace notes::test
