// Start-up of the notes program: the window, the application window that the
// launcher finds by its title, the pages, the Go entries and the topmost band.
#include "notes/pagestore/page_files.h"
#include "notes/window/frm_main.h"
#include "platform/services/screen.h"
#include "platform/services/timers.h"

#include <utility>

namespace notes {
namespace {

FrmMain* g_frmMain = nullptr;

constexpr wchar_t kLoadFailed[] =
    L"These page files could not be read; their pages start empty, and the files are left as they are "
    L"until you type on those pages:\r\n\r\n";

void reportUnreadablePages(FrmMain& window, const PageProblems& problems) {
    if (problems.empty()) {
        return;
    }
    window.platform().inform(kLoadFailed + describeProblems(problems), kAppTitle, plat::MsgIcon::Exclamation,
                             window.form().handle());
}

}  // namespace

// The read happens in the middle of whatever needed the page (a page step, a save),
// so the box waits for a timer of its own rather than opening halfway through.
void FrmMain::reportLateProblem(const PageProblem& problem) {
    m_lateProblems.push_back(problem);
    if (m_lateTimer == 0) {
        m_lateTimer = m_platform.timers().startTimer(0, [this] {
            m_lateTimer = 0;
            handleEvent(L"The page files could not be read", [this] {
                const PageProblems problems = std::exchange(m_lateProblems, {});
                reportUnreadablePages(*this, problems);
            });
        });
    }
}

void FrmMain::recoverUnsaved() {
    const std::wstring message = m_copies.recover();
    updateGoEntries(true, false);
    if (!message.empty()) {
        m_platform.inform(message, kAppTitle, plat::MsgIcon::Information, m_form->handle());
    }
}

FrmMain* frmMain() {
    return g_frmMain;
}

void setFrmMain(FrmMain* form) {
    g_frmMain = form;
}

NotesProgram::~NotesProgram() {
    if (g_frmMain == window.get()) {
        g_frmMain = nullptr;
    }
}

PageProblems SavePages() {
    return SavePages(*g_frmMain);
}

PageProblems LoadPages() {
    FrmMain* window = g_frmMain;
    return LoadPages(*window, [window](const PageProblem& problem) { window->reportLateProblem(problem); });
}

void SetAlwaysOnTop(plat::Platform& platform, plat::Form& form, bool onTop) {
    const plat::Rect r = form.bounds();
    const float tx = platform.screen().twipsPerPixelX();
    const float ty = platform.screen().twipsPerPixelY();
    platform.setWindowPos(form, onTop ? plat::ZOrder::TopMost : plat::ZOrder::NoTopMost,
                          plat::twipsToPixels(r.left, tx), plat::twipsToPixels(r.top, ty),
                          plat::twipsToPixels(r.width, tx), plat::twipsToPixels(r.height, ty));
}

std::unique_ptr<NotesProgram> Main(plat::Platform& platform) {
    auto program = std::make_unique<NotesProgram>();
    program->window = std::make_unique<FrmMain>(platform);
    FrmMain& window = *program->window;
    setFrmMain(&window);
    platform.setFailureCaption(kAppTitle);
    platform.createAppWindow(kAppTitle, window);
    window.form().show();
    const PageProblems problems = LoadPages();
    window.updateGoEntries(false, true);  // pages with text keep their entries as designed
    SetAlwaysOnTop(platform, window.form(), true);
    reportUnreadablePages(window, problems);
    window.recoverUnsaved();
    window.followPageFiles();
    window.carryOutPendingClose();  // a close request that came while the notice was up
    return program;
}

}  // namespace notes
