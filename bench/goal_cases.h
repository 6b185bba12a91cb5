// The cases of the goals bench. Each start case starts a fresh process and ends it;
// SaveCases keeps one notes.exe for the whole bench. Every case adds one sample per
// figure it measures (typing adds one per key).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bench/bench_program.h"
#include "bench/goal_figures.h"

namespace bench {

struct BenchInputs {
    std::wstring notesExe;
    std::wstring bareExe;
    std::vector<std::string> pages;  // ten 1 MiB page files, page 1 first
    // Characters a page's editor holds: its file without the final line end.
    size_t editorLength(int page) const { return pages[static_cast<size_t>(page) - 1].size() - 2; }
};

// Bare window without a page: start and peak.
void runBareEmpty(const BenchInputs& inputs, Samples& samples);
// Bare window setting 1 MiB into its editor.
void runBareSetText(const BenchInputs& inputs, Samples& samples);
// notes.exe without page files: start and peak.
void runNotesEmpty(const BenchInputs& inputs, Samples& samples);
// Bare window loading page 1 at start: time until it is in the editor, peak.
void runBarePage(const BenchInputs& inputs, Samples& samples);
// notes.exe with ten pages: start until page 1 is in its editor, peak, first show
// of page 2, return to page 1, keys typed at the end of page 1.
void runNotesPages(const BenchInputs& inputs, Samples& samples);

// Save of ten, one and no changed pages by one notes.exe that has shown every
// page, each against the floor of its bytes.
class SaveCases {
public:
    explicit SaveCases(const BenchInputs& inputs);
    void run(Samples& samples);
    // Ends notes.exe without saving.
    void finish();

private:
    void change(int page);
    double save(Samples& samples, const std::vector<int>& changed);
    double floorMs(const std::vector<int>& pages) const;
    std::unique_ptr<BenchProgram> m_notes;
    std::vector<std::string> m_files;  // what each page file should hold
    int m_runs = 0;
};

}  // namespace bench
