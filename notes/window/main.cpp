// Start-up of the notes program: the window, the application window that the
// launcher finds by its title, the pages, the Go entries and the topmost band.
#include "notes/pagestore/page_files.h"
#include "notes/window/frm_main.h"
#include "platform/services/screen.h"

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
    return LoadPages(*g_frmMain);
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
