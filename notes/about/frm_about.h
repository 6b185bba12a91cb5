// The About dialog: the program's icon, title, version, a description and a
// disclaimer, with OK and a button that starts the system-information tool.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "assets/resource_ids.h"
#include "platform/platform.h"
#include "platform/services/form.h"
#include "platform/services/geometry.h"

namespace notes {

// Control ids of the dialog's design.
enum AboutControl : int {
    picIcon = 101,
    lblTitle,
    lblVersion,
    lblDescription,
    lblDisclaimer,
    cmdOK,
    cmdSysInfo,
    Line1White,  // the two lines of the etched rule
    Line1Grey,
};

inline constexpr wchar_t kAboutCaption[] = L"About Quibbets";
inline constexpr wchar_t kSysInfoUnavailable[] = L"System Information Is Unavailable At This Time";

plat::FormDesign frmAboutDesign();

class FrmAbout : public plat::FormEvents {
public:
    // `afterClick` runs once each button click has been handled (the owner carries
    // out a close request that came while a box of the click was open).
    explicit FrmAbout(plat::Platform& platform, std::function<void()> afterClick = {});
    ~FrmAbout() override;
    FrmAbout(const FrmAbout&) = delete;
    FrmAbout& operator=(const FrmAbout&) = delete;

    plat::Form& form() { return *m_form; }

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Finds the system-information tool through the registry and starts it, or says
    // that it is unavailable.
    void StartSysInfo();
    // Reads one value of the machine key `keyName` as text into `keyVal`; false (and
    // `keyVal` empty) when the key or value is missing, unreadable, too long or has no data.
    bool GetKeyValue(std::string_view keyName, std::string_view subKeyRef, std::wstring& keyVal);

    // plat::FormEvents
    void onLoad() override { Form_Load(); }
    void onButtonClick(int id) override;
    void onCloseRequest(plat::CloseReason reason) override;

private:
    // The tool's path from the registry; false when it cannot be found.
    bool findSysInfo(std::wstring& path);

    plat::Platform& m_platform;
    std::function<void()> m_afterClick;
    std::unique_ptr<plat::Form> m_form;
};

// Where the About dialog opens: its left edge on the notes window's horizontal
// centre, its top 200 twips below the window's bottom edge.
plat::Rect placeAbout(const plat::Rect& notesWindow, const plat::Rect& dialog);
// `r` moved into `workArea` as far as it sticks out of it.
plat::Rect keepInWorkArea(const plat::Rect& r, const plat::Rect& workArea);

}  // namespace notes
