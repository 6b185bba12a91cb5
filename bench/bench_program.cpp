// Starting and driving the programs under the benchmarks.
#include "bench/bench_program.h"

#include <psapi.h>

#include "bench/bench_stats.h"
#include "tests/e2e/driver/program_process.h"
#include "tests/e2e/driver/settings_registry.h"

namespace bench {

using e2e::Millis;

LRESULT sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kAnswerLimitMs, &answer)) {
        e2e::fail("the program did not answer message " + std::to_string(message));
    }
    return static_cast<LRESULT>(answer);
}

double timedSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const double start = nowMs();
    sendBounded(window, message, wParam, lParam);
    return nowMs() - start;
}

// The settings are cleared first, so that notes.exe always opens its first-run
// window (the size the bare window copies).
std::unique_ptr<BenchProgram> BenchProgram::start(const std::wstring& exe, const std::vector<std::string>& pages,
                                                  const WindowMatch& isMain) {
    e2e::clearSettings();
    e2e::TestFolder folder = e2e::TestFolder::createTemporary();
    for (size_t i = 0; i < pages.size(); ++i) {
        folder.write(e2e::pageFileName(static_cast<int>(i) + 1), pages[i]);
    }
    folder.copyIn(exe, L"program.exe");
    const std::wstring path = folder.file(L"program.exe");
    const std::wstring workFolder = folder.path();
    const double startMs = nowMs();
    std::unique_ptr<BenchProgram> program(
        new BenchProgram(std::move(folder), e2e::ProgramProcess::start(path, workFolder), startMs));
    const auto shown = [&] {
        program->m_window = program->m_process.findWindow(isMain);
        return program->m_window && IsWindowVisible(program->m_window);
    };
    if (!e2e::waitUntil(shown, Millis{kAnswerLimitMs}, Millis{1})) {
        e2e::fail("no visible window");
    }
    // What the user waits for: not the frame alone, but the shown editor taking
    // input, its window made and its thread free to answer.
    const auto answers = [&] {
        for (HWND child : e2e::descendants(program->m_window)) {
            if (IsWindowVisible(child) && lstrcmpiW(e2e::windowClass(child).c_str(), L"Edit") == 0) {
                DWORD_PTR length = 0;
                return SendMessageTimeoutW(child, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerLimitMs, &length) != 0;
            }
        }
        return false;
    };
    if (!e2e::waitUntil(answers, Millis{kAnswerLimitMs}, Millis{1})) {
        e2e::fail("the shown editor did not answer");
    }
    program->m_visibleMs = program->sinceStartMs();
    return program;
}

BenchProgram::BenchProgram(e2e::TestFolder folder, e2e::ProgramProcess process, double startMs)
    : m_folder(std::move(folder)), m_process(std::move(process)), m_startMs(startMs) {}

BenchProgram::~BenchProgram() = default;

double BenchProgram::sinceStartMs() const {
    return nowMs() - m_startMs;
}

double BenchProgram::peakMiB() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(m_process.handle(), &counters, sizeof(counters))) {
        e2e::fail("no memory figures for the process: " + e2e::lastErrorText());
    }
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

void BenchProgram::waitIdle() const {
    if (WaitForInputIdle(m_process.handle(), kAnswerLimitMs) != 0) {
        e2e::fail("the program did not finish starting");
    }
}

HWND BenchProgram::editor(int id) const {
    HWND edit = GetDlgItem(m_window, id);
    if (!edit) {
        e2e::fail("no editor with id " + std::to_string(id));
    }
    return edit;
}

int BenchProgram::editorLength(int id) const {
    return static_cast<int>(sendBounded(editor(id), WM_GETTEXTLENGTH, 0, 0));
}

// The editor may not exist yet while the program starts.
void BenchProgram::waitForEditorLength(int id, size_t length, UINT limitMs) const {
    const auto holds = [&] {
        HWND edit = GetDlgItem(m_window, id);
        return edit && static_cast<size_t>(sendBounded(edit, WM_GETTEXTLENGTH, 0, 0)) == length;
    };
    if (!e2e::waitUntil(holds, Millis{limitMs}, Millis{1})) {
        e2e::fail("editor " + std::to_string(id) + " never held " + std::to_string(length) + " characters");
    }
}

double BenchProgram::command(int id) const {
    return timedSend(m_window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void BenchProgram::end(UINT message, WPARAM wParam) {
    PostMessageW(m_window, message, wParam, 0);
    if (!m_process.waitForExit(e2e::kWait)) {
        m_process.terminate();
    }
}

}  // namespace bench
