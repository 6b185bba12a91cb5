// Unsaved text after a kill: while a page has edits that are not saved, a copy of
// its text waits in the folder "recovery" beside the pages; the next start puts it
// back into its page, unsaved, and says so once. Exit Without Save then drops it for
// good, and a Save leaves nothing to bring back.
#include <algorithm>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr int kInformationIcon = 32516;  // IDI_INFORMATION
constexpr wchar_t kSaved[] = L"saved text";

std::vector<std::wstring> names(std::initializer_list<const wchar_t*> list) {
    return {list.begin(), list.end()};
}

class Recovery : public NotesTest {
protected:
    TestFolder recoveryFolder() const { return TestFolder::existing(m_folder.file(L"recovery")); }

    // The files in the recovery folder, sorted, with the owner part of those of the
    // current run ("<pid>-<start ms>") written as "*"; other files keep their names.
    std::vector<std::wstring> recoveryFiles() const {
        const std::wstring run = std::to_wstring(m_app->process().id()) + L"-";
        std::vector<std::wstring> found;
        for (const std::wstring& name : recoveryFolder().fileNames()) {
            const size_t dot = name.find(L'.');
            const bool ours = startsWith(name, run) && dot != std::wstring::npos && dot > run.size() &&
                              std::all_of(name.begin() + static_cast<std::ptrdiff_t>(run.size()),
                                          name.begin() + static_cast<std::ptrdiff_t>(dot),
                                          [](wchar_t c) { return c >= L'0' && c <= L'9'; });
            found.push_back(ours ? L"*" + name.substr(dot) : name);
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    // Waits (bounded) until recoveryFiles() is `expected`; tells what it is when it does not get there.
    ::testing::AssertionResult recoveryFilesBecome(std::initializer_list<const wchar_t*> expected) const {
        if (waitUntil([&] { return recoveryFiles() == names(expected); }, kWait)) {
            return ::testing::AssertionSuccess();
        }
        std::string found;
        for (const std::wstring& name : recoveryFiles()) {
            found += " " + toUtf8(name);
        }
        return ::testing::AssertionFailure() << "the recovery folder holds:" << (found.empty() ? " nothing" : found);
    }

    // Dialog windows of the program, shown or not yet shown.
    std::vector<HWND> dialogs() const {
        std::vector<HWND> found;
        for (HWND window : m_app->process().topLevelWindows()) {
            if (windowClass(window) == L"#32770") {
                found.push_back(window);
            }
        }
        return found;
    }

    // Waits until the program fetches its messages (the probe's answer comes from its
    // message loop or from that of a box it shows), then expects no box: a message
    // box exists before its loop fetches anything.
    void expectNoMessage(NotesWindow& window, const char* when) {
        window.menu();
        EXPECT_TRUE(dialogs().empty()) << "a message box " << when;
    }

    // Starts the program with the pages as they are and expects no message at start.
    NotesWindow& startQuietly() {
        NotesWindow& window = startWindow();
        expectNoMessage(window, "at start");
        return window;
    }
};

TEST_F(Recovery, KilledRunsTextComesBackUnsavedOnceAndExitWithoutSaveDropsIt) {
    const std::string savedFile = toUtf8(kSaved) + "\r\n";
    NotesWindow& window = startWindow({{3, savedFile}});
    window.type(3, L"typed line\r");
    window.type(5, L"page five");  // a page that has no file yet
    const std::wstring typed3 = window.text(3);
    ASSERT_TRUE(contains(typed3, L"typed line\r\n") && contains(typed3, kSaved)) << toUtf8(typed3);
    Sleep(3000);  // the user pauses; the copies are written meanwhile
    EXPECT_TRUE(recoveryFilesBecome({L"*.lock", L"*.page3", L"*.page5"}));
    m_app->process().terminate();

    // The next start puts both texts back and says so in one message.
    start();
    const MessageBoxView box = waitForMessageBox(m_app->process());
    NotesWindow& back = m_app->window();
    EXPECT_EQ(box.caption, L"Quibbets");
    EXPECT_EQ(box.text,
              L"Text that was not saved when Quibbets last ended is back on pages 3 and 5. It is not saved "
              L"yet: Save keeps it, Exit Without Save drops it.");
    EXPECT_EQ(back.messageBoxIcon(box), kInformationIcon);
    EXPECT_EQ(dialogs(), std::vector<HWND>{box.window});
    box.press(L"OK");
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box.window); }, kWait)) << "the message did not close";
    expectNoMessage(back, "after the first one");

    EXPECT_EQ(back.text(3), typed3);
    EXPECT_EQ(back.text(5), L"page five");
    EXPECT_EQ(enabledGoPages(back), (std::vector<int>{3, 5}));
    // Unsaved: the files are as they were, and the texts are this run's copies now.
    EXPECT_EQ(m_folder.read(L"page3.txt"), savedFile);
    EXPECT_FALSE(m_folder.exists(L"page5.txt"));
    EXPECT_EQ(recoveryFiles(), names({L"*.lock", L"*.page3", L"*.page5"})) << "not kept against the next crash";

    back.choose({L"&File", L"Exit &Without Save"});
    m_app->expectExit();
    EXPECT_EQ(m_folder.read(L"page3.txt"), savedFile);
    EXPECT_FALSE(m_folder.exists(L"page5.txt"));
    EXPECT_TRUE(recoveryFiles().empty());

    // Dropped for good: nothing is offered again.
    NotesWindow& after = startQuietly();
    EXPECT_EQ(after.text(3), kSaved);
    EXPECT_EQ(after.text(5), L"");
    EXPECT_EQ(enabledGoPages(after), std::vector<int>{3});
}

TEST_F(Recovery, SavedTextLeavesNothingToRecover) {
    NotesWindow& window = startWindow({{3, toUtf8(kSaved) + "\r\n"}});
    window.type(3, L"more ");
    const std::wstring typed = window.text(3);
    ASSERT_TRUE(recoveryFilesBecome({L"*.lock", L"*.page3"})) << "no copy of the unsaved page";
    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Save"}));
    const std::string savedFile = toUtf8(typed) + "\r\n";
    EXPECT_EQ(m_folder.read(L"page3.txt"), savedFile);
    EXPECT_EQ(recoveryFiles(), names({L"*.lock"})) << "Save left the copy of the saved page";
    Sleep(3000);  // the user pauses; no copy may come back
    EXPECT_EQ(recoveryFiles(), names({L"*.lock"}));
    m_app->process().terminate();

    NotesWindow& again = startQuietly();
    EXPECT_EQ(again.text(3), typed);
    EXPECT_EQ(m_folder.read(L"page3.txt"), savedFile);
    EXPECT_TRUE(recoveryFiles().empty()) << "the killed run's lock file was left";
}

}  // namespace
}  // namespace e2e
