// The File commands and every way of closing the notes window. Each close but
// "Exit Without Save" saves the pages first, and a failed save is never silent.
#include "notes/window/frm_main.h"

#include "notes/window/print_page.h"

namespace notes {
namespace {

constexpr wchar_t kSaveFailed[] = L"These pages could not be saved:\r\n\r\n";
constexpr wchar_t kSavedUnflushed[] =
    L"These pages were saved, but their folder could not be flushed to disk, so a power cut now could still undo "
    L"the save:\r\n\r\n";
constexpr wchar_t kExitAnyway[] =
    L"\r\n\r\nExit anyway? Text typed on these pages since they were last saved will be lost.";
constexpr wchar_t kPrintFailed[] = L"The page could not be printed.\r\n\r\n";
constexpr wchar_t kCloseFailed[] = L"The program could not be closed";

}  // namespace

PageProblems FrmMain::savePages(PageProblems* warnings) {
    m_copies.settle();
    PageProblems problems = SavePages(*this, warnings);
    m_copies.saved();
    return problems;
}

void FrmMain::mnuFileSave_Click() {
    PageProblems warnings;
    const PageProblems problems = savePages(&warnings);
    updateGoEntries(true, false);
    updateGoEntries(false, true);
    if (!problems.empty()) {
        m_platform.inform(kSaveFailed + describeProblems(problems), kAppTitle, plat::MsgIcon::Exclamation,
                          m_form->handle());
    } else if (!warnings.empty()) {
        m_platform.inform(kSavedUnflushed + describeProblems(warnings), kAppTitle, plat::MsgIcon::Exclamation,
                          m_form->handle());
    }
}

void FrmMain::mnuFilePrint_Click() {
    const std::wstring text = rtbNote(currentPage()).text();
    std::wstring error;
    std::unique_ptr<plat::PrintJob> job = m_platform.printer().startJob(kAppTitle, error);
    if (job) {
        error = printPage(*job, text);
    }
    if (!error.empty()) {
        m_platform.inform(kPrintFailed + error, kAppTitle, plat::MsgIcon::Exclamation, m_form->handle());
    }
}

void FrmMain::mnuFileExit_Click() {
    if (saveBeforeClosing()) {
        m_form->unload();
    }
}

void FrmMain::mnuFileExitNoSave_Click() {
    m_copies.discard();
    m_form->unload();
}

// The window's close command and the launcher's close request end the program as
// Exit does, so that closing never loses text.
void FrmMain::onCloseRequest(plat::CloseReason reason) {
    (void)reason;
    handleEvent(kCloseFailed, [&] { mnuFileExit_Click(); });
}

// A request that comes while a message box is open (it reaches the application window
// through the box's own message loop) waits until the box is answered and the event
// that showed it has ended. An open About box does not hold it back: the window's
// unload closes it first.
void FrmMain::onAppCloseRequest() {
    if (m_platform.messageBoxOpen()) {
        m_closePending = true;
        return;
    }
    if (m_form->loaded()) {
        handleEvent(kCloseFailed, [&] { mnuFileExit_Click(); });
    }
}

// A close held back meanwhile is part of the session's end when it goes on, and is
// carried out when the user keeps the program.
bool FrmMain::onQueryEndSession() {
    const bool agreed = !m_form->loaded() || saveBeforeClosing();
    if (agreed) {
        m_closePending = false;
    } else {
        carryOutPendingClose();
    }
    return agreed;
}

// The pages were saved when the session end was announced; only the settings
// remain to be stored, without a word should that fail.
void FrmMain::onEndSession() {
    if (m_form->loaded()) {
        m_sessionEnding = true;
        m_form->unload();
    }
}

void FrmMain::handleEvent(std::wstring_view couldNot, const std::function<void()>& work) {
    {
        const plat::Command command(m_platform, couldNot);
        work();
    }
    carryOutPendingClose();
}

// The request is carried out as a close of its own: it saves, and a failed save asks
// again whether to close anyway (the box that held it back may have had another
// question). A box shown meanwhile may hold back a further request.
void FrmMain::carryOutPendingClose() {
    while (m_closePending && !m_platform.messageBoxOpen()) {
        m_closePending = false;
        if (m_form->loaded()) {
            const plat::Command command(m_platform, kCloseFailed);
            mnuFileExit_Click();
        }
    }
}

bool FrmMain::saveBeforeClosing() {
    const PageProblems problems = savePages();
    if (problems.empty()) {
        return true;
    }
    return m_platform.confirm(kSaveFailed + describeProblems(problems) + kExitAnyway, kAppTitle,
                              plat::MsgIcon::Exclamation, plat::MsgAnswer::No, m_form->handle());
}

}  // namespace notes
