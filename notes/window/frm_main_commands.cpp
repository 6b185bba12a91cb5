// The File commands and every way of closing the notes window. Each close but
// "Exit Without Save" saves the pages first, and a failed save is never silent.
#include "notes/window/frm_main.h"
#include "notes/window/print_page.h"
#include "platform/services/printer.h"

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

// While it lives, a save takes the default of a question instead of asking it.
class Unattended {
public:
    explicit Unattended(bool& flag) : m_flag(flag), m_was(flag) { flag = true; }
    ~Unattended() { m_flag = m_was; }
    Unattended(const Unattended&) = delete;
    Unattended& operator=(const Unattended&) = delete;

private:
    bool& m_flag;
    bool m_was;
};

// One question for every page that changed on disk and here: which text stays in
// the page. Both are kept either way.
std::wstring conflictQuestion(const std::vector<PageConflict>& conflicts) {
    std::vector<int> numbers;
    for (const PageConflict& c : conflicts) {
        numbers.push_back(c.number);
    }
    const bool one = numbers.size() == 1;
    std::wstring text = pageList(numbers) + (one ? L" has" : L" have") +
                        L" changed on disk since this window loaded or saved " + (one ? L"it" : L"them") +
                        L", and this window has changes of its own. Both texts are kept.\r\n\r\nYes:";
    for (const PageConflict& c : conflicts) {
        text += L"\r\n" + pageFileName(c.number) + L" gets this window's text; the other text goes into \"" +
                c.elsewhereCopy + L"\".";
    }
    text += L"\r\n\r\nNo:";
    for (const PageConflict& c : conflicts) {
        text += L"\r\n" + pageFileName(c.number) + L" keeps the other text, shown here from now on; this window's " +
                L"text goes into \"" + c.windowCopy + L"\".";
    }
    text[0] = L'P';  // "Page 1 has ..."
    return text + L"\r\n\r\nPut this window's text into the page" + (one ? L"?" : L"s?");
}

}  // namespace

// A close that no one watches (the session's end, the launcher's Close) takes the
// default rather than wait for an answer.
PageProblems FrmMain::savePages(PageProblems* warnings) {
    m_copies.settle();
    ConflictChoice choose;
    if (!m_unattended) {
        choose = [this](const std::vector<PageConflict>& conflicts) {
            return m_platform.confirm(conflictQuestion(conflicts), kAppTitle, plat::MsgIcon::Question,
                                      plat::MsgAnswer::Yes, m_form->handle());
        };
    }
    PageProblems problems = SavePages(*this, warnings, choose, &m_saveRoom);
    // The room of a big page is let go: kept, a rare 16 MiB page would hold its
    // bytes for the rest of the run.
    constexpr std::size_t kRoomKept = std::size_t{4} << 20;
    if (m_saveRoom.capacity() > kRoomKept) {
        m_saveRoom = std::string();
    }
    m_copies.saved();
    m_follower.watch();  // the first save makes the data folder
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
        const Unattended unattended(m_unattended);
        handleEvent(kCloseFailed, [&] { mnuFileExit_Click(); });
    }
}

// A close held back meanwhile is part of the session's end when it goes on, and is
// carried out when the user keeps the program.
bool FrmMain::onQueryEndSession() {
    const Unattended unattended(m_unattended);
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
            const Unattended unattended(m_unattended);
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
