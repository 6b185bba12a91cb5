// The program run by the crash tests: a notes window on the headless desktop, over a
// folder of real page files, that types on several pages and saves, round after round.
// It says what the page files may and must hold as lines of a marker file, each line
// in one write() so that a tracer sees it in order with the saves' own calls (the
// protocol is described at the top of crash_states.py):
//   allow <page> <hex>    before a save: page file <page> may hold this text from now on
//   durable <page> <hex>  after the save returned: this text must survive any crash
//   typed <page> <hex>    typed, not saved: a recovery copy of the page may hold it
//   kept <page> <hex>     its recovery copy is written: it must survive any crash
//   done                  every round ran and the window closed
// <hex> is the text's UTF-8 in hexadecimal, empty for an empty page.
//
//   crash_scenario <data folder> <marker file> [rounds]
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "notes/window/frm_main.h"
#include "notes/window/menu_ids.h"
#include "platform/headless/headless_platform.h"
#include "platform/services/utf8.h"

namespace {

enum class EditKind { Append, Replace, Empty };

struct Edit {
    int page = 1;  // 1..10
    EditKind kind = EditKind::Append;
    std::wstring text;
};

struct Step {
    std::vector<Edit> edits;
    bool byShortcut = false;  // Ctrl+S rather than File > Save
};

class Markers {
public:
    explicit Markers(const char* path)
        : m_fd(::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644)) {}
    ~Markers() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Markers(const Markers&) = delete;
    Markers& operator=(const Markers&) = delete;

    bool ok() const { return m_fd >= 0; }
    void page(const char* kind, int number, const std::wstring& text) {
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string line = std::string(kind) + " " + std::to_string(number) + " ";
        for (const char byte : plat::toUtf8(text)) {
            line += kDigits[static_cast<unsigned char>(byte) >> 4];
            line += kDigits[static_cast<unsigned char>(byte) & 15];
        }
        line += '\n';
        emit(line);
    }
    void done() { emit("done\n"); }

private:
    // One write per line: a kill leaves whole lines, but for the last one, which a kill
    // during its write can cut short (the reader drops it).
    void emit(const std::string& line) const {
        if (::write(m_fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
            std::perror("crash_scenario: marker file");
        }
    }

    int m_fd;
};

// Enough lines that a write cut short leaves a file that starts right and ends wrong.
std::wstring longText(int round) {
    std::wstring text;
    for (int line = 0; line < 400; ++line) {
        text += L"line " + std::to_wstring(line) + L" of the long page, round " + std::to_wstring(round) + L"\r\n";
    }
    return text + L"end";
}

// Every edit changes its page: text added at the end, a new text, or nothing left.
// Page 4 has no file at the start; page 10 needs UTF-8 for its snowman.
std::vector<Step> stepsOf(int round) {
    const std::wstring r = L" (round " + std::to_wstring(round) + L")";
    return {
        {{{1, EditKind::Append, L", typed on" + r}, {4, EditKind::Replace, L"a page that had no file" + r}}, true},
        {{{2, EditKind::Empty, L""},
          {3, EditKind::Replace, longText(round)},
          {10, EditKind::Replace, L"Gr\u00fc\u00dfe \u2603" + r}},
         false},
        {{{1, EditKind::Replace, L"page one, written over" + r},
          {4, EditKind::Empty, L""},
          {7, EditKind::Append, L"\r\nanother line" + r}},
         true},
        {{{2, EditKind::Replace, L"page two has text again" + r}, {3, EditKind::Replace, L"short now" + r}}, false},
    };
}

class Scenario {
public:
    // A start after a kill puts back what the killed run had typed, and says so: that
    // text is saved first, so that every run types on saved pages.
    Scenario(const char* folder, Markers& markers)
        : m_platform(plat::fromUtf8(folder)),
          m_markers(markers),
          m_program(notes::Main(m_platform)),
          m_boxes(m_platform.messageBoxes().size()) {
        std::vector<int> recovered;
        for (int i = 0; i < notes::kPageCount; ++i) {
            m_durable[static_cast<std::size_t>(i)] = window().rtbNote(i).text();
            if (window().rtbNote(i).changed()) {
                recovered.push_back(i);
                m_markers.page("allow", i + 1, m_durable[static_cast<std::size_t>(i)]);
            }
        }
        if (!recovered.empty() && form().clickMenu(notes::mnuFileSave)) {
            for (const int i : recovered) {
                m_markers.page("durable", i + 1, m_durable[static_cast<std::size_t>(i)]);
            }
        }
    }

    // False when a save did not go through (the desktop showed a message).
    bool run(const Step& step) {
        for (const Edit& edit : step.edits) {
            apply(edit);
        }
        keepUnsaved();
        std::vector<int> changed;
        for (int i = 0; i < notes::kPageCount; ++i) {
            if (window().rtbNote(i).text() != m_durable[static_cast<std::size_t>(i)]) {
                changed.push_back(i);
                m_markers.page("allow", i + 1, window().rtbNote(i).text());
            }
        }
        const bool acted =
            step.byShortcut ? form().pressShortcut(plat::Shortcut::ctrl(L'S')) : form().clickMenu(notes::mnuFileSave);
        if (!acted || m_platform.messageBoxes().size() != m_boxes) {
            return false;
        }
        for (const int i : changed) {
            m_durable[static_cast<std::size_t>(i)] = window().rtbNote(i).text();
            m_markers.page("durable", i + 1, m_durable[static_cast<std::size_t>(i)]);
        }
        return true;
    }

    // File > Exit: nothing is left to save, and the window goes.
    bool exit() {
        form().clickMenu(notes::mnuFileExit);
        return m_platform.openFormCount() == 0 && m_platform.messageBoxes().size() == m_boxes;
    }

    std::wstring firstMessage() const {
        return m_platform.messageBoxes().size() == m_boxes ? L"" : m_platform.messageBoxes().back().text;
    }

private:
    notes::FrmMain& window() { return *m_program->window; }

    // Typing pauses: the recovery copies of the unsaved pages are written.
    void keepUnsaved() {
        std::vector<int> unsaved;
        for (int i = 0; i < notes::kPageCount; ++i) {
            if (window().rtbNote(i).text() != m_durable[static_cast<std::size_t>(i)]) {
                unsaved.push_back(i);
                m_markers.page("typed", i + 1, window().rtbNote(i).text());
            }
        }
        m_platform.advanceClock(notes::UnsavedCopies::kLongestMs);
        for (const int i : unsaved) {
            m_markers.page("kept", i + 1, window().rtbNote(i).text());
        }
    }
    plat::headless::HeadlessForm& form() { return m_platform.form(0); }

    // Goes to the page with ">" as a user would, then types at its end or over all of it.
    void apply(const Edit& edit) {
        const int index = edit.page - 1;
        while (window().currentPage() != index) {
            form().clickMenu(notes::mnuNext);
        }
        notes::PageEditor& editor = window().rtbNote(index);
        const int length = static_cast<int>(editor.textLength());
        editor.selection().select(edit.kind == EditKind::Append ? length : 0,
                                  edit.kind == EditKind::Append ? 0 : length);
        form().type(index, edit.text);
    }

    plat::headless::HeadlessPlatform m_platform;
    Markers& m_markers;
    std::unique_ptr<notes::NotesProgram> m_program;
    std::array<std::wstring, notes::kPageCount> m_durable;
    std::size_t m_boxes;  // message boxes of the start (what came back after a kill)
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: crash_scenario <data folder> <marker file> [rounds]\n");
        return 2;
    }
    const int rounds = argc == 4 ? std::stoi(argv[3]) : 1;
    Markers markers(argv[2]);
    if (!markers.ok()) {
        std::perror("crash_scenario: marker file");
        return 2;
    }
    Scenario scenario(argv[1], markers);
    for (int round = 1; round <= rounds; ++round) {
        for (const Step& step : stepsOf(round)) {
            if (!scenario.run(step)) {
                std::fprintf(stderr, "crash_scenario: a save failed: %s\n",
                             plat::toUtf8(scenario.firstMessage()).c_str());
                return 3;
            }
        }
    }
    if (!scenario.exit()) {
        std::fprintf(stderr, "crash_scenario: the window did not close: %s\n",
                     plat::toUtf8(scenario.firstMessage()).c_str());
        return 3;
    }
    markers.done();
    return 0;
}
