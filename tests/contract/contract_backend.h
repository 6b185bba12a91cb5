// The backend under test, as the contract suite sees it: the platform, and a small
// driver that plays the user and other programs. Each backend implements it in a
// file of its own (contract_backend_headless.cpp, contract_backend_win32.cpp); the
// cases themselves know only plat::Platform and plat::Form.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/services/form.h"

namespace contract {

// The settings application name the suite writes under; the backend removes it
// when a test ends.
inline constexpr std::wstring_view kSettingsApp = L"QuibbetsContract";

class ContractBackend {
public:
    virtual ~ContractBackend() = default;

    virtual plat::Platform& platform() = 0;
    virtual bool isHeadless() const = 0;
    // Handles the events that are waiting (the user's actions below are delivered
    // through them on a real desktop).
    virtual void settle() = 0;

    // --- The user ---
    // Opens the drop-downs above entry `id` one by one and clicks it, as with the
    // mouse; false when a disabled or hidden entry on the way stopped the click.
    virtual bool clickMenu(plat::Form& form, int id) = 0;
    // Ctrl+key, delivered as the desktop delivers keys to the form.
    virtual void pressShortcut(plat::Form& form, plat::Shortcut key) = 0;
    virtual void requestClose(plat::Form& form) = 0;
    // Sizes the window as the user's drag would, in twips.
    virtual void resize(plat::Form& form, float width, float height) = 0;
    // Enter and Esc in a dialog form.
    virtual void pressEnter(plat::Form& form) = 0;
    virtual void pressEscape(plat::Form& form) = 0;
    // Whether the form's window is on the screen.
    virtual bool visible(const plat::Form& form) const = 0;
    // Whether the desktop has hidden files and files held open against writing
    // (hideFile and holdOpen); Linux has neither.
    virtual bool hasFileLocksAndHiddenFiles() const { return true; }

    // --- Other programs and the file system ---
    // Another program sends the command of menu entry `id` to the form.
    virtual void sendCommand(plat::Form& form, int id) = 0;
    virtual void putClipboardText(std::wstring_view text) = 0;
    virtual void emptyClipboard() = 0;
    // Makes the file at `path` hidden.
    virtual void hideFile(const std::wstring& path) = 0;
    // Another program holds the file at `path` open, sharing neither writing nor
    // deleting it, until the test ends: the desktop cannot replace it meanwhile.
    virtual void holdOpen(const std::wstring& path) = 0;
    // The desktop learns of the changes just made to the files of `folder`: a real
    // desktop's file system tells it by itself; the headless one is told by the test.
    virtual void reportFolderChange(const std::wstring& folder) { (void)folder; }
};

// The backend this suite is linked with, its files in `folder` (an existing,
// empty folder).
std::unique_ptr<ContractBackend> makeContractBackend(const std::wstring& folder);

}  // namespace contract
