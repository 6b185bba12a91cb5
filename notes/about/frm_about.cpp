// The About dialog's life: filled in at load, closed by OK, Enter, Esc or its close
// box; and where it opens.
#include "notes/about/frm_about.h"

#include "platform/services/program_info.h"

#include <algorithm>
#include <utility>

namespace notes {

FrmAbout::FrmAbout(plat::Platform& platform, std::function<void()> afterClick)
    : m_platform(platform), m_afterClick(std::move(afterClick)) {
    m_form = m_platform.createForm(frmAboutDesign(), *this);
}

FrmAbout::~FrmAbout() = default;

void FrmAbout::Form_Load() {
    int major = 0;
    int minor = 0;
    int revision = 0;
    m_platform.program().version(major, minor, revision);
    m_form->setControlText(lblVersion, L"Version " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
                                           std::to_wstring(revision));
    m_form->setControlText(lblTitle, kAppTitle);
}

void FrmAbout::cmdOK_Click() {
    m_form->unload();
}

void FrmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

// A close request that came while System Info's message box was open is carried out
// by the owner once the click has been handled (the notes window's unload closes
// this dialog).
void FrmAbout::onButtonClick(int id) {
    if (id == cmdOK) {
        cmdOK_Click();
    } else if (id == cmdSysInfo) {
        const plat::Command command(m_platform, L"The system information tool could not be started");
        cmdSysInfo_Click();
    }
    if (m_afterClick) {
        m_afterClick();
    }
}

void FrmAbout::onCloseRequest(plat::CloseReason) {
    m_form->unload();
}

plat::Rect placeAbout(const plat::Rect& notesWindow, const plat::Rect& dialog) {
    plat::Rect placed = dialog;
    placed.left = notesWindow.width / 2 + notesWindow.left;
    placed.top = notesWindow.height + notesWindow.top + 200;
    return placed;
}

// A rectangle larger than the work area keeps its top-left corner in it, so that
// its caption can still be reached.
plat::Rect keepInWorkArea(const plat::Rect& r, const plat::Rect& workArea) {
    plat::Rect kept = r;
    kept.left = std::max(std::min(r.left, workArea.left + workArea.width - r.width), workArea.left);
    kept.top = std::max(std::min(r.top, workArea.top + workArea.height - r.height), workArea.top);
    return kept;
}

}  // namespace notes
