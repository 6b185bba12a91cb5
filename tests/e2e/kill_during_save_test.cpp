// A save cut short by the end of the process leaves every page file whole: its
// old content or its new one, never a mix, and never a temporary file as a page.
#include <cstdio>
#include <random>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr size_t kPageBytes = 1 << 20;
constexpr int kKills = 10;

// Page texts carry a round's tag in front of a fixed base text. Only the tag
// changes between rounds, so the editor lays out one line again, not a MiB
// (Wine's EDIT takes seconds per MiB of new text); Save still writes every byte.
std::string roundTag(int round) {
    // Appended piecewise: GCC 12 warns falsely (-Wrestrict) on "R" + to_string() + " ".
    std::string tag = "R";
    tag += std::to_string(round);
    tag += ' ';
    return tag;
}

std::string describe(const std::optional<std::string>& bytes) {
    if (!bytes)
        return "missing";
    return std::to_string(bytes->size()) + " bytes starting \"" + bytes->substr(0, 12) + "\"";
}

class KillDuringSave : public NotesTest {
protected:
    // Starts with every page at round 0.
    NotesWindow& startTagged() {
        PageFiles files;
        m_base.assign(kPageCount + 1, {});
        m_current.assign(kPageCount + 1, {});
        for (int page = 1; page <= kPageCount; ++page) {
            m_base[page] = pageText(kPageBytes, "page " + std::to_string(page));
            m_current[page] = roundTag(0) + m_base[page];
            files[page] = m_current[page] + "\r\n";
        }
        return startWindow(files, kHugeWait);
    }

    void retag(NotesWindow& window, int round) {
        for (int page = 1; page <= kPageCount; ++page) {
            window.replaceStart(page, m_current[page].find(' ') + 1, roundTag(round));
        }
    }

    // Every page file must be the text before `round` or the text of `round`.
    // Takes what is on disk as the current texts; returns how many are new.
    int checkFiles(int round) {
        int fresh = 0;
        for (int page = 1; page <= kPageCount; ++page) {
            const auto bytes = m_folder.read(pageFileName(page));
            const std::string next = roundTag(round) + m_base[page];
            const bool isNew = bytes == next + "\r\n";
            EXPECT_TRUE(isNew || bytes == m_current[page] + "\r\n") << "page" << page << ".txt is " << describe(bytes);
            if (!bytes || bytes->size() < 2)
                continue;
            m_current[page] = bytes->substr(0, bytes->size() - 2);
            fresh += isNew ? 1 : 0;
        }
        return fresh;
    }

    void expectPagesLoadAsOnDisk(NotesWindow& window) {
        for (int page = 1; page <= kPageCount; ++page) {
            EXPECT_TRUE(window.text(page) == widen(m_current[page])) << "page " << page << " loads another text";
        }
    }

    std::vector<std::string> m_base, m_current;
};

TEST_F(KillDuringSave, EveryPageIsOldOrNew) {
    NotesWindow* window = &startTagged();
    // One whole save first, timed, so that the kills spread over a whole save.
    retag(*window, 1);
    const DWORD before = GetTickCount();
    ASSERT_TRUE(window->chooseAndWait({L"&File", L"&Save"}, kHugeWait));
    const int saveMs = static_cast<int>(GetTickCount() - before);
    ASSERT_EQ(checkFiles(1), kPageCount);

    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> delay(0, std::max(300, saveMs + saveMs / 5));
    std::string summary;
    for (int round = 2; round <= kKills + 1 && !HasFailure(); ++round) {
        const int ms = delay(random);
        SCOPED_TRACE("round " + std::to_string(round) + ", killed " + std::to_string(ms) + " ms into the save");
        retag(*window, round);
        window->choose({L"&File", L"&Save"});
        Sleep(static_cast<DWORD>(ms));
        m_app->process().terminate();
        const int fresh = checkFiles(round);
        summary += ' ';
        summary += std::to_string(ms);
        summary += "ms:";
        summary += std::to_string(fresh);
        window = &startWindow({}, kHugeWait);
        expectPagesLoadAsOnDisk(*window);
    }
    std::printf("[   INFO   ] a whole save took %d ms; kill delay:new pages per round:%s\n", saveMs, summary.c_str());
}

}  // namespace
}  // namespace e2e
