// Unsaved text kept for recovery: when its copy is written, when it goes, and what a
// start after a crash puts back. stop() ends the program as a kill does: no close
// event, and the process's locks go with it.
#include <filesystem>
#include <fstream>

#include "notes/pagestore/recovery.h"
#include "notes/pagestore/text_codec.h"
#include "notes/window/menu_ids.h"
#include "platform/services/utf8.h"
#include "test_support.h"

namespace notes::test {
namespace {

class RecoveryTest : public NotesTest {
protected:
    std::string recoveryFolder() const { return m_folder + "/recovery"; }
    // Names of the copies of unsaved text (lock files left out).
    std::vector<std::string> copies() const {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(recoveryFolder(), ignored)) {
            const std::string name = entry.path().filename().string();
            if (!name.ends_with(".lock")) {
                names.push_back(name);
            }
        }
        return names;
    }
    // The text that the one copy there holds.
    std::wstring copiedText() {
        const std::vector<std::string> names = copies();
        EXPECT_EQ(names.size(), 1u);
        std::ifstream in(recoveryFolder() + "/" + names.at(0), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        const std::optional<RecoveryRecord> record = parseRecovery(bytes);
        EXPECT_TRUE(record);
        return record ? decodePageFile(m_platform, record->pageBytes) : L"";
    }
    // Lets the timers run: a write falls due, and its result is collected.
    void elapse(int milliseconds) { m_platform.advanceClock(milliseconds); }
    void typeAt(int page, const std::wstring& text) { window().type(page, text); }
};

TEST_F(RecoveryTest, ACopyIsWrittenASecondAfterTypingPausesAndAtLeastEveryTwoSecondsWhileItGoesOn) {
    start();
    EXPECT_EQ(m_platform.runningTimers(), 0);
    typeAt(0, L"a");
    elapse(UnsavedCopies::kPauseMs - 1);
    EXPECT_TRUE(copies().empty());
    elapse(1);
    EXPECT_EQ(copiedText(), L"a");
    // A key every 300 ms never pauses, yet the copy follows within the longest wait.
    for (int i = 0; i < 8; ++i) {
        typeAt(0, L"b");
        elapse(300);
        if (i == 4) {
            EXPECT_EQ(copiedText(), L"abbbbb");  // written 1.5 s after the first of them
        }
    }
    elapse(UnsavedCopies::kPauseMs);
    EXPECT_EQ(copiedText(), L"abbbbbbbb");
    // Nothing changes, nothing runs.
    EXPECT_EQ(m_platform.runningTimers(), 0);
    const int tasks = m_platform.backgroundTasks();
    elapse(60000);
    EXPECT_EQ(m_platform.backgroundTasks(), tasks);
}

TEST_F(RecoveryTest, NothingIsWrittenOrArmedByAStartWithoutTyping) {
    writePage(1, "saved\r\n");
    start();
    window().pressShortcut(plat::Shortcut::ctrl(L'S'));
    elapse(10000);
    EXPECT_EQ(m_platform.runningTimers(), 0);
    EXPECT_FALSE(std::filesystem::exists(recoveryFolder()));
}

TEST_F(RecoveryTest, SaveRemovesTheCopiesItWroteAndAFailedSaveKeepsThem) {
    start();
    typeAt(0, L"one");
    typeAt(2, L"three");
    elapse(UnsavedCopies::kPauseMs + 100);
    EXPECT_EQ(copies().size(), 2u);
    m_platform.failWrites(L"page3.txt", L"The disk is full.");
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    window().pressShortcut(plat::Shortcut::ctrl(L'S'));
    EXPECT_EQ(readPage(1), "one\r\n");
    EXPECT_EQ(copiedText(), L"three");
    m_platform.clearWriteFaults();
    window().clickMenu(mnuFileExit);
    EXPECT_TRUE(std::filesystem::is_empty(recoveryFolder()));  // the lock file went too
}

TEST_F(RecoveryTest, AKilledWindowsTextComesBackOnceAsAnUnsavedEdit) {
    writePage(3, "as saved\r\n");
    start();
    page(2).setText(L"as saved, and a line typed since");
    elapse(UnsavedCopies::kPauseMs + 100);
    stop();

    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    start();
    ASSERT_EQ(m_platform.messageBoxes().size(), 1u);
    EXPECT_EQ(narrow(m_platform.messageBoxes()[0].text),
              "Text that was not saved when Quibbets last ended is back on page 3. It is not saved yet: Save keeps "
              "it, Exit Without Save drops it.");
    EXPECT_EQ(page(2).text(), L"as saved, and a line typed since");
    EXPECT_TRUE(page(2).changed());
    EXPECT_TRUE(window().menuEnabled(mnuGoThree));
    EXPECT_EQ(readPage(3), "as saved\r\n");
    EXPECT_EQ(copies().size(), 1u);  // now this window's own
    window().clickMenu(mnuFileExitNoSave);
    EXPECT_TRUE(copies().empty());
    stop();

    start();  // nothing to offer: an unexpected box fails the test
    EXPECT_EQ(page(2).text(), L"as saved");
}

TEST_F(RecoveryTest, ACopyWhosePageFileChangedSinceIsStillPutBackAndSaid) {
    writePage(1, "old\r\n");
    start();
    typeAt(0, L"typed ");
    elapse(UnsavedCopies::kPauseMs + 100);
    stop();
    writePage(1, "changed elsewhere meanwhile\r\n");
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    start();
    EXPECT_NE(narrow(m_platform.messageBoxes().at(0).text).find("The file of page 1 has changed since"),
              std::string::npos);
    EXPECT_EQ(page(0).text(), L"typed old");
    // Its save meets that change too, as its text started from the old file.
    m_platform.queueAnswer(plat::MsgAnswer::Yes);
    window().pressShortcut(plat::Shortcut::ctrl(L'S'));
    EXPECT_EQ(m_platform.messageBoxes().size(), 2u);
    EXPECT_EQ(readPage(1), "typed old\r\n");
}

TEST_F(RecoveryTest, TwoGoneWindowsTextsForOnePageAreBothKept) {
    std::filesystem::create_directories(recoveryFolder());
    for (const auto& [owner, text, written] : {std::tuple{L"1-1", "older", 1000}, std::tuple{L"2-2", "newer", 2000}}) {
        RecoveryStore store(m_platform, owner);
        ASSERT_TRUE(store.claim().ok);
        ASSERT_TRUE(store.write({0, {}, written, std::string(text) + "\r\n"}).ok);
    }
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    start();
    EXPECT_EQ(page(0).text(), L"newer");
    const std::wstring kept = unsavedCopyName(1, 1000);
    EXPECT_EQ(readFile(narrow(kept)), "older\r\n");
    EXPECT_NE(m_platform.messageBoxes().at(0).text.find(kept), std::wstring::npos);
    EXPECT_EQ(copies().size(), 1u);  // both gone windows' copies went, this one's is there
    for (const auto& entry : std::filesystem::directory_iterator(recoveryFolder())) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("1-1")) << entry.path();
        EXPECT_FALSE(entry.path().filename().string().starts_with("2-2")) << entry.path();
    }
}

TEST_F(RecoveryTest, ARunningWindowsCopiesAreLeftAlone) {
    RecoveryStore running(m_platform, L"77-7");
    ASSERT_TRUE(running.claim().ok);
    ASSERT_TRUE(running.write({4, {}, 1, "still typing\r\n"}).ok);
    start();
    EXPECT_EQ(page(4).text(), L"");
    EXPECT_EQ(copies(), std::vector<std::string>{"77-7.page5"});
}

TEST_F(RecoveryTest, AFailingCopyIsToldOnceAndTypingGoesOn) {
    start();
    m_platform.failWrites(L"", L"The disk is full.");
    typeAt(0, L"x");
    // The copy fails while the save's own message is open: it waits for that to close.
    m_platform.queueAnswer(plat::MsgAnswer::Ok, [&] {
        elapse(UnsavedCopies::kPauseMs + 100);
        EXPECT_EQ(m_platform.messageBoxes().size(), 1u);
    });
    window().pressShortcut(plat::Shortcut::ctrl(L'S'));
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    elapse(300);
    ASSERT_EQ(m_platform.messageBoxes().size(), 2u);
    EXPECT_NE(narrow(m_platform.messageBoxes()[1].text).find("The disk is full."), std::string::npos);
    typeAt(0, L"y");
    elapse(5000);
    EXPECT_EQ(m_platform.messageBoxes().size(), 2u);
    m_platform.clearWriteFaults();
    typeAt(0, L"z");
    elapse(UnsavedCopies::kPauseMs + 100);
    EXPECT_EQ(copiedText(), L"xyz");
}

TEST_F(RecoveryTest, AWindowClosedAfterAFailedSaveLeavesItsLastTextForTheNextStart) {
    start();
    m_platform.failWrites(L"page1.txt", L"The disk is full.");
    typeAt(0, L"typed just now");                  // no time for a copy before the close
    m_platform.queueAnswer(plat::MsgAnswer::Yes);  // exit anyway
    window().clickMenu(mnuFileExit);
    EXPECT_EQ(copiedText(), L"typed just now");
    stop();
    m_platform.clearWriteFaults();
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    start();
    EXPECT_EQ(page(0).text(), L"typed just now");
}

TEST_F(RecoveryTest, ClearAllIsKeptForThePagesItEmptied) {
    writePage(2, "two\r\n");
    start();
    m_platform.queueAnswer(plat::MsgAnswer::Yes);
    window().clickMenu(mnuEditClear);
    elapse(UnsavedCopies::kPauseMs + 100);
    EXPECT_EQ(copies().size(), 1u);  // pages that were empty all along have nothing to keep
    stop();
    m_platform.queueAnswer(plat::MsgAnswer::Ok);
    start();
    EXPECT_NE(narrow(m_platform.messageBoxes().back().text).find("back on page 2."), std::string::npos);
    EXPECT_EQ(page(1).text(), L"");
    window().pressShortcut(plat::Shortcut::ctrl(L'S'));
    EXPECT_EQ(readPage(2), "\r\n");
}

TEST_F(RecoveryTest, ARecordCutShortIsNotTakenForText) {
    const std::string whole = formatRecovery({2, {std::nullopt, digestOf("x")}, 5, "text\r\n"});
    const std::optional<RecoveryRecord> back = parseRecovery(whole);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->page, 2);
    EXPECT_EQ(back->pageBytes, "text\r\n");
    EXPECT_EQ(back->origin.digest, digestOf("x"));
    EXPECT_FALSE(back->origin.identity);
    EXPECT_FALSE(parseRecovery(whole.substr(0, whole.size() - 1)));
    EXPECT_FALSE(parseRecovery(whole + "more"));
}

}  // namespace
}  // namespace notes::test
