// The Save cases of the goals bench: one notes.exe holding ten 1 MiB pages, pages
// changed cheaply between saves (one character at the start of each), each Save
// against the floor of this process writing the same bytes the same way.
#include <string>

#include "bench/bench_stats.h"
#include "bench/goal_cases.h"
#include "notes/window/menu_ids.h"
#include "tests/e2e/driver/notes_app.h"

namespace bench {
namespace {

int editorId(int page) {
    return e2e::kFirstEditorId + page - 1;
}

void writeFlushed(const std::wstring& path, const std::string& bytes) {
    e2e::Handle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD wrote = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) ||
        wrote != bytes.size() || !FlushFileBuffers(file.get())) {
        e2e::fail("cannot write " + e2e::toUtf8(path) + ": " + e2e::lastErrorText());
    }
}

}  // namespace

// Every page is shown once first: a program may hand a page its text only then,
// and a page must hold its text before it is changed.
SaveCases::SaveCases(const BenchInputs& inputs) : m_files(inputs.pages) {
    m_notes = BenchProgram::start(inputs.notesExe, inputs.pages, e2e::isNotesMainWindow);
    m_notes->waitForEditorLength(editorId(1), inputs.editorLength(1));
    for (int page = 2; page <= e2e::kPageCount; ++page) {
        m_notes->command(notes::mnuGoOne + page - 1);
        m_notes->waitForEditorLength(editorId(page), inputs.editorLength(page), kAfterCommandLimitMs);
    }
    m_notes->command(notes::mnuGoOne);
}

// Ten changed, one changed (a different page each run), none changed.
void SaveCases::run(Samples& samples) {
    std::vector<int> all;
    for (int page = 1; page <= e2e::kPageCount; ++page) {
        change(page);
        all.push_back(page);
    }
    samples.add(Figure::SaveTen, save(samples, all));
    samples.add(Figure::FloorTen, floorMs(all));
    const int one = m_runs++ % e2e::kPageCount + 1;
    change(one);
    samples.add(Figure::SaveOne, save(samples, {one}));
    samples.add(Figure::FloorOne, floorMs({one}));
    samples.add(Figure::SaveNone, save(samples, {}));
}

void SaveCases::finish() {
    m_notes->end(WM_COMMAND, MAKEWPARAM(notes::mnuFileExitNoSave, 0));
}

// The page's first character becomes another one, typed over its selection: the
// editor lays out one line, and the page keeps its size.
void SaveCases::change(int page) {
    std::string& file = m_files[static_cast<size_t>(page) - 1];
    const char next = file[0] == 'X' ? 'Y' : 'X';
    HWND edit = m_notes->editor(editorId(page));
    sendBounded(edit, EM_SETSEL, 0, 1);
    sendBounded(edit, WM_CHAR, static_cast<WPARAM>(next), 1);
    file[0] = next;
}

// The Save command, timed; then each changed page's file is checked (not timed).
double SaveCases::save(Samples& samples, const std::vector<int>& changed) {
    const double ms = m_notes->command(notes::mnuFileSave);
    for (int page : changed) {
        if (m_notes->folder().read(e2e::pageFileName(page)) != m_files[static_cast<size_t>(page) - 1]) {
            samples.note("after Save, page" + std::to_string(page) + ".txt does not hold the page's text");
        }
    }
    return ms;
}

// The floor: each page's bytes written to a temporary file in the notes folder,
// flushed, and renamed over its target there, as a page file is replaced.
double SaveCases::floorMs(const std::vector<int>& pages) const {
    const double start = nowMs();
    for (int page : pages) {
        const std::wstring target = m_notes->folder().file(L"floor" + std::to_wstring(page) + L".txt");
        const std::wstring temp = target + L".tmp";
        writeFlushed(temp, m_files[static_cast<size_t>(page) - 1]);
        if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            e2e::fail("cannot rename " + e2e::toUtf8(temp) + ": " + e2e::lastErrorText());
        }
    }
    return nowMs() - start;
}

}  // namespace bench
