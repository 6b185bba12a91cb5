// Clear All: the question, the archive's bytes, the backup of the archive before
// it, and the rule that no page is emptied unless its archive is on disk.
#include "notes/window/menu_ids.h"
#include "test_support.h"

namespace notes::test {
namespace {

class ClearAllTest : public NotesTest {
protected:
    // Answers the question, and then a failure message when `failing`.
    void clearAll(plat::MsgAnswer answer = plat::MsgAnswer::Yes, bool failing = false) {
        m_platform.queueAnswer(answer);
        if (failing) {
            m_platform.queueAnswer(plat::MsgAnswer::Ok);
        }
        window().clickMenu(mnuEditClear);
    }
    static std::string emptyBlock(int n) {
        return "**Page  " + std::to_string(n) + "\r\n\r\n\r\n\r\n**END**\r\n\r\n\r\n";
    }
};

TEST_F(ClearAllTest, AsksFirstAndNoChangesNothing) {
    start();
    page(0).setText(L"stays");
    clearAll(plat::MsgAnswer::No);
    expectOnlyBox(m_platform, {.text = L"Are you sure you want to clear all pages?",
                               .caption = L"Delete all pages?",
                               .buttons = plat::MsgButtons::YesNo,
                               .icon = plat::MsgIcon::Exclamation});
    EXPECT_EQ(page(0).text(), L"stays");
    EXPECT_EQ(readFile("pages.txt"), "<absent>");
    EXPECT_EQ(readFile("pages.bak"), "<absent>");
}

TEST_F(ClearAllTest, ArchiveHoldsEveryPageByteForByte) {
    start();
    page(0).setText(L"abc");
    page(9).setText(L"first line\r\nsecond line\r\n");
    clearAll();
    std::string expected = "**Page  1\r\n\r\nabc\r\n\r\n**END**\r\n\r\n\r\n";
    for (int n = 2; n <= 9; ++n) {
        expected += emptyBlock(n);
    }
    expected += "**Page  10\r\n\r\nfirst line\r\nsecond line\r\n\r\n\r\n**END**\r\n\r\n\r\n";
    EXPECT_EQ(readFile("pages.txt"), expected);
    EXPECT_EQ(readFile("pages.bak"), expected);  // the very first archive: a copy
    for (int i = 0; i < kPageCount; ++i) {
        EXPECT_EQ(page(i).text(), L"") << "page " << i + 1;
    }
}

TEST_F(ClearAllTest, TextOutsideTheAnsiSetMakesAUtf8Archive) {
    start();
    page(1).setText(L"\u03A9 \u20AC");
    clearAll();
    const std::string archive = readFile("pages.txt");
    EXPECT_EQ(archive.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(archive.find("**Page  2\r\n\r\n\xCE\xA9 \xE2\x82\xAC\r\n"), std::string::npos);
}

TEST_F(ClearAllTest, SecondClearKeepsTheFirstArchiveAsBackup) {
    start();
    page(4).setText(L"first run");
    clearAll();
    const std::string first = readFile("pages.txt");
    clearAll();
    std::string tenEmpty;
    for (int n = 1; n <= 10; ++n) {
        tenEmpty += emptyBlock(n);
    }
    EXPECT_EQ(readFile("pages.txt"), tenEmpty);
    EXPECT_EQ(readFile("pages.bak"), first);
}

TEST_F(ClearAllTest, KeepsPageCaptionAndGoEntriesAndWritesNoPageFile) {
    writePage(3, "three\r\n");
    start();
    window().clickMenu(mnuGoThree);
    clearAll();
    EXPECT_EQ(window().caption(), L"Quibbet - Page 3");
    EXPECT_EQ(m_program->window->currentPage(), 2);
    EXPECT_TRUE(page(2).visible());
    EXPECT_TRUE(window().menuEnabled(mnuGoThree));
    EXPECT_FALSE(window().menuEnabled(mnuGoFour));
    EXPECT_EQ(readPage(3), "three\r\n");
    EXPECT_EQ(m_platform.writeCount(L"page3.txt"), 0);
}

TEST_F(ClearAllTest, UnwritableArchiveClearsNothingAndSaysSo) {
    start();
    page(0).setText(L"must survive");
    m_platform.failWrites(L"pages.txt", L"Disk full");
    clearAll(plat::MsgAnswer::Yes, true);
    EXPECT_EQ(page(0).text(), L"must survive");
    ASSERT_EQ(m_platform.messageBoxes().size(), 2u);
    const plat::MessageBoxRequest& box = m_platform.messageBoxes()[1];
    EXPECT_EQ(box.text,
              L"The pages were not cleared, because their archive could not be written:\r\n\r\n"
              L"pages.txt: Disk full");
    EXPECT_EQ(box.caption, L"Quibbets");
    EXPECT_EQ(readFile("pages.txt"), "<absent>");
}

TEST_F(ClearAllTest, UnwritableBackupKeepsTheOldArchiveAndClearsNothing) {
    start();
    page(0).setText(L"old");
    clearAll();
    const std::string old = readFile("pages.txt");
    page(0).setText(L"new");
    m_platform.failWrites(L"pages.bak", L"Access is denied");
    clearAll(plat::MsgAnswer::Yes, true);
    EXPECT_EQ(page(0).text(), L"new");
    EXPECT_EQ(readFile("pages.txt"), old);
    EXPECT_EQ(m_platform.messageBoxes().back().text,
              L"The pages were not cleared, because their archive could not be written:\r\n\r\n"
              L"pages.bak: Access is denied");
}

}  // namespace
}  // namespace notes::test
