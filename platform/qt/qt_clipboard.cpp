// The clipboard, plain text. The program's text ends its lines with CR LF; other
// programs on this desktop expect LF alone, and may hand over either.
#include <QClipboard>
#include <QGuiApplication>

#include "platform/qt/qt_common.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/qt_textbox.h"

namespace plat::qt {

std::wstring toProgramLineEnds(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            out += L"\r\n";
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

FileStatus QtClipboard::setText(std::wstring_view text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return {false, L"There is no clipboard."};
    }
    clipboard->setText(toEditorText(text));  // LF line ends, as the editors hold text
    return {};
}

FileStatus QtClipboard::getText(std::wstring& text) {
    text.clear();
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return {false, L"There is no clipboard."};
    }
    text = toProgramLineEnds(fromQString(clipboard->text()));
    return {};
}

}  // namespace plat::qt
