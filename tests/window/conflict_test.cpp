// Other writers of the page files (another window, a sync tool, an editor): a save
// that meets a file changed since the window loaded or saved it writes nothing over
// unseen, both texts are kept, and only a user who is there is asked which stays in
// the page; a page without unsaved edits follows its file.
#include <filesystem>
#include <regex>

#include "notes/window/menu_ids.h"
#include "platform/services/utf8.h"
#include "test_support.h"

namespace notes::test {
namespace {

class ConflictTest : public NotesTest {
protected:
    // The files beside the pages whose names say they keep a text of a conflict.
    std::vector<std::string> besideFiles(const std::string& what) const {
        std::vector<std::string> names;
        const std::regex pattern(R"(page\d+ \()" + what + R"( \d{4}-\d\d-\d\d \d{4}\)\.txt)");
        for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
            const std::string name = entry.path().filename().string();
            if (std::regex_match(name, pattern)) {
                names.push_back(name);
            }
        }
        return names;
    }
    void save() { window().pressShortcut(plat::Shortcut::ctrl(L'S')); }
    // Page 1 edited here to "mine" while another writer saved it; then this save,
    // whose question gets `answer`.
    void saveOverAChange(plat::MsgAnswer answer) {
        writePage(1, "old\r\n");
        start();
        page(0).setText(L"mine");
        writePage(1, "saved elsewhere\r\n");
        m_platform.queueAnswer(answer);
        save();
    }
};

TEST_F(ConflictTest, YesPutsThisWindowsTextInThePageAndKeepsTheOtherBeside) {
    saveOverAChange(plat::MsgAnswer::Yes);
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    const plat::MessageBoxRequest& box = m_platform.messageBoxes()[0];
    EXPECT_EQ(box.buttons, plat::MsgButtons::YesNo);
    EXPECT_EQ(box.defaultButton, 1);
    EXPECT_EQ(readPage(1), "mine\r\n");
    const std::vector<std::string> kept = besideFiles("changed elsewhere");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept[0]), "saved elsewhere\r\n");
    EXPECT_NE(narrow(box.text).find(kept[0]), std::string::npos) << narrow(box.text);
    // Its own write is no news: the next save asks nothing.
    page(0).setText(L"mine, later");
    save();
    EXPECT_EQ(readPage(1), "mine, later\r\n");
    EXPECT_EQ(m_platform.messageBoxes().size(), 1u);
}

TEST_F(ConflictTest, NoKeepsTheFilesTextShownAndThisWindowsBeside) {
    saveOverAChange(plat::MsgAnswer::No);
    EXPECT_EQ(readPage(1), "saved elsewhere\r\n");
    EXPECT_EQ(page(0).text(), L"saved elsewhere");
    EXPECT_FALSE(page(0).changed());
    const std::vector<std::string> kept = besideFiles("from this window");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept[0]), "mine\r\n");
}

// No one to answer: the default, without a box.
TEST_F(ConflictTest, AnUnattendedCloseKeepsBothTextsWithoutAsking) {
    start();
    page(4).setText(L"mine on a new page");
    writePage(5, "a page file that appeared meanwhile\r\n");
    m_platform.sendAppClose();
    EXPECT_EQ(m_platform.openFormCount(), 0);
    EXPECT_EQ(readPage(5), "mine on a new page\r\n");
    const std::vector<std::string> kept = besideFiles("changed elsewhere");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept[0]), "a page file that appeared meanwhile\r\n");
}

// The same size and nearly the same time: the bytes tell. A file deleted elsewhere
// leaves nothing to keep, and the page's text is written as before.
TEST_F(ConflictTest, ARewriteOfTheSameSizeIsCaughtAndADeletedFileIsWrittenAgain) {
    writePage(1, "aaaa\r\n");
    writePage(2, "two\r\n");
    writePage(3, "three\r\n");
    start();
    const auto time = std::filesystem::last_write_time(pagePath(1));
    page(0).setText(L"mine");
    page(1).setText(L"two, edited");
    page(2).setText(L"three, edited");
    writePage(1, "bbbb\r\n");
    std::filesystem::last_write_time(pagePath(1), time + std::chrono::nanoseconds(1));
    std::filesystem::remove(pagePath(2));
    // Touched, not changed: the same bytes at a later time are the same version.
    std::filesystem::last_write_time(pagePath(3), time + std::chrono::seconds(5));
    m_platform.queueAnswer(plat::MsgAnswer::Yes);
    save();
    EXPECT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_NE(narrow(m_platform.messageBoxes()[0].text).find("Page 1 has"), std::string::npos);
    EXPECT_EQ(readPage(2), "two, edited\r\n");
    EXPECT_EQ(readPage(3), "three, edited\r\n");
    EXPECT_EQ(besideFiles("changed elsewhere").size(), 1u);
}

// Clear All empties the pages unsaved; their save meets a change made meanwhile.
TEST_F(ConflictTest, PagesClearedHereAndChangedElsewhereKeepBothAtTheirSave) {
    writePage(1, "one\r\n");
    start();
    m_platform.queueAnswer(plat::MsgAnswer::Yes);
    window().clickMenu(mnuEditClear);
    writePage(1, "one, saved elsewhere\r\n");
    m_platform.queueAnswer(plat::MsgAnswer::Yes);
    save();
    EXPECT_EQ(readPage(1), "\r\n");
    const std::vector<std::string> kept = besideFiles("changed elsewhere");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(readFile(kept[0]), "one, saved elsewhere\r\n");
}

class FollowTest : public ConflictTest {
protected:
    // Another program replaces page `number` by rename, as savers and sync tools do.
    void replacePage(int number, const std::string& bytes) {
        writePage(number + 100, bytes);
        std::filesystem::rename(pagePath(number + 100), pagePath(number));
    }
    void folderChanged() {
        m_platform.changeFolder(plat::fromUtf8(m_folder));
        m_platform.advanceClock(FileFollower::kSettleMs);
    }
};

TEST_F(FollowTest, APageWithoutUnsavedEditsFollowsItsFileAndAnEditedOneWaitsForItsSave) {
    writePage(1, "one, and more\r\n");
    writePage(2, "two\r\n");
    start();
    page(0).selection().select(5, 0);
    page(1).setText(L"two, edited here");
    replacePage(1, "one, saved elsewhere\r\n");
    replacePage(2, "two, saved elsewhere\r\n");
    replacePage(3, "three appeared\r\n");
    EXPECT_EQ(page(0).text(), L"one, and more");  // nothing happens before the folder says so
    folderChanged();
    EXPECT_EQ(page(0).text(), L"one, saved elsewhere");
    EXPECT_FALSE(page(0).changed());
    EXPECT_EQ(page(0).selection().selStart(), 5);
    EXPECT_EQ(page(1).text(), L"two, edited here");
    EXPECT_TRUE(window().menuEnabled(mnuGoThree));
    replacePage(1, "\r\n");
    folderChanged();
    EXPECT_FALSE(window().menuEnabled(mnuGoOne));
}

// Where the folder says nothing (a network folder), coming back to the window does.
TEST_F(FollowTest, ComingBackToTheWindowLooksAtThePageFiles) {
    writePage(1, "one\r\n");
    start();
    replacePage(1, "one, saved elsewhere\r\n");
    window().activate();
    EXPECT_EQ(page(0).text(), L"one, saved elsewhere");
}

// Its own save is no news, and a file gone leaves the page's text where it is.
TEST_F(FollowTest, OwnWritesAndDeletedFilesAreNotFollowed) {
    writePage(1, "one\r\n");
    start();
    page(0).setText(L"saved here");
    save();
    const int reads = window().textReads(0);
    folderChanged();
    EXPECT_EQ(window().textReads(0), reads);
    std::filesystem::remove(pagePath(1));
    folderChanged();
    EXPECT_EQ(page(0).text(), L"saved here");
    EXPECT_TRUE(m_platform.messageBoxes().empty());
}

}  // namespace
}  // namespace notes::test
