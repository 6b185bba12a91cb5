// A save cut short by the end of the process leaves every page file whole: its
// old content or its new one, never a mix, and never a temporary file as a page.
#include <random>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using KillDuringSave = NotesTest;

constexpr size_t kPageBytes = 1 << 20;
constexpr int kRounds = 10;

struct Contents {
    std::vector<std::string> oldTexts;  // per page, index 0 = page 1
    std::vector<std::string> newTexts;
};

Contents makeContents() {
    Contents c;
    for (int page = 1; page <= kPageCount; ++page) {
        c.oldTexts.push_back(pageText(kPageBytes, "old page " + std::to_string(page)));
        c.newTexts.push_back(pageText(kPageBytes + 4096, "NEW PAGE " + std::to_string(page)));
    }
    return c;
}

std::string describe(const std::optional<std::string>& bytes) {
    if (!bytes) return "missing";
    return std::to_string(bytes->size()) + " bytes starting \"" + bytes->substr(0, 20) + "\"";
}

TEST_F(KillDuringSave, EveryPageIsOldOrNew) {
    const Contents c = makeContents();
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> delay(0, 300);
    for (int round = 1; round <= kRounds; ++round) {
        const int ms = delay(random);
        SCOPED_TRACE("round " + std::to_string(round) + ", killed " + std::to_string(ms) + " ms into the save");
        PageFiles files;
        for (int page = 1; page <= kPageCount; ++page) files[page] = c.oldTexts[page - 1] + "\r\n";
        NotesWindow& window = startWindow(files);
        for (int page = 1; page <= kPageCount; ++page) window.setText(page, widen(c.newTexts[page - 1]));
        window.choose({L"&File", L"&Save"});
        Sleep(static_cast<DWORD>(ms));
        m_app->process().terminate();

        for (int page = 1; page <= kPageCount; ++page) {
            const auto bytes = m_folder.read(pageFileName(page));
            const bool whole = bytes == c.oldTexts[page - 1] + "\r\n" || bytes == c.newTexts[page - 1] + "\r\n";
            EXPECT_TRUE(whole) << "page" << page << ".txt is " << describe(bytes);
        }
        NotesWindow& again = startWindow();
        for (int page = 1; page <= kPageCount; ++page) {
            const std::wstring text = again.text(page);
            const bool whole = text == widen(c.oldTexts[page - 1]) || text == widen(c.newTexts[page - 1]);
            EXPECT_TRUE(whole) << "page " << page << " loaded " << text.size() << " characters";
        }
        kill();
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace e2e
