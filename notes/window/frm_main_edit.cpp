// The Edit menu: Undo, Cut, Copy and Paste on the current page with a one-level
// snapshot undo and the plain-text clipboard, and Clear All with its archive.
#include "notes/pagestore/archive.h"
#include "notes/window/frm_main.h"
#include "notes/window/menu_ids.h"
#include "platform/services/clipboard.h"

namespace notes {
namespace {

// Another program may hold the clipboard for a moment (a clipboard viewer, a
// remote-desktop client): about one second of tries before giving up.
constexpr int kClipboardTries = 10;
constexpr int kClipboardRetryMs = 100;

constexpr wchar_t kClearQuestion[] = L"Are you sure you want to clear all pages?";
constexpr wchar_t kClearTitle[] = L"Delete all pages?";
constexpr wchar_t kArchiveFailed[] = L"The pages were not cleared, because their archive could not be written:\r\n\r\n";

}  // namespace

void FrmMain::mnuEdit_Click() {
    const bool selected = rtbNote(currentPage()).selection().selLength() != 0;
    setMenuEnabled(mnuEditCut, selected);
    setMenuEnabled(mnuEditCopy, selected);
}

void FrmMain::armUndo(const std::wstring& pageText) {
    m_undoText = pageText;
    m_undoPage = currentPage();
    setMenuEnabled(mnuEditUndo, true);
}

// The snapshot goes back into the page it was taken from, which is shown first, so
// one page's text never lands in another.
void FrmMain::mnuEditUndo_Click() {
    if (m_undoPage != currentPage()) {
        ShowPage(static_cast<std::int16_t>(m_undoPage));
    }
    rtbNote(m_undoPage).setText(m_undoText);
    m_undoText.clear();
    setMenuEnabled(mnuEditUndo, false);
}

void FrmMain::mnuEditCut_Click() {
    copySelection(true);
}

void FrmMain::mnuEditCopy_Click() {
    copySelection(false);
}

// The selection leaves the page only once the clipboard holds it; when the clipboard
// cannot take it, nothing changes, the undo snapshot included.
void FrmMain::copySelection(bool cut) {
    PageEditor& editor = rtbNote(currentPage());
    const std::wstring whole = editor.text();
    const std::wstring selected = editor.selection().selText();
    if (!useClipboard([&] { return m_platform.clipboard().setText(selected); }, cut ? L"cut" : L"copied")) {
        return;
    }
    armUndo(whole);
    if (cut) {
        editor.replaceSelection(L"");
    }
}

void FrmMain::mnuEditPaste_Click() {
    PageEditor& editor = rtbNote(currentPage());
    std::wstring text;
    if (!useClipboard([&] { return m_platform.clipboard().getText(text); }, L"pasted")) {
        return;
    }
    armUndo(editor.text());
    editor.replaceSelection(text);
}

// Each use of the clipboard is tried a few times before a message says that nothing
// was `verb` ("cut", "copied", "pasted"). The pause handles no events, so the page
// and its selection cannot change between the tries.
bool FrmMain::useClipboard(const std::function<plat::FileStatus()>& attempt, const wchar_t* verb) {
    for (int i = 0; i < kClipboardTries; ++i) {
        if (i > 0) {
            m_platform.pause(kClipboardRetryMs);
        }
        if (attempt().ok) {
            return true;
        }
    }
    m_platform.inform(L"The clipboard is in use by another program, so nothing was " + std::wstring(verb) +
                          L". Try again in a moment.",
                      kAppTitle, plat::MsgIcon::Exclamation, m_form->handle());
    return false;
}

// The pages are emptied only once their archive is safely on disk.
void FrmMain::mnuEditClear_Click() {
    if (!m_platform.confirm(kClearQuestion, kClearTitle, plat::MsgIcon::Exclamation, plat::MsgAnswer::Yes,
                            m_form->handle())) {
        return;
    }
    PageTexts pages;
    for (int i = 0; i < kPageCount; ++i) {
        pages[static_cast<std::size_t>(i)] = rtbNote(i).text();
    }
    const PageProblems problems = WriteArchive(m_platform, pages);
    if (!problems.empty()) {
        m_platform.inform(kArchiveFailed + describeProblems(problems), kAppTitle, plat::MsgIcon::Exclamation,
                          m_form->handle());
        return;
    }
    for (int i = 0; i < kPageCount; ++i) {
        rtbNote(i).setText(L"");
    }
}

}  // namespace notes
