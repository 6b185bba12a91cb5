// The figures the goals bench collects, one sample per run and case, and the table
// that sets each goal's median against its yardstick.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace bench {

enum class Figure {
    BareStart,      // bare window, no page: CreateProcess to visible window
    BareStartPeak,  // its peak working set once idle
    NotesStart,     // notes.exe, no page files
    NotesStartPeak,
    BarePageStart,  // bare window loading one 1 MiB page, until it is in its editor
    BarePagePeak,
    NotesPagesStart,  // notes.exe, ten 1 MiB pages, until page 1 is in its editor
    NotesPagesPeak,
    BareSetText,     // bare window setting 1 MiB into its editor
    FirstShow,       // Go to a hidden 1 MiB page never shown
    ReturnShow,      // Go back to a page shown before
    Typing,          // one WM_CHAR at the end of a 1 MiB page
    TypingCopied,    // the slowest key of 2.5 s of typing there, while its recovery copy is written
    CopyAfterPause,  // from the last key until the page's recovery copy holds it
    SaveTen,         // Save with ten changed 1 MiB pages
    FloorTen,        // the same bytes: temp file, flush, rename
    SaveOne,         // Save with one page of ten changed
    FloorOne,
    SaveNone,  // Save with nothing changed
    Count
};

class Samples {
public:
    void add(Figure figure, double value) { m_values[index(figure)].push_back(value); }
    const std::vector<double>& values(Figure figure) const { return m_values[index(figure)]; }
    // A case that could not be measured, or a result that looked wrong.
    void note(std::string text) { m_notes.push_back(std::move(text)); }
    const std::vector<std::string>& notes() const { return m_notes; }

private:
    static size_t index(Figure figure) { return static_cast<size_t>(figure); }
    std::array<std::vector<double>, static_cast<size_t>(Figure::Count)> m_values;
    std::vector<std::string> m_notes;
};

// Prints the goals (median, yardstick, ratio, goal, met or not), every figure's
// spread, and the notes.
void printReport(const Samples& samples, int runs);

}  // namespace bench
