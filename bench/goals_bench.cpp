// The goals bench: every speed and memory goal of notes.exe measured in one run of
// one warm Wine, the cases interleaved (run 1 of every case, then run 2, ...), each
// against its yardstick: the bare window, this process's own file writes, or a fixed
// limit. Prints figures; asserts nothing.
//
//   goals_bench.exe [runs]        (default 5)
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "bench/bench_stats.h"
#include "bench/goal_cases.h"
#include "tests/e2e/driver/notes_app.h"
#include "tests/e2e/driver/settings_registry.h"

namespace {

using namespace bench;

// The empty starts take a fraction of a second: each run has several pairs of them,
// for steadier medians on a shared machine.
constexpr int kEmptyStartsPerRun = 3;

// A case that fails is noted and the bench goes on with the next one.
void attempt(const std::string& what, Samples& samples, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        samples.note(what + ": " + error.what());
    }
}

BenchInputs benchInputs() {
    BenchInputs inputs{e2e::notesExePath(), e2e::windowsPath(e2e::fromUtf8(QUIBBETS_BARE_WINDOW_EXE)), {}};
    for (int page = 1; page <= e2e::kPageCount; ++page) {
        inputs.pages.push_back(pageFile(1 << 20, page));
    }
    return inputs;
}

// The first start of a program loads its DLLs from disk; these runs are not counted.
void warmUp(const BenchInputs& inputs) {
    Samples scratch;
    runBareEmpty(inputs, scratch);
    runNotesEmpty(inputs, scratch);
}

void runOnce(const BenchInputs& inputs, SaveCases* saves, int run, Samples& samples) {
    const std::string suffix = ", run " + std::to_string(run);
    for (int i = 0; i < kEmptyStartsPerRun; ++i) {
        attempt("bare window, empty" + suffix, samples, [&] { runBareEmpty(inputs, samples); });
        attempt("notes.exe, empty" + suffix, samples, [&] { runNotesEmpty(inputs, samples); });
    }
    attempt("bare window, setting 1 MiB" + suffix, samples, [&] { runBareSetText(inputs, samples); });
    attempt("bare window, 1 MiB page" + suffix, samples, [&] { runBarePage(inputs, samples); });
    attempt("notes.exe, ten pages" + suffix, samples, [&] { runNotesPages(inputs, samples); });
    if (saves) {
        attempt("Save" + suffix, samples, [&] { saves->run(samples); });
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    Samples samples;
    try {
        const BenchInputs inputs = benchInputs();
        const double begin = nowMs();
        std::printf("goals bench: %d interleaved runs; set-up and warm-up first\n", runs);
        std::fflush(stdout);
        std::unique_ptr<SaveCases> saves;
        attempt("Save set-up", samples, [&] { saves = std::make_unique<SaveCases>(inputs); });
        warmUp(inputs);
        for (int run = 1; run <= runs; ++run) {
            runOnce(inputs, saves.get(), run, samples);
            std::printf("run %d of %d done, %.0f s so far\n", run, runs, (nowMs() - begin) / 1000);
            std::fflush(stdout);
        }
        if (saves) {
            attempt("Save, the end", samples, [&] { saves->finish(); });
        }
        e2e::clearSettings();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "goals_bench: %s\n", error.what());
        return 1;
    }
    printReport(samples, runs);
    return 0;
}
