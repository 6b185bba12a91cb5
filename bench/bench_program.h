// A program under the benchmarks: copied into a fresh folder beside its page files,
// started, timed to its first visible window, and driven from outside with window
// messages and process queries only (nothing of the bench runs inside it).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/driver/program_process.h"
#include "tests/e2e/driver/test_folder.h"

namespace bench {

// Upper bound of any one message: Wine's EDIT takes seconds per MiB, ten pages more.
inline constexpr UINT kAnswerLimitMs = 300000;
// How long a page may take to reach its editor after the command that shows it has
// ended (a program may hand it over from a message it posted itself).
inline constexpr UINT kAfterCommandLimitMs = 30000;

// SendMessageTimeoutW within kAnswerLimitMs; fails (DriverError) when unanswered.
LRESULT sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The time a bounded send takes, in ms.
double timedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class BenchProgram {
public:
    using WindowMatch = std::function<bool(HWND)>;
    // Writes `pages` (page1.txt first) and the program into a new folder, starts it
    // and waits until a top-level window matching `isMain` is visible.
    static std::unique_ptr<BenchProgram> start(const std::wstring& exe, const std::vector<std::string>& pages,
                                               const WindowMatch& isMain);
    ~BenchProgram();

    HWND window() const { return m_window; }
    const e2e::TestFolder& folder() const { return m_folder; }
    // From CreateProcess until the visible window's shown editor answers a message.
    double visibleMs() const { return m_visibleMs; }
    // Ms from CreateProcess until then.
    double sinceStartMs() const;
    // Peak working set of the process so far.
    double peakMiB() const;
    // Waits until the program waits for input (its start-up has ended).
    void waitIdle() const;

    HWND editor(int id) const;
    int editorLength(int id) const;
    // Polls until editor `id` holds `length` characters; fails after `limitMs`.
    void waitForEditorLength(int id, size_t length, UINT limitMs = kAnswerLimitMs) const;
    // Sends the menu command and waits for its handler to end; returns its time.
    double command(int id) const;
    // Posts `message` (a close or exit command) and waits for the process to end;
    // ends it by force when it does not.
    void end(UINT message, WPARAM wParam);

private:
    BenchProgram(e2e::TestFolder folder, e2e::ProgramProcess process, double startMs);
    e2e::TestFolder m_folder;  // declared first: the process ends before it goes
    e2e::ProgramProcess m_process;
    double m_startMs;
    double m_visibleMs = 0;
    HWND m_window = nullptr;
};

}  // namespace bench
