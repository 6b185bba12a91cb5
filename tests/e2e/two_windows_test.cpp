// Two windows on one folder. A page without unsaved edits follows its file, whoever
// changed it: the other window's Save, a program that replaces the file by rename
// or rewrites it in place. A Save that meets a page changed on disk and in the
// window asks once, and both texts are kept.
#include <algorithm>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr int kQuestionIcon = 32514;  // IDI_QUESTION
constexpr wchar_t kConflictOpening[] =
    L"Page 1 has changed on disk since this window loaded or saved it, and this window has changes of its own. "
    L"Both texts are kept.";
constexpr wchar_t kElsewherePrefix[] = L"page1 (changed elsewhere ";
constexpr wchar_t kOwnPrefix[] = L"page1 (from this window ";

// Dialog windows of a run, shown or not yet shown.
std::vector<HWND> dialogsOf(NotesApp& app) {
    std::vector<HWND> found;
    for (HWND window : app.process().topLevelWindows()) {
        if (windowClass(window) == L"#32770") {
            found.push_back(window);
        }
    }
    return found;
}

// The name a kept text gets for page 1 at local time `at`.
std::wstring elsewhereName(const SYSTEMTIME& at) {
    wchar_t stamp[32] = {};
    swprintf(stamp, 32, L"%04u-%02u-%02u %02u%02u", at.wYear, at.wMonth, at.wDay, at.wHour, at.wMinute);
    return kElsewherePrefix + std::wstring(stamp) + L").txt";
}

// The first name in double quotes in a message.
std::wstring firstQuoted(const std::wstring& text) {
    const size_t open = text.find(L'"');
    const size_t close = open == std::wstring::npos ? open : text.find(L'"', open + 1);
    return close == std::wstring::npos ? std::wstring() : text.substr(open + 1, close - open - 1);
}

class TwoWindows : public NotesTest {
protected:
    void TearDown() override {
        m_second.reset();  // ends the second run if it is still there
        NotesTest::TearDown();
    }

    // Starts another run of the program on the test folder, beside the first.
    NotesWindow& startSecondWindow() {
        m_second = NotesApp::launch(m_folder);
        return m_second->window();
    }

    // Waits (bounded) until `page` of `window` shows `expected`; tells what it shows
    // when it does not get there.
    static ::testing::AssertionResult showsWithin(NotesWindow& window, const std::wstring& expected, int page = 1) {
        std::wstring shown;
        if (waitUntil([&] { return (shown = window.text(page)) == expected; }, kWait, Millis{50})) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "page " << page << " shows \"" << toUtf8(shown) << "\", not \"" << toUtf8(expected) << "\"";
    }

    // Once the run has fetched its messages (the probe's answer comes from its main
    // loop, or from the loop of a box it shows), expects no box: a message box exists
    // before its loop fetches anything.
    static void expectNoBox(NotesApp& app, NotesWindow& window, const char* who, const char* when) {
        window.menu();
        EXPECT_TRUE(dialogsOf(app).empty()) << "a message box in " << who << " " << when;
    }

    void expectNoBoxes(NotesWindow& a, NotesWindow& b, const char* when) {
        expectNoBox(*m_app, a, "A", when);
        expectNoBox(*m_second, b, "B", when);
    }

    // The bytes of a file beside the pages, "(no file)" when there is none.
    std::string bytesOf(const std::wstring& name) const { return m_folder.read(name).value_or("(no file)"); }

    // Files beside the pages whose names start with `prefix`.
    std::vector<std::wstring> filesStarting(const std::wstring& prefix) const {
        std::vector<std::wstring> found;
        for (const std::wstring& name : m_folder.fileNames()) {
            if (startsWith(name, prefix)) {
                found.push_back(name);
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    std::unique_ptr<NotesApp> m_second;
};

TEST_F(TwoWindows, UneditedPagesFollowTheirFilesAndAConflictingSaveKeepsBothTexts) {
    NotesWindow& a = startWindow({{1, "start\r\n"}, {2, "two\r\n"}});
    NotesWindow& b = startSecondWindow();
    EXPECT_EQ(a.text(1), L"start");
    EXPECT_EQ(b.text(1), L"start");
    expectNoBoxes(a, b, "at start");

    // A's Save reaches B, which has no edits of its own.
    a.appendText(1, L" A");
    ASSERT_TRUE(a.chooseAndWait({L"&File", L"&Save"}, kWait)) << "A's Save did not end (a box?)";
    EXPECT_EQ(bytesOf(L"page1.txt"), "start A\r\n");
    EXPECT_TRUE(showsWithin(b, L"start A")) << "B did not follow A's Save";
    expectNoBoxes(a, b, "after A's Save");

    // Another program replaces the file by rename: both windows follow.
    m_folder.write(L"incoming.tmp", "renamed\r\n");
    ASSERT_TRUE(MoveFileExW(m_folder.file(L"incoming.tmp").c_str(), m_folder.file(L"page1.txt").c_str(),
                            MOVEFILE_REPLACE_EXISTING))
        << lastErrorText();
    EXPECT_TRUE(showsWithin(b, L"renamed")) << "B did not follow the rename";
    EXPECT_TRUE(showsWithin(a, L"renamed")) << "A did not follow the rename";

    // Both edit; B saves. A's page has edits of its own and keeps them. To know that A
    // has looked at its files since B's Save, another program then rewrites page 2 in
    // place (a new length, so that the file is another version by its size alone),
    // and A shows that first.
    a.appendText(1, L" by A");
    b.appendText(1, L" by B");
    ASSERT_TRUE(b.chooseAndWait({L"&File", L"&Save"}, kWait)) << "B's Save did not end (a box?)";
    ASSERT_EQ(bytesOf(L"page1.txt"), "renamed by B\r\n");
    m_folder.write(L"page2.txt", "two, rewritten\r\n");
    EXPECT_TRUE(showsWithin(a, L"two, rewritten", 2)) << "A did not follow the rewrite of page 2";
    a.choose({L"&<"});
    ASSERT_TRUE(waitUntil([&] { return a.caption() == L"Quibbet - Page 1"; }, kWait));
    EXPECT_EQ(a.text(1), L"renamed by A") << "A's unsaved edits were replaced by the file";
    expectNoBoxes(a, b, "after B's Save");

    // A's Save meets the change: one question, Yes keeps A's text in the page and
    // B's in a file beside it.
    SYSTEMTIME before{};
    GetLocalTime(&before);
    a.choose({L"&File", L"&Save"});
    const MessageBoxView box = waitForMessageBox(m_app->process());
    SYSTEMTIME after{};
    GetLocalTime(&after);
    EXPECT_EQ(dialogsOf(*m_app), std::vector<HWND>{box.window}) << "more than one box in A";
    EXPECT_TRUE(dialogsOf(*m_second).empty()) << "a box in B";
    EXPECT_EQ(box.caption, L"Quibbets");
    EXPECT_TRUE(startsWith(box.text, kConflictOpening)) << toUtf8(box.text);
    EXPECT_EQ(box.buttonCaptions(), (std::vector<std::wstring>{L"Yes", L"No"}));
    EXPECT_EQ(box.defaultButton, IDYES);
    EXPECT_EQ(a.messageBoxIcon(box), kQuestionIcon);
    const std::wstring kept = firstQuoted(box.text);
    EXPECT_TRUE(kept == elsewhereName(before) || kept == elsewhereName(after))
        << "the box names \"" << toUtf8(kept) << "\" for the other text; the time is " << toUtf8(elsewhereName(after));
    box.press(L"Yes");
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box.window); }, kWait)) << "the box did not close";
    expectNoBox(*m_app, a, "A", "after the answer");
    EXPECT_EQ(bytesOf(L"page1.txt"), "renamed by A\r\n");
    ASSERT_EQ(filesStarting(kElsewherePrefix), std::vector<std::wstring>{kept});
    EXPECT_EQ(bytesOf(kept), "renamed by B\r\n") << "B's saved text, byte for byte";
    EXPECT_TRUE(filesStarting(kOwnPrefix).empty());
    EXPECT_EQ(a.text(1), L"renamed by A");
    // B's page has had no edits since its Save: it follows.
    EXPECT_TRUE(showsWithin(b, L"renamed by A")) << "B did not follow A's Save";
    expectNoBoxes(a, b, "after the question");

    // A's page counts as saved now: a further edit and Exit ask nothing. B, unedited,
    // follows that too and its Exit writes nothing.
    a.appendText(1, L" again");
    a.choose({L"&File", L"E&xit"});
    m_app->expectExit();
    EXPECT_EQ(bytesOf(L"page1.txt"), "renamed by A again\r\n");
    EXPECT_TRUE(showsWithin(b, L"renamed by A again")) << "B did not follow A's Exit";
    const unsigned long long written = m_folder.writeTime(L"page1.txt");
    b.choose({L"&File", L"E&xit"});
    m_second->expectExit();
    EXPECT_EQ(bytesOf(L"page1.txt"), "renamed by A again\r\n");
    EXPECT_EQ(m_folder.writeTime(L"page1.txt"), written) << "B's Exit rewrote a page it had not changed";
    EXPECT_EQ(filesStarting(L"page1 ("), std::vector<std::wstring>{kept});
}

}  // namespace
}  // namespace e2e
