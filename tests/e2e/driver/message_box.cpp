// Reading and answering the program's message boxes from outside.
#include "tests/e2e/driver/message_box.h"

namespace e2e {

namespace {

std::wstring withoutAccelerator(const std::wstring& caption) {
    std::wstring out;
    for (wchar_t c : caption) {
        if (c != L'&') {
            out += c;
        }
    }
    return out;
}

bool isDialog(HWND window) {
    return IsWindowVisible(window) && windowClass(window) == L"#32770";
}

}  // namespace

std::vector<std::wstring> MessageBoxView::buttonCaptions() const {
    std::vector<std::wstring> captions;
    for (const DialogButton& button : buttons) {
        captions.push_back(withoutAccelerator(button.caption));
    }
    return captions;
}

void MessageBoxView::press(const std::wstring& label) const {
    for (const DialogButton& button : buttons) {
        if (withoutAccelerator(button.caption) == label) {
            HWND control = GetDlgItem(window, button.id);
            // The same notification a click sends; posting keeps the test free of
            // whatever the program does next.
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(button.id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
            return;
        }
    }
    fail("the message box has no button " + toUtf8(label));
}

std::vector<HWND> dialogWindows(const ProgramProcess& process) {
    std::vector<HWND> dialogs;
    for (HWND window : process.topLevelWindows()) {
        if (isDialog(window)) {
            dialogs.push_back(window);
        }
    }
    return dialogs;
}

MessageBoxView readMessageBox(HWND dialog) {
    MessageBoxView view;
    view.window = dialog;
    view.caption = windowText(dialog);
    for (HWND child : descendants(dialog)) {
        const std::wstring type = windowClass(child);
        const std::wstring text = windowText(child);
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if (lstrcmpiW(type.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            view.iconControl = child;
        } else if (lstrcmpiW(type.c_str(), L"Static") == 0 && !text.empty()) {
            view.text += text;
        } else if (lstrcmpiW(type.c_str(), L"Button") == 0 && IsWindowVisible(child)) {
            view.buttons.push_back({GetDlgCtrlID(child), text});
            // Wine's message box marks its default button by style only; DM_GETDEFID
            // keeps answering the template's IDOK.
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                view.defaultButton = GetDlgCtrlID(child);
            }
        }
    }
    return view;
}

MessageBoxView waitForMessageBox(const ProgramProcess& process, Millis timeout) {
    HWND dialog = process.waitForWindow(isDialog, timeout, "a message box");
    // The box is visible before its controls are all created under Wine: wait
    // for its buttons.
    MessageBoxView view;
    waitUntil([&] { return !(view = readMessageBox(dialog)).buttons.empty(); }, kShortWait);
    return view;
}

}  // namespace e2e
