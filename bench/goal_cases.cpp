// The start and page cases of the goals bench: fresh processes of the bare window and
// of notes.exe, timed and measured from outside.
#include "bench/goal_cases.h"

#include <algorithm>
#include <string_view>

#include "bench/bare_window_protocol.h"
#include "bench/bench_stats.h"
#include "notes/window/menu_ids.h"
#include "tests/e2e/driver/notes_app.h"

namespace bench {
namespace {

// Keys typed at the end of a page: letters and a space, so that a word ends.
constexpr std::wstring_view kTyped = L"a word";
// A pause between keys, as between a typist's keys: the program paints meanwhile.
constexpr DWORD kKeyPauseMs = 30;

bool isBareWindow(HWND window) {
    return e2e::windowText(window) == kBareTitle;
}

int editorId(int page) {
    return e2e::kFirstEditorId + page - 1;
}

void endNotes(BenchProgram& notes) {
    notes.end(WM_COMMAND, MAKEWPARAM(notes::mnuFileExitNoSave, 0));
}

// From the Go command until the page's editor is visible and holds its text: a
// program may hand a page its text only when it is first shown.
double showPage(const BenchProgram& notes, int page, size_t length) {
    const double start = nowMs();
    notes.command(notes::mnuGoOne + page - 1);
    notes.waitForEditorLength(editorId(page), length, kAfterCommandLimitMs);
    const double ms = nowMs() - start;
    if (!IsWindowVisible(notes.editor(editorId(page)))) {
        e2e::fail("Go > Page " + std::to_string(page) + " did not show that page");
    }
    return ms;
}

void typeAtEnd(const BenchProgram& notes, int page, size_t length, Samples& samples) {
    HWND edit = notes.editor(editorId(page));
    sendBounded(edit, EM_SETSEL, length, static_cast<LPARAM>(length));
    sendBounded(edit, EM_SCROLLCARET, 0, 0);
    for (wchar_t key : kTyped) {
        Sleep(kKeyPauseMs);
        samples.add(Figure::Typing, timedSend(edit, WM_CHAR, key, 1));
    }
    if (static_cast<size_t>(notes.editorLength(editorId(page))) != length + kTyped.size()) {
        samples.note("keys typed at the end of page " + std::to_string(page) + " did not all arrive");
    }
}

// Size of page 1's recovery copy, -1 while there is none.
long long copySize(const BenchProgram& notes) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(notes.folder().file(L"recovery\\*.page1").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return -1;
    }
    FindClose(search);
    return (static_cast<long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// Keys every 50 ms for 2.5 s: page 1's recovery copy is written meanwhile, at least
// every 2 s while typing goes on, so the slowest key shows what a write costs the
// typist. Then the pause: from the last key until its copy is on disk.
void typeWhileCopied(const BenchProgram& notes, Samples& samples) {
    HWND edit = notes.editor(editorId(1));
    double slowest = 0;
    for (const double start = nowMs(); nowMs() - start < 2500;) {
        Sleep(50);
        slowest = std::max(slowest, timedSend(edit, WM_CHAR, L'y', 1));
    }
    samples.add(Figure::TypingCopied, slowest);
    Sleep(1500);  // the copy of the last key
    const long long before = copySize(notes);
    timedSend(edit, WM_CHAR, L'z', 1);
    const double paused = nowMs();
    while (copySize(notes) == before && nowMs() - paused < kAfterCommandLimitMs) {
        Sleep(2);
    }
    samples.add(Figure::CopyAfterPause, nowMs() - paused);
}

}  // namespace

void runBareEmpty(const BenchInputs& inputs, Samples& samples) {
    std::unique_ptr<BenchProgram> bare = BenchProgram::start(inputs.bareExe, {}, isBareWindow);
    samples.add(Figure::BareStart, bare->visibleMs());
    bare->waitIdle();
    samples.add(Figure::BareStartPeak, bare->peakMiB());
    bare->end(WM_CLOSE, 0);
}

// The text of page 2, which notes.exe shows for the first time in runNotesPages.
void runBareSetText(const BenchInputs& inputs, Samples& samples) {
    std::unique_ptr<BenchProgram> bare = BenchProgram::start(inputs.bareExe, {}, isBareWindow);
    bare->waitIdle();
    sendBounded(bare->window(), kBarePrepareText, inputs.pages[1].size(), 2);
    const double start = nowMs();
    sendBounded(bare->window(), kBareSetText, 0, 0);
    bare->waitForEditorLength(kBareEditId, inputs.editorLength(2));
    samples.add(Figure::BareSetText, nowMs() - start);
    bare->end(WM_CLOSE, 0);
}

void runNotesEmpty(const BenchInputs& inputs, Samples& samples) {
    std::unique_ptr<BenchProgram> notes = BenchProgram::start(inputs.notesExe, {}, e2e::isNotesMainWindow);
    samples.add(Figure::NotesStart, notes->visibleMs());
    notes->waitIdle();
    samples.add(Figure::NotesStartPeak, notes->peakMiB());
    endNotes(*notes);
}

void runBarePage(const BenchInputs& inputs, Samples& samples) {
    std::unique_ptr<BenchProgram> bare = BenchProgram::start(inputs.bareExe, {inputs.pages[0]}, isBareWindow);
    bare->waitForEditorLength(kBareEditId, inputs.editorLength(1));
    samples.add(Figure::BarePageStart, bare->sinceStartMs());
    samples.add(Figure::BarePagePeak, bare->peakMiB());
    bare->end(WM_CLOSE, 0);
}

// The editor answers WM_GETTEXTLENGTH only when the program handles messages again,
// so a start-up that goes on loading after page 1 is timed to its end.
void runNotesPages(const BenchInputs& inputs, Samples& samples) {
    std::unique_ptr<BenchProgram> notes = BenchProgram::start(inputs.notesExe, inputs.pages, e2e::isNotesMainWindow);
    notes->waitForEditorLength(editorId(1), inputs.editorLength(1));
    samples.add(Figure::NotesPagesStart, notes->sinceStartMs());
    samples.add(Figure::NotesPagesPeak, notes->peakMiB());
    samples.add(Figure::FirstShow, showPage(*notes, 2, inputs.editorLength(2)));
    samples.add(Figure::ReturnShow, showPage(*notes, 1, inputs.editorLength(1)));
    typeAtEnd(*notes, 1, inputs.editorLength(1), samples);
    typeWhileCopied(*notes, samples);
    endNotes(*notes);
}

}  // namespace bench
