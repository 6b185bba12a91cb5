// The Help menu: the About dialog below the window, and the help engine for the
// Contents and Search entries (hidden while the program has no help file).
#include "notes/about/frm_about.h"
#include "notes/window/frm_main.h"
#include "notes/window/menu_ids.h"

namespace notes {
namespace {

constexpr wchar_t kNoHelp[] = L"Unable to display Help Contents. There is no Help associated with this project.";

}  // namespace

void FrmMain::mnuHelpContents_Click() {
    showHelp(plat::kHelpContents);
}

void FrmMain::mnuHelpSearch_Click() {
    showHelp(plat::kHelpPartialKey);
}

void FrmMain::showHelp(std::uint32_t command) {
    const std::wstring helpFile = m_platform.helpFile();
    if (helpFile.empty()) {
        m_platform.messageBox(
            {kNoHelp, m_form->caption(), plat::MsgButtons::Ok, plat::MsgIcon::Information, 1, m_form->handle()});
        return;
    }
    const plat::FileStatus status = m_platform.showHelp(m_form->handle(), helpFile, command);
    if (!status.ok) {
        m_platform.messageBox(
            {status.error, kAppTitle, plat::MsgButtons::Ok, plat::MsgIcon::None, 1, m_form->handle()});
    }
}

// The dialog is made afresh for every opening, so its labels are filled each time.
// The notes window may be unloaded while the dialog is open (the program is asked to
// close): this window's unload closes the dialog first, and nothing here touches the
// window after the dialog has gone.
void FrmMain::mnuHelpAbout_Click() {
    FrmAbout about(m_platform, [this] { carryOutPendingClose(); });
    plat::Form& dialog = about.form();
    dialog.load();
    const plat::Rect placed = placeAbout(m_form->bounds(), dialog.bounds());
    dialog.setBounds(keepInWorkArea(placed, m_platform.workAreaNearest(placed)));
    dialog.showModal(*m_form);
}

}  // namespace notes
