// The Help menu: the About dialog below the window, and the help engine for the
// Contents and Search entries (hidden while the program has no help file).
#include "notes/about/frm_about.h"
#include "notes/window/frm_main.h"
#include "notes/window/menu_ids.h"
#include "platform/services/help.h"
#include "platform/services/screen.h"

namespace notes {
namespace {

constexpr wchar_t kNoHelp[] = L"Unable to display Help Contents. There is no Help associated with this project.";

}  // namespace

void FrmMain::mnuHelpContents_Click() {
    showHelp(plat::HelpCommand::Contents);
}

void FrmMain::mnuHelpSearch_Click() {
    showHelp(plat::HelpCommand::Search);
}

void FrmMain::showHelp(plat::HelpCommand command) {
    const std::wstring helpFile = m_platform.help().file();
    if (helpFile.empty()) {
        m_platform.inform(kNoHelp, m_form->caption(), plat::MsgIcon::Information, m_form->handle());
        return;
    }
    const plat::FileStatus status = m_platform.help().show(m_form->handle(), helpFile, command);
    if (!status.ok) {
        m_platform.inform(status.error, kAppTitle, plat::MsgIcon::None, m_form->handle());
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
    dialog.setBounds(keepInWorkArea(placed, m_platform.screen().workAreaNearest(placed)));
    dialog.showModal(*m_form);
}

}  // namespace notes
