// Saves that meet a page file changed on disk since the window loaded or saved it
// (another window, a sync tool, an editor): nothing is written over unseen, both
// texts are kept, and only a user who is there is asked which stays in the page.
#include <filesystem>
#include <regex>

#include "notes/window/menu_ids.h"
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
};

TEST_F(ConflictTest, YesPutsThisWindowsTextInThePageAndKeepsTheOtherBeside) {
    writePage(1, "old\r\n");
    start();
    page(0).setText(L"mine");
    writePage(1, "saved elsewhere\r\n");
    m_platform.queueAnswer(plat::MsgAnswer::Yes);
    save();
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
    writePage(1, "old\r\n");
    start();
    page(0).setText(L"mine");
    writePage(1, "saved elsewhere\r\n");
    m_platform.queueAnswer(plat::MsgAnswer::No);
    save();
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
    start();
    const auto time = std::filesystem::last_write_time(pagePath(1));
    page(0).setText(L"mine");
    page(1).setText(L"two, edited");
    writePage(1, "bbbb\r\n");
    std::filesystem::last_write_time(pagePath(1), time + std::chrono::nanoseconds(1));
    std::filesystem::remove(pagePath(2));
    m_platform.queueAnswer(plat::MsgAnswer::Yes);
    save();
    EXPECT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_NE(narrow(m_platform.messageBoxes()[0].text).find("Page 1 has"), std::string::npos);
    EXPECT_EQ(readPage(2), "two, edited\r\n");
    EXPECT_EQ(besideFiles("changed elsewhere").size(), 1u);
}

}  // namespace
}  // namespace notes::test
