// Start-up benchmark: time from CreateProcess to a visible window for the bare
// window, notes.exe without pages and notes.exe with ten 1 MiB pages (until all
// ten editors hold their text), and each process's peak working set.
//
//   startup_bench.exe [runs]
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "bench/bench_stats.h"
#include "tests/e2e/driver/notes_app.h"
#include "tests/e2e/driver/settings_registry.h"

namespace {

using namespace e2e;

struct Sample {
    double ms = 0;
    double peakMiB = 0;
};

struct Case {
    const char* name;
    std::wstring exe;  // copied into a fresh folder
    std::function<bool(HWND)> isMainWindow;
    std::vector<std::string> pages;  // page files, page 1 first
};

// True when every page's editor holds its file's text (final CR LF dropped).
bool pagesLoaded(HWND window, const std::vector<std::string>& pages) {
    for (size_t i = 0; i < pages.size(); ++i) {
        HWND edit = GetDlgItem(window, kFirstEditorId + static_cast<int>(i));
        DWORD_PTR length = 0;
        if (!edit || !SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 600000, &length) ||
            length != pages[i].size() - 2) {
            return false;
        }
    }
    return true;
}

double peakWorkingSetMiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

Sample runOnce(const Case& c) {
    clearSettings();  // always the first-run window of notes.exe
    TestFolder folder = TestFolder::createTemporary();
    for (size_t i = 0; i < c.pages.size(); ++i)
        folder.write(pageFileName(static_cast<int>(i) + 1), c.pages[i]);
    folder.copyIn(c.exe, L"program.exe");
    const double start = bench::nowMs();
    ProgramProcess process = ProgramProcess::start(folder.file(L"program.exe"), folder.path());
    HWND window = nullptr;
    waitUntil([&] { return (window = process.findWindow(c.isMainWindow)) && IsWindowVisible(window); }, kHugeWait,
              Millis{1});
    if (!window)
        fail(std::string(c.name) + ": no visible window");
    if (!c.pages.empty())
        waitUntil([&] { return pagesLoaded(window, c.pages); }, kHugeWait, Millis{1});
    Sample sample{bench::nowMs() - start, peakWorkingSetMiB(process.handle())};
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process.waitForExit(kWait))
        process.terminate();
    return sample;
}

struct Result {
    double medianMs, minMs, medianPeakMiB;
};

Result measure(const Case& c, int runs) {
    runOnce(c);  // warm-up: the first start also fills the file cache
    std::vector<double> times, peaks;
    for (int i = 0; i < runs; ++i) {
        const Sample s = runOnce(c);
        times.push_back(s.ms);
        peaks.push_back(s.peakMiB);
    }
    const Result r{bench::median(times), bench::minimum(times), bench::median(peaks)};
    std::printf("%-28s median %8.1f ms   min %8.1f ms   peak working set %7.1f MiB\n", c.name, r.medianMs, r.minMs,
                r.medianPeakMiB);
    std::fflush(stdout);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    try {
        const std::wstring notes = notesExePath();
        const std::wstring bare = windowsPath(fromUtf8(QUIBBETS_BARE_WINDOW_EXE));
        std::vector<std::string> tenPages;
        for (int page = 1; page <= kPageCount; ++page)
            tenPages.push_back(bench::pageFile(1 << 20, page));
        std::printf("start-up, %d runs each (after one warm-up run)\n", runs);
        const Result bareWindow =
            measure({"bare window", bare, [](HWND w) { return windowText(w) == L"Bare Window"; }, {}}, runs);
        const Result empty = measure({"notes.exe, no pages", notes, isNotesMainWindow, {}}, runs);
        const Result full = measure({"notes.exe, ten 1 MiB pages", notes, isNotesMainWindow, tenPages}, runs);
        std::printf("ratio empty start / bare window      %6.2f  (goal <= 1.2)\n",
                    empty.medianMs / bareWindow.medianMs);
        std::printf("ratio ten-pages start / empty start  %6.2f  (goal <= 1.3)\n", full.medianMs / empty.medianMs);
        std::printf("ratio peak memory notes / bare       %6.2f  (goal <= 1.2)\n",
                    empty.medianPeakMiB / bareWindow.medianPeakMiB);
        std::printf("ratio peak memory ten pages / bare   %6.2f\n", full.medianPeakMiB / bareWindow.medianPeakMiB);
        clearSettings();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "startup_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
