// Clear All: the question first, then the archive of every page (pages.txt,
// with the one before kept as pages.bak) byte for byte, and nothing cleared
// when the archive cannot be written.
#include "tests/e2e/e2e_fixture.h"

#include <set>

#include "tests/e2e/driver/user_input.h"

namespace e2e {
namespace {

constexpr int kExclamationIcon = 32515;  // IDI_EXCLAMATION
const std::string kBom = "\xEF\xBB\xBF";

// The archive of ten pages whose encoded texts are `texts` (absent pages empty).
std::string archive(const std::map<int, std::string>& texts) {
    std::string out;
    for (int page = 1; page <= kPageCount; ++page) {
        const auto text = texts.find(page);
        out += "**Page  " + std::to_string(page) + "\r\n\r\n";
        out += text == texts.end() ? std::string() : text->second;
        out += "\r\n\r\n**END**\r\n\r\n\r\n";
    }
    return out;
}

class ClearAll : public NotesTest {
protected:
    NotesWindow& window() { return m_app->window(); }
    // Chooses Clear All and returns the question it asks.
    MessageBoxView ask() {
        window().choose({L"&Edit", L"C&lear All"});
        return waitForMessageBox(m_app->process());
    }
    // Answers the question and waits for the command to end (or for its next box).
    void answer(const MessageBoxView& question, const wchar_t* button) {
        question.press(button);
        if (!waitUntil([&] { return !IsWindow(question.window); }, kShortWait)) {
            fail("the question did not close");
        }
    }
    void clearAll() {
        answer(ask(), L"Yes");
        waitForIdle(window().handle());
    }
    void expectTexts(const std::map<int, std::wstring>& texts) {
        for (int page = 1; page <= kPageCount; ++page) {
            const auto text = texts.find(page);
            EXPECT_EQ(window().text(page), text == texts.end() ? L"" : text->second) << "page " << page;
        }
    }
    void expectPageFiles(const PageFiles& files) {
        for (int page = 1; page <= kPageCount; ++page) {
            const auto file = files.find(page);
            EXPECT_EQ(m_folder.read(pageFileName(page)),
                      file == files.end() ? std::nullopt : std::optional<std::string>(file->second))
                << "page file " << page;
        }
    }
};

TEST_F(ClearAll, YesArchivesEveryPageThenEmptiesThem) {
    const PageFiles files{{1, "one\r\n"}, {3, "three\r\nlines\r\n"}, {10, "caf\xE9 \x80"}};
    NotesWindow& w = startWindow(files);
    w.choose({L"&Go", L"Page &3"});
    ASSERT_TRUE(waitUntil([&] { return w.caption() == L"Quibbet - Page 3"; }, kShortWait));

    const MessageBoxView question = ask();
    EXPECT_EQ(question.caption, L"Delete all pages?");
    EXPECT_EQ(question.text, L"Are you sure you want to clear all pages?");
    EXPECT_EQ(question.buttonCaptions(), (std::vector<std::wstring>{L"Yes", L"No"}));
    EXPECT_EQ(question.defaultButton, IDYES);
    EXPECT_EQ(w.messageBoxIcon(question), kExclamationIcon);
    answer(question, L"Yes");
    waitForIdle(w.handle());

    const std::string expected = archive({{1, "one"}, {3, "three\r\nlines"}, {10, "caf\xE9 \x80"}});
    EXPECT_EQ(m_folder.read(L"pages.txt"), expected);
    EXPECT_EQ(m_folder.read(L"pages.bak"), expected) << "the first archive is its own backup";
    EXPECT_EQ(w.caption(), L"Quibbet - Page 3");
    EXPECT_EQ(w.visiblePages(), std::vector<int>{3});
    expectTexts({});
    EXPECT_EQ(enabledGoPages(w), (std::vector<int>{1, 3, 10}));
    expectPageFiles(files);
    const std::vector<std::wstring> names = m_folder.fileNames();
    EXPECT_EQ(
        std::set<std::wstring>(names.begin(), names.end()),
        (std::set<std::wstring>{L"notes.exe", L"page1.txt", L"page3.txt", L"page10.txt", L"pages.txt", L"pages.bak"}))
        << "files left behind";
}

TEST_F(ClearAll, TextBeyondCodePage1252MakesTheWholeArchiveUtf8) {
    const std::wstring cyrillic = L"\u041F\u0440\u0438\u0432\u0435\u0442";
    startWindow({{1, "caf\xE9\r\n"}, {2, kBom + toUtf8(cyrillic) + "\r\n"}});
    clearAll();
    EXPECT_EQ(m_folder.read(L"pages.txt"), kBom + archive({{1, "caf\xC3\xA9"}, {2, toUtf8(cyrillic)}}));
    expectTexts({});
}

TEST_F(ClearAll, SecondClearAllKeepsTheFirstArchiveAsBackup) {
    NotesWindow& w = startWindow({{1, "first\r\n"}});
    clearAll();
    const std::string first = archive({{1, "first"}});
    ASSERT_EQ(m_folder.read(L"pages.txt"), first);
    w.type(1, L"second");
    clearAll();
    EXPECT_EQ(m_folder.read(L"pages.txt"), archive({{1, "second"}}));
    EXPECT_EQ(m_folder.read(L"pages.bak"), first);
    expectTexts({});
}

TEST_F(ClearAll, AnArchiveFromAnEarlierRunBecomesTheBackup) {
    m_folder.write(L"pages.txt", "an older archive\r\n");
    m_folder.write(L"pages.bak", "an even older one\r\n");
    startWindow({{2, "two\r\n"}});
    clearAll();
    EXPECT_EQ(m_folder.read(L"pages.txt"), archive({{2, "two"}}));
    EXPECT_EQ(m_folder.read(L"pages.bak"), "an older archive\r\n");
}

TEST_F(ClearAll, NoLeavesPagesAndFilesAlone) {
    const PageFiles files{{1, "one\r\n"}, {2, "two\r\n"}};
    startWindow(files);
    answer(ask(), L"No");
    waitForIdle(window().handle());
    EXPECT_FALSE(m_folder.exists(L"pages.txt"));
    EXPECT_FALSE(m_folder.exists(L"pages.bak"));
    expectTexts({{1, L"one"}, {2, L"two"}});
    expectPageFiles(files);
}

// A folder where the archive belongs; removed again at the end of the case.
struct FolderInTheWay {
    explicit FolderInTheWay(std::wstring path) : m_path(std::move(path)) {
        if (!CreateDirectoryW(m_path.c_str(), nullptr)) {
            fail("cannot create " + toUtf8(m_path) + ": " + lastErrorText());
        }
    }
    ~FolderInTheWay() { RemoveDirectoryW(m_path.c_str()); }
    std::wstring m_path;
};

// Answers Yes and expects the box that says the archive failed.
void expectArchiveFailure(NotesWindow& w, const ProgramProcess& process, const MessageBoxView& question) {
    question.press(L"Yes");
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(question.window); }, kShortWait));
    const MessageBoxView box = waitForMessageBox(process);
    EXPECT_EQ(box.caption, L"Quibbets");
    EXPECT_TRUE(startsWith(box.text, L"The pages were not cleared, because their archive could not be written:"))
        << toUtf8(box.text);
    EXPECT_EQ(box.buttonCaptions(), std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(w.messageBoxIcon(box), kExclamationIcon);
    box.press(L"OK");
    ASSERT_TRUE(waitUntil([&] { return dialogWindows(process).empty(); }, kShortWait));
    waitForIdle(w.handle());
}

TEST_F(ClearAll, ArchiveThatIsAFolderClearsNothing) {
    FolderInTheWay folder(m_folder.file(L"pages.txt"));
    NotesWindow& w = startWindow({{1, "one\r\n"}, {2, "two\r\n"}});
    expectArchiveFailure(w, m_app->process(), ask());
    expectTexts({{1, L"one"}, {2, L"two"}});
    EXPECT_EQ(enabledGoPages(w), (std::vector<int>{1, 2}));
}

TEST_F(ClearAll, ArchiveHeldOpenClearsNothing) {
    m_folder.write(L"pages.txt", "older\r\n");
    NotesWindow& w = startWindow({{1, "one\r\n"}});
    {
        // Open with no sharing: no other process may read, write, rename or delete it.
        Handle lock(CreateFileW(m_folder.file(L"pages.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock) << lastErrorText();
        expectArchiveFailure(w, m_app->process(), ask());
    }
    expectTexts({{1, L"one"}});
    EXPECT_EQ(m_folder.read(L"pages.txt"), "older\r\n");
}

}  // namespace
}  // namespace e2e
