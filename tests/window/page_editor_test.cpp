// Big pages stay cheap: a hidden page's text and size reach its editor only when the
// page is shown, Save reads only pages that changed, and the page's own text is
// used throughout meanwhile (Go entries, Save, Clear All's archive).
#include "notes/pagestore/page_digest.h"
#include "notes/pagestore/page_files.h"
#include "notes/window/menu_ids.h"
#include "test_support.h"

#include <filesystem>
#include <new>

namespace notes::test {
namespace {

class PageEditorTest : public NotesTest {
protected:
    void SetUp() override {
        writePage(1, "one\r\n");
        writePage(3, "three\r\n");
        start();
    }
    // The desktop's own editor, under the page editor.
    plat::TextBox& box(int index) { return window().textBox(index); }
    int reads() {
        int total = 0;
        for (int i = 0; i < kPageCount; ++i) {
            total += window().textReads(i);
        }
        return total;
    }
};

TEST_F(PageEditorTest, AHiddenPagesTextReachesItsEditorWhenFirstShown) {
    EXPECT_EQ(box(0).text(), L"one");
    EXPECT_EQ(box(2).text(), L"");
    EXPECT_EQ(page(2).text(), L"three");
    EXPECT_TRUE(window().menuEnabled(mnuGoThree));
    EXPECT_FALSE(window().menuEnabled(mnuGoTwo));

    ASSERT_TRUE(window().clickMenu(mnuGoThree));
    EXPECT_EQ(box(2).text(), L"three");
    EXPECT_FALSE(page(2).changed());
    page(2).selection().select(5, 0);
    window().type(2, L"!");
    EXPECT_EQ(page(2).text(), L"three!");
}

// Out of memory while a big page's text is made: the page keeps its file's text, so
// Save cannot write the empty editor over the file, and the next show tries again.
TEST_F(PageEditorTest, APageWhoseTextCannotBeMadeKeepsItAndShowsLater) {
    bool fail = true;
    page(2).loadText(
        [&]() -> std::wstring {
            if (fail) {
                throw std::bad_alloc();
            }
            return L"three";
        },
        5);
    m_platform.queueAnswer(plat::MsgAnswer::Ok);  // "The page could not be shown"
    window().clickMenu(mnuGoThree);
    EXPECT_EQ(window().caption(), L"Quibbet - Page 1");
    window().pressShortcut(plat::Shortcut::ctrl(L'S'));
    EXPECT_EQ(readPage(3), "three\r\n");
    fail = false;
    window().clickMenu(mnuGoThree);
    EXPECT_EQ(box(2).text(), L"three");
}

TEST_F(PageEditorTest, AHiddenEditorTakesTheWindowsSizeWhenShown) {
    const plat::Rect before = box(2).geometry();
    window().userSetBounds({0, 0, 6000, 5000});
    EXPECT_EQ(box(2).geometry().width, before.width);
    EXPECT_EQ(page(2).geometry().width, 6000 - 120);  // the client area
    EXPECT_EQ(box(0).geometry().width, 6000 - 120);

    window().clickMenu(mnuGoThree);
    EXPECT_EQ(box(2).geometry().width, 6000 - 120);
    EXPECT_EQ(box(2).geometry().height, 5000 - 690);
}

TEST_F(PageEditorTest, SaveReadsOnlyWhatChanged) {
    window().clickMenu(mnuGoThree);
    const int before = reads();
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(reads(), before);

    window().type(2, L"typed ");
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(reads(), before + 1);
    EXPECT_EQ(readPage(3), "typed three\r\n");
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(reads(), before + 1);
}

TEST_F(PageEditorTest, APageTypedIntoAndBackIsNotRewritten) {
    window().clickMenu(mnuGoThree);
    writePage(3, "written by another copy\r\n");
    page(2).selection().select(0, 0);
    window().type(2, L"x");
    page(2).selection().select(0, 1);
    window().type(2, L"");
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(readPage(3), "written by another copy\r\n");
}

TEST_F(PageEditorTest, AnUnchangedPageWhoseFileWentIsWrittenAgain) {
    std::filesystem::remove(pagePath(3));
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(readPage(3), "three\r\n");
    EXPECT_EQ(box(2).text(), L"");
}

TEST_F(PageEditorTest, ClearAllArchivesAndEmptiesAPageNeverShown) {
    m_platform.queueAnswer(plat::MsgAnswer::Yes);
    window().clickMenu(mnuEditClear);
    EXPECT_NE(readFile("pages.txt").find("three"), std::string::npos);
    EXPECT_EQ(page(2).text(), L"");
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(readPage(3), "\r\n");
    EXPECT_FALSE(window().menuEnabled(mnuGoThree));
}

TEST(PageDigest, TellsFilesApartByEveryByteAndTheLength) {
    const std::string bytes(1001, 'a');
    EXPECT_EQ(digestOf(bytes), digestOf(std::string(1001, 'a')));
    for (std::size_t i : {std::size_t{0}, std::size_t{15}, std::size_t{16}, std::size_t{500}, std::size_t{1000}}) {
        std::string changed = bytes;
        changed[i] = 'b';
        EXPECT_NE(digestOf(changed), digestOf(bytes)) << i;
    }
    EXPECT_NE(digestOf(bytes.substr(0, 1000)), digestOf(bytes));
    EXPECT_NE(digestOf(std::string("ab\0", 3)), digestOf("ab"));
    EXPECT_NE(digestOf(std::string(16, 'x') + "ab"), digestOf(std::string(16, 'x') + "ba"));
}

}  // namespace
}  // namespace notes::test
