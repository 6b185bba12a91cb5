// Save, Exit, Exit Without Save and every other way of closing: which pages reach
// the disk, the Go entries after Save, and failures that must not pass silently.
#include "notes/window/menu_ids.h"
#include "platform/services/utf8.h"
#include "test_support.h"

namespace notes::test {
namespace {

using FileCommandsTest = NotesTest;

TEST_F(FileCommandsTest, SaveWritesPagesAndBringsGoEntriesUpToDate) {
    writePage(1, "one\r\n");
    start();
    page(3).setText(L"typed on page four");
    EXPECT_FALSE(window().menuEnabled(mnuGoFour));  // typing alone changes no entry
    page(0).setText(L"");
    window().pressShortcut(plat::Shortcut::ctrl(L'S'));
    EXPECT_TRUE(window().menuEnabled(mnuGoFour));
    EXPECT_FALSE(window().menuEnabled(mnuGoOne));
    EXPECT_EQ(readPage(4), "typed on page four\r\n");
    EXPECT_EQ(readPage(1), "\r\n");
    EXPECT_EQ(m_program->window->currentPage(), 0);
    EXPECT_EQ(window().caption(), L"Quibbet - Page 1");
}

TEST_F(FileCommandsTest, ExitSavesAndEndsTheProgram) {
    start();
    page(1).setText(L"keep me");
    window().clickMenu(mnuFileExit);
    EXPECT_EQ(m_platform.openFormCount(), 0);
    EXPECT_EQ(readPage(2), "keep me\r\n");
    EXPECT_EQ(setting(L"MainWidth"), "3855");
}

TEST_F(FileCommandsTest, ExitWithoutSaveDiscardsEditsButStoresSettings) {
    writePage(2, "saved\r\n");
    start();
    page(1).setText(L"discarded");
    window().clickMenu(mnuFileExitNoSave);
    EXPECT_EQ(readPage(2), "saved\r\n");
    EXPECT_NE(setting(L"MainLeft"), "<absent>");
}

TEST_F(FileCommandsTest, EveryOtherCloseSavesLikeExit) {
    start();
    page(0).setText(L"by the close button");
    window().requestClose();
    EXPECT_EQ(readPage(1), "by the close button\r\n");
    EXPECT_EQ(m_platform.openFormCount(), 0);
    stop();

    start();
    page(0).setText(L"by the launcher");
    m_platform.sendAppClose();
    EXPECT_EQ(readPage(1), "by the launcher\r\n");
    EXPECT_EQ(m_platform.openFormCount(), 0);
    stop();

    start();
    page(0).setText(L"by the end of the session");
    EXPECT_TRUE(m_platform.queryEndSession());
    EXPECT_EQ(readPage(1), "by the end of the session\r\n");
    m_platform.endSession();
    EXPECT_EQ(m_platform.openFormCount(), 0);
}

TEST_F(FileCommandsTest, SaveFailureNamesEveryFileInOneMessage) {
    start();
    page(2).setText(L"three");
    page(6).setText(L"seven");
    m_platform.failWrites(L"", L"Access is denied");
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    window().clickMenu(mnuFileSave);
    expectOnlyBox(
        m_platform,
        {.text = L"These pages could not be saved:\r\n\r\npage3.txt: Access is denied\r\npage7.txt: Access is denied",
         .caption = L"Quibbets",
         .icon = plat::MsgIcon::Exclamation});
}

// The text is in place once renamed; a folder flush that fails after that is a
// warning, and the page counts as saved (Exit asks nothing).
TEST_F(FileCommandsTest, AFolderThatCannotBeFlushedAfterTheWriteIsAWarningNotAFailedSave) {
    writePage(1, "old\r\n");
    start();
    page(0).setText(L"new");
    m_platform.failFolderFlushes(true);
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(readPage(1), "new\r\n");
    expectOnlyBox(m_platform, {.text = L"These pages were saved, but their folder could not be flushed to disk, so a "
                                       L"power cut now could still undo the save:\r\n\r\npage1.txt: "
                                       L"Input/output error",
                               .caption = L"Quibbets",
                               .icon = plat::MsgIcon::Exclamation});
    window().clickMenu(mnuFileExit);
    EXPECT_EQ(m_platform.openFormCount(), 0);
}

// Exit, and the end of the session, each ask; No keeps the window and its text.
TEST_F(FileCommandsTest, AFailedSaveHoldsBackExitAndTheSessionsEndUntilTheUserAgrees) {
    start();
    page(0).setText(L"unsaved");
    m_platform.failWrites(L"page1.txt", L"No space left on device");
    m_platform.queueAnswer(plat::MsgAnswer::No);
    window().clickMenu(mnuFileExit);
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m_platform.messageBoxes()[0].buttons, plat::MsgButtons::YesNo);
    EXPECT_EQ(m_platform.messageBoxes()[0].defaultButton, 2);
    EXPECT_EQ(m_platform.openFormCount(), 1);
    EXPECT_EQ(page(0).text(), L"unsaved");

    m_platform.queueAnswer(plat::MsgAnswer::No);
    EXPECT_FALSE(m_platform.queryEndSession());
    EXPECT_EQ(m_platform.openFormCount(), 1);

    m_platform.queueAnswer(plat::MsgAnswer::Yes);
    window().requestClose();
    EXPECT_EQ(m_platform.openFormCount(), 0);
}

TEST_F(FileCommandsTest, UnreadablePageFilesAreNamedAtStartAndLeftAlone) {
    writePage(3, "precious\r\n");
    m_platform.failReads(L"page3.txt", L"The process cannot access the file");
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    start();
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_NE(narrow(m_platform.messageBoxes()[0].text).find("page3.txt: The process cannot access the file"),
              std::string::npos);
    EXPECT_EQ(page(2).text(), L"");
    EXPECT_FALSE(window().menuEnabled(mnuGoThree));
    window().clickMenu(mnuFileExit);
    EXPECT_EQ(readPage(3), "precious\r\n");
}

// A big file of a hidden page is read when its page is first needed, so the page
// shows the file as it is then; until then no save writes over it or asks about it.
TEST_F(FileCommandsTest, ABigHiddenPageIsReadWhenFirstNeeded) {
    std::string big(kReadAtStartBytes + 1, 'a');
    big += "\r\n";
    writePage(3, big);
    writePage(5, big);
    start();
    EXPECT_TRUE(window().menuEnabled(mnuGoThree));
    EXPECT_TRUE(page(2).unread());
    writePage(3, "changed elsewhere\r\n");
    writePage(5, "also changed\r\n");
    page(0).setText(L"typed");
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(readPage(3), "changed elsewhere\r\n");
    window().clickMenu(mnuGoThree);
    EXPECT_EQ(page(2).text(), L"changed elsewhere");
    page(4).setText(page(4).text() + L", and typed");  // the file is read before the edit
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(readPage(5), "also changed, and typed\r\n");
    EXPECT_TRUE(m_platform.messageBoxes().empty());
}

TEST_F(FileCommandsTest, ABigHiddenPageThatCannotBeReadIsNamedAfterTheStepThatNeededIt) {
    std::string big(kReadAtStartBytes + 1, 'a');
    big += "\r\n";
    writePage(2, big);
    start();
    m_platform.failReads(L"page2.txt", L"The process cannot access the file");
    m_platform.queueAnswer(plat::MsgAnswer::Ok, [&] { EXPECT_EQ(window().caption(), L"Quibbet - Page 2"); });
    window().clickMenu(mnuNext);
    EXPECT_TRUE(m_platform.messageBoxes().empty());
    m_platform.advanceClock(0);
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_NE(narrow(m_platform.messageBoxes()[0].text).find("page2.txt: The process cannot access the file"),
              std::string::npos);
    EXPECT_EQ(page(1).text(), L"");
    window().clickMenu(mnuFileExit);
    EXPECT_EQ(readPage(2).size(), kReadAtStartBytes + 3);
}

TEST_F(FileCommandsTest, ACloseRequestWhileABoxIsOpenIsCarriedOutOnceItIsAnswered) {
    start();
    page(0).setText(L"kept");
    m_platform.failWrites(L"page1.txt", L"No space left on device");
    // The launcher's request arrives while "Exit anyway?" is open; meanwhile the disk
    // frees up. Run inside the box, the close would fail again and ask a second time.
    m_platform.queueAnswer(plat::MsgAnswer::No, [&] {
        m_platform.sendAppClose();
        EXPECT_EQ(m_platform.openFormCount(), 1);
        m_platform.clearWriteFaults();
    });
    window().clickMenu(mnuFileExit);
    EXPECT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m_platform.openFormCount(), 0);
    EXPECT_EQ(readPage(1), "kept\r\n");
}

TEST_F(FileCommandsTest, ACloseRequestDuringTheStartUpNoticeClosesTheProgramAfterIt) {
    writePage(3, "unreadable\r\n");
    m_platform.failReads(L"page3.txt", L"The process cannot access the file");
    m_platform.queueAnswer(plat::MsgAnswer::Ok, [&] {
        m_platform.sendAppClose();
        EXPECT_EQ(m_platform.openFormCount(), 1);
    });
    start();
    EXPECT_EQ(m_platform.openFormCount(), 0);
    EXPECT_NE(setting(L"MainWidth"), "<absent>");
}

TEST_F(FileCommandsTest, ACommandThatThrowsIsReportedAndTheWindowStaysAsItWas) {
    start();
    page(0).setText(L"typed");
    m_platform.throwOnWrites(L"page1.txt");
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    window().pressShortcut(plat::Shortcut::ctrl(L'S'));
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m_platform.messageBoxes()[0].text, L"The pages could not be saved: out of memory");
    EXPECT_EQ(m_platform.messageBoxes()[0].caption, L"Quibbets");
    EXPECT_EQ(m_platform.openFormCount(), 1);
    EXPECT_EQ(page(0).text(), L"typed");
    m_platform.clearWriteFaults();
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(readPage(1), "typed\r\n");
}

TEST_F(FileCommandsTest, TwoCopiesEditingDifferentPagesDoNotUndoEachOther) {
    writePage(1, "one\r\n");
    writePage(2, "two\r\n");
    start();
    plat::headless::HeadlessPlatform other(plat::fromUtf8(m_folder));
    const auto second = Main(other);
    page(0).setText(L"one, by the first copy");
    window().clickMenu(mnuFileSave);
    second->window->rtbNote(1).setText(L"two, by the second copy");
    other.form(0).clickMenu(mnuFileSave);
    EXPECT_EQ(readPage(1), "one, by the first copy\r\n");
    EXPECT_EQ(readPage(2), "two, by the second copy\r\n");
}

}  // namespace
}  // namespace notes::test
