// Saves that fail for want of room or of write access. The folders come from
// mount_faults.sh (a full tmpfs, a read-only bind mount), each holding notes.exe
// and page1.txt = "old page\r\n"; without them the cases skip.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr char kOldPage[] = "old page\r\n";

class MountFaults : public NotesTest {
protected:
    // Starts notes.exe in the prepared folder named by `variable`; skips the case
    // (m_app stays empty) when the variable is not set.
    void launchIn(const wchar_t* variable) {
        const std::wstring path = environment(variable);
        if (path.empty()) {
            GTEST_SKIP() << "no prepared folder (" << toUtf8(variable) << "); run mount_faults.sh as root";
        }
        m_folder.emplace(TestFolder::existing(path));
        m_app = NotesApp::launch(*m_folder);
    }
    std::optional<TestFolder> m_folder;
};

void expectSaveFailureNamingPageOne(NotesApp& app) {
    const MessageBoxView box = waitForMessageBox(app.process(), kLongWait);
    EXPECT_EQ(box.caption, L"Quibbets");
    EXPECT_TRUE(startsWith(box.text, L"These pages could not be saved:")) << toUtf8(box.text);
    EXPECT_TRUE(contains(box.text, L"page1.txt: ")) << toUtf8(box.text);
    box.press(L"OK");
    // The box goes after the click is handled: the next box looked for must not be this one.
    ASSERT_TRUE(waitUntil([&] { return dialogWindows(app.process()).empty(); }, kShortWait));
}

TEST_F(MountFaults, FullDiskKeepsTheOldPage) {
    launchIn(L"QUIBBETS_E2E_FULL_DIR");
    if (!m_app) {
        return;
    }
    NotesWindow& window = m_app->window();
    ASSERT_EQ(window.text(1), L"old page");
    window.setText(1, widen(pageText(1u << 20, "does not fit")));
    window.choose({L"&File", L"&Save"});
    expectSaveFailureNamingPageOne(*m_app);
    EXPECT_EQ(m_folder->read(L"page1.txt"), kOldPage);
    window.choose({L"&File", L"Exit &Without Save"});
    m_app->expectExit();
    EXPECT_EQ(m_folder->read(L"page1.txt"), kOldPage);
}

TEST_F(MountFaults, ReadOnlyFolderAsksBeforeExit) {
    launchIn(L"QUIBBETS_E2E_READONLY_DIR");
    if (!m_app) {
        return;
    }
    NotesWindow& window = m_app->window();
    window.type(1, L"!");
    // Nor can the copy of unsaved text be kept for recovery, which is said once.
    const MessageBoxView unkept = waitForMessageBox(m_app->process(), kLongWait);
    EXPECT_TRUE(startsWith(unkept.text, L"Unsaved text cannot be kept for recovery")) << toUtf8(unkept.text);
    unkept.press(L"OK");
    ASSERT_TRUE(waitUntil([&] { return dialogWindows(m_app->process()).empty(); }, kShortWait));
    window.choose({L"&File", L"&Save"});
    expectSaveFailureNamingPageOne(*m_app);

    window.choose({L"&File", L"E&xit"});
    const MessageBoxView ask = waitForMessageBox(m_app->process());
    EXPECT_TRUE(startsWith(ask.text, L"These pages could not be saved:")) << toUtf8(ask.text);
    EXPECT_TRUE(contains(ask.text, L"Exit anyway?")) << toUtf8(ask.text);
    EXPECT_EQ(ask.defaultButton, IDNO);
    ask.press(L"No");
    EXPECT_FALSE(m_app->process().waitForExit(Millis{1000})) << "No must keep the window open";
    window.choose({L"&File", L"E&xit"});
    waitForMessageBox(m_app->process()).press(L"Yes");
    m_app->expectExit();
    EXPECT_EQ(m_folder->read(L"page1.txt"), kOldPage);
}

}  // namespace
}  // namespace e2e
