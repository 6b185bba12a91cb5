// Page files: the byte format, what Save writes and leaves alone, what start-up
// reads, and what happens when the disk says no.
#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "notes/pagestore/page_files.h"
#include "notes/pagestore/text_codec.h"
#include "notes/window/menu_ids.h"
#include "platform/services/utf8.h"
#include "test_support.h"

namespace notes::test {
namespace {

using PageFilesTest = NotesTest;

TEST_F(PageFilesTest, SaveWritesTextPlusCrLfAndLoadGivesItBack) {
    start();
    page(0).setText(L"first");
    page(2).setText(L"line one\r\nline two\r\n");
    page(9).setText(L"ten");
    EXPECT_TRUE(SavePages().empty());
    EXPECT_EQ(readPage(1), "first\r\n");
    EXPECT_EQ(readPage(3), "line one\r\nline two\r\n\r\n");
    EXPECT_EQ(readPage(10), "ten\r\n");
    EXPECT_FALSE(pageExists(2));

    stop();
    start();
    expectPageTexts({{0, L"first"}, {2, L"line one\r\nline two\r\n"}, {9, L"ten"}, {1, L""}});
}

TEST_F(PageFilesTest, RepeatedSaveAndLoadNeverAddsOrLosesCharacters) {
    const std::wstring text = L"\r\n  blanks and breaks \r\n\r\n";
    for (int round = 0; round < 3; ++round) {
        start();
        if (round == 0) {
            page(4).setText(text);
        }
        window().clickMenu(mnuFileSave);
        EXPECT_EQ(page(4).text(), text);
        stop();
    }
    EXPECT_EQ(readPage(5), "\r\n  blanks and breaks \r\n\r\n\r\n");
}

TEST_F(PageFilesTest, FilesFromElsewhereKeepEveryCharacter) {
    writePage(1, "ab");
    writePage(2, "no final line end");
    writePage(3, "\r\n");
    writePage(4, "x");
    start();
    expectPageTexts({{0, L"ab"}, {1, L"no final line end"}, {2, L""}, {3, L"x"}});
}

TEST_F(PageFilesTest, Utf8FileWithByteOrderMarkLoads) {
    writePage(6, "\xEF\xBB\xBF\xD0\x9F\xE2\x9C\x93\r\n");
    start();
    EXPECT_EQ(page(5).text(), L"\u041f\u2713");
}

TEST_F(PageFilesTest, HiddenPageFileCountsAsMissing) {
    writePage(2, "secret\r\n");
    m_platform.markHidden(plat::fromUtf8(pagePath(2)));
    start();
    EXPECT_EQ(page(1).text(), L"");
}

TEST_F(PageFilesTest, UnchangedPagesAreNotRewritten) {
    writePage(1, "one\r\n");
    writePage(2, "two\r\n");
    start();
    page(1).setText(L"two, changed");
    EXPECT_TRUE(SavePages().empty());
    EXPECT_EQ(m_platform.writeCount(L"page1.txt"), 0);
    EXPECT_EQ(m_platform.writeCount(L"page2.txt"), 1);
    EXPECT_TRUE(SavePages().empty());
    EXPECT_EQ(m_platform.writeCount(L"page2.txt"), 1);
}

TEST_F(PageFilesTest, AMissingFileIsWrittenAgainEvenIfTheTextIsUnchanged) {
    writePage(3, "three\r\n");
    start();
    std::filesystem::remove(pagePath(3));
    EXPECT_TRUE(SavePages().empty());
    EXPECT_EQ(readPage(3), "three\r\n");
}

TEST_F(PageFilesTest, AnEmptiedPageStaysEmptyAfterTheNextStart) {
    writePage(4, "old text\r\n");
    start();
    page(3).setText(L"");
    EXPECT_TRUE(SavePages().empty());
    EXPECT_EQ(readPage(4), "\r\n");
    stop();
    start();
    EXPECT_EQ(page(3).text(), L"");
}

TEST_F(PageFilesTest, APageEmptyAllAlongGetsNoFile) {
    start();
    EXPECT_TRUE(SavePages().empty());
    for (int n = 1; n <= kPageCount; ++n) {
        EXPECT_FALSE(pageExists(n)) << n;
    }
}

// Where each user's pages live apart from the program (Linux), the folder is only made
// by the first save that has something to write, for the user alone.
TEST_F(PageFilesTest, ASeparateDataFolderIsMadeByTheFirstSaveForTheUserAlone) {
    const std::string data = m_folder + "/data/quibbets";
    m_platform.setDataFolder(plat::fromUtf8(data));
    start();
    EXPECT_TRUE(SavePages().empty());
    EXPECT_FALSE(std::filesystem::exists(data));

    page(1).setText(L"two");
    window().clickMenu(mnuFileSave);
    EXPECT_EQ(std::filesystem::status(data).permissions(), std::filesystem::perms::owner_all);
    std::ifstream file(data + "/page2.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "two\r\n");
    stop();
    start();
    expectPageTexts({{1, L"two"}});
}

TEST_F(PageFilesTest, ADataFolderThatCannotBeMadeIsReportedForEachPage) {
    std::ofstream(m_folder + "/blocked") << "a file where the folder should be";
    m_platform.setDataFolder(plat::fromUtf8(m_folder + "/blocked/quibbets"));
    start();
    page(0).setText(L"one");
    const PageProblems problems = SavePages();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(narrow(describeProblems(problems)), "page1.txt: Not a directory");
}

TEST_F(PageFilesTest, FailedWriteIsReportedAndKeepsTheOldFile) {
    writePage(3, "old\r\n");
    start();
    page(2).setText(L"new");
    page(4).setText(L"four");
    m_platform.failWrites(L"page3.txt", L"No space left on device");
    const PageProblems problems = SavePages();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(narrow(describeProblems(problems)), "page3.txt: No space left on device");
    EXPECT_EQ(readPage(3), "old\r\n");
    EXPECT_EQ(readPage(5), "four\r\n");

    // The failed page is tried again at the next save.
    m_platform.clearWriteFaults();
    EXPECT_TRUE(SavePages().empty());
    EXPECT_EQ(readPage(3), "new\r\n");
}

// Temporary files are named "<page file>.<writer's pid>-<count>.quibtmp". A pid above
// Linux's largest (2^22) never runs; this test process does.
TEST_F(PageFilesTest, LeftoverTemporaryFilesNeverLoadAndOnlyThoseOfALiveSaveStay) {
    const std::string live = std::to_string(::getppid());
    const std::string old = m_folder + "/page1.txt." + live + "-1.quibtmp";
    const std::string fresh = m_folder + "/page2.txt." + live + "-2.quibtmp";
    const std::string crashed = m_folder + "/page3.txt.99999999-3.quibtmp";
    const std::string unnamed = m_folder + "/page4.txt.quibtmp";
    // This process's own id on a file at start: a dead copy's, whose id came round.
    const std::string own = m_folder + "/page5.txt." + std::to_string(::getpid()) + "-4.quibtmp";
    for (const std::string& path : {old, fresh, crashed, unnamed, own}) {
        std::ofstream(path) << "half written";
    }
    std::filesystem::last_write_time(old, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    start();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(page(i).text(), L"") << i;
    }
    EXPECT_FALSE(std::filesystem::exists(old));
    EXPECT_FALSE(std::filesystem::exists(crashed));
    EXPECT_FALSE(std::filesystem::exists(own));
    // A recent one of a live process may be another copy of the program saving now;
    // one that names no writer waits for its age.
    EXPECT_TRUE(std::filesystem::exists(fresh));
    EXPECT_TRUE(std::filesystem::exists(unnamed));
}

TEST_F(PageFilesTest, SaveLeavesNoTemporaryFiles) {
    start();
    for (int i = 0; i < kPageCount; ++i) {
        page(i).setText(std::wstring(1000, static_cast<wchar_t>(L'a' + i)));
    }
    EXPECT_TRUE(SavePages().empty());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
        EXPECT_EQ(entry.path().extension(), ".txt") << entry.path();
        ++files;
    }
    EXPECT_EQ(files, kPageCount);
}

}  // namespace
}  // namespace notes::test
