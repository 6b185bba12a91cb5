// The notes window's life: load, layout, unload, page navigation and the routing
// of menu commands to their handlers.
#include "notes/window/frm_main.h"

#include <algorithm>

#include "notes/window/frm_main_design.h"
#include "notes/window/menu_ids.h"
#include "notes/window/window_settings.h"
#include "platform/services/timers.h"

namespace notes {

namespace {

// Layout offsets: the editors fill the window less its frame, caption and menu bar.
// They assume certain frame and bar sizes, so the result is clipped to the client area.
constexpr float kEditorWidthOffset = 110;
constexpr float kEditorHeightOffset = 550;

constexpr wchar_t kSettingsFailed[] = L"The window's place and size could not be stored:\r\n\r\n";

// What could not be done when a menu command fails with an exception.
std::wstring_view couldNot(int id) {
    if (id >= mnuGoOne && id <= mnuGoTen) {
        return L"The page could not be shown";
    }
    switch (id) {
        case mnuFileSave: return L"The pages could not be saved";
        case mnuFilePrint: return L"The page could not be printed";
        case mnuFileExit:
        case mnuFileExitNoSave: return L"The program could not be closed";
        case mnuPrev:
        case mnuNext: return L"The page could not be shown";
        case mnuEditUndo: return L"The page could not be put back";
        case mnuEditCut: return L"The text could not be cut";
        case mnuEditCopy: return L"The text could not be copied";
        case mnuEditPaste: return L"The text could not be pasted";
        case mnuEditClear: return L"The pages could not be cleared";
        case mnuHelpContents:
        case mnuHelpSearch: return L"Help could not be shown";
        case mnuHelpAbout: return L"The About box could not be shown";
        default: return {};
    }
}

// One measure of the layout: the outer size less its offset, never more than the
// client area. A negative result is not applied by the editor; an empty client area
// (a minimized window) gives one too, so the editors keep their size meanwhile.
float fitted(float outer, float offset, float client) {
    return client > 0 ? std::min(outer - offset, client) : -1;
}

}  // namespace

FrmMain::FrmMain(plat::Platform& platform)
    : m_platform(platform),
      m_copies(*this,
               [this](const std::wstring& message) {
                   handleEvent(L"The unsaved text could not be kept", [&] {
                       m_platform.inform(message, kAppTitle, plat::MsgIcon::Exclamation, m_form->handle());
                   });
               }),
      m_follower(
          *this, [this](int index) { followFile(index); }, [this] { updateGoEntries(true, true); }) {
    m_form = m_platform.createForm(frmMainDesign(), *this);
    for (int i = 0; i < kPageCount; ++i) {
        m_editors.push_back(std::make_unique<PageEditor>(m_form->textBox(i)));
        m_editors.back()->onEdit([this, i] { m_copies.pageChanged(i); });
    }
}

FrmMain::~FrmMain() {
    m_platform.timers().stopTimer(m_lateTimer);
}

void FrmMain::Form_Load() {
    m_form->setBounds(readWindowBounds(m_platform));
    for (int i = 0; i < kPageCount; ++i) {
        rtbNote(i).setVisible(false);
    }
    applyEditorLayout();
    rtbNote(0).setVisible(true);
    rtbNote(0).setAccessibleName(L"Page 1");
    m_form->setCaption(std::wstring(kCaptionPrefix) + L"1");
    m_currentPage = 0;
}

void FrmMain::Form_Resize() {
    applyEditorLayout();
}

// Every editor gets the rule; a hidden one takes its new size only when it is shown,
// since a multi-line editor lays out its whole text on each change of size. A size
// that would be negative is left as it was.
void FrmMain::applyEditorLayout() {
    const plat::Rect outer = m_form->bounds();
    const plat::Rect client = m_form->clientArea();
    const float width = fitted(outer.width, kEditorWidthOffset, client.width);
    const float height = fitted(outer.height, kEditorHeightOffset, client.height);
    for (int i = 0; i < kPageCount; ++i) {
        rtbNote(i).setGeometry({0, 0, width, height});
    }
}

void FrmMain::Form_Unload(std::int16_t& cancel) {
    (void)cancel;
    // Window 0 is this one, already being unloaded; the others (an About box) go first.
    for (int i = m_platform.openFormCount() - 1; i >= 1; --i) {
        m_platform.unloadForm(i);
    }
    m_copies.close();
    if (m_form->windowState() == plat::WindowState::Minimized) {
        return;
    }
    // The window closes in any case. At the session's end a box would wait for an
    // answer no one gives, and hold up the desktop, so the failure goes unsaid then.
    const plat::FileStatus stored = writeWindowSettings(m_platform, *m_form);
    if (!stored.ok && !m_sessionEnding) {
        m_platform.inform(kSettingsFailed + stored.error, kAppTitle, plat::MsgIcon::Exclamation, m_form->handle());
    }
}

// The page shown is the last visible editor, 0 if none is.
int FrmMain::pageShown() {
    int shown = 0;
    for (int i = 0; i < kPageCount; ++i) {
        if (rtbNote(i).visible()) {
            shown = i;
        }
    }
    return shown;
}

// Shows the target before hiding the page left, so one page is always on screen.
void FrmMain::ShowPage(std::int16_t k) {
    const int p = pageShown();
    rtbNote(k).setVisible(true);
    rtbNote(k).setAccessibleName(L"Page " + std::to_wstring(k + 1));
    m_form->setCaption(kCaptionPrefix + std::to_wstring(k + 1));
    m_currentPage = k;
    if (p != k) {
        rtbNote(p).setVisible(false);
    }
    rtbNote(k).setFocus();
}

void FrmMain::mnuNext_Click() {
    const int p = pageShown();
    ShowPage(static_cast<std::int16_t>(p == kPageCount - 1 ? 0 : p + 1));
}

void FrmMain::mnuPrev_Click() {
    const int p = pageShown();
    ShowPage(static_cast<std::int16_t>(p == 0 ? kPageCount - 1 : p - 1));
}

void FrmMain::updateGoEntries(bool enableNonEmpty, bool disableEmpty) {
    for (int i = 0; i < kPageCount; ++i) {
        const bool empty = rtbNote(i).empty();
        if (empty && disableEmpty) {
            setMenuEnabled(mnuGoOne + i, false);
        } else if (!empty && enableNonEmpty) {
            setMenuEnabled(mnuGoOne + i, true);
        }
    }
}

// The caret stays where it was, as far as the new text reaches; a file that cannot
// be read leaves the page as it was, to be tried at the next change.
void FrmMain::followFile(int index) {
    PageEditor& editor = rtbNote(index);
    const int caret = editor.visible() ? editor.selection().selStart() : -1;
    if (!ReloadPage(*this, index + 1) && caret >= 0) {
        editor.selection().select(std::min(caret, static_cast<int>(editor.textLength())), 0);
    }
}

// Only a real change reaches the menu, so that nothing is redrawn for nothing.
void FrmMain::setMenuEnabled(int id, bool enabled) {
    if (m_form->menuEnabled(id) != enabled) {
        m_form->setMenuEnabled(id, enabled);
    }
}

void FrmMain::onMenuClick(int id) {
    handleEvent(couldNot(id), [&] { runMenuCommand(id); });
}

void FrmMain::runMenuCommand(int id) {
    if (id >= mnuGoOne && id <= mnuGoTen) {
        ShowPage(static_cast<std::int16_t>(id - mnuGoOne));
        return;
    }
    switch (id) {
        case mnuFileSave: mnuFileSave_Click(); break;
        case mnuFilePrint: mnuFilePrint_Click(); break;
        case mnuFileExit: mnuFileExit_Click(); break;
        case mnuFileExitNoSave: mnuFileExitNoSave_Click(); break;
        case mnuPrev: mnuPrev_Click(); break;
        case mnuNext: mnuNext_Click(); break;
        case mnuEditUndo: mnuEditUndo_Click(); break;
        case mnuEditCut: mnuEditCut_Click(); break;
        case mnuEditCopy: mnuEditCopy_Click(); break;
        case mnuEditPaste: mnuEditPaste_Click(); break;
        case mnuEditClear: mnuEditClear_Click(); break;
        case mnuHelpContents: mnuHelpContents_Click(); break;
        case mnuHelpSearch: mnuHelpSearch_Click(); break;
        case mnuHelpAbout: mnuHelpAbout_Click(); break;
        default: break;
    }
}

// A shortcut raises this too before its entry acts, so Ctrl+X and Ctrl+C follow the
// selection of the moment even when the menu was never opened.
void FrmMain::onMenuOpen(int id) {
    if (id == mnuEdit) {
        mnuEdit_Click();
    }
}

}  // namespace notes
