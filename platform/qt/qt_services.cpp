// Program facts, the screen, settings, the clipboard, help and the registry.
#include "platform/qt/qt_services.h"

namespace plat::qt {

std::wstring QtProgramInfo::folder() const {
    return L".";
}

std::wstring_view QtProgramInfo::pathSeparator() const {
    return L"/";
}

std::wstring QtProgramInfo::dataFolder() const {
    return folder();
}

void QtProgramInfo::version(int& major, int& minor, int& revision) const {
    major = minor = revision = 0;
}

float QtScreen::twipsPerPixelX() const {
    return m_state->twipsPerPixelX;
}

float QtScreen::twipsPerPixelY() const {
    return m_state->twipsPerPixelY;
}

Rect QtScreen::workAreaNearest(const Rect& r) const {
    return r;
}

std::wstring QtSettings::get(std::wstring_view, std::wstring_view, std::wstring_view,
                             std::wstring_view fallback) const {
    return std::wstring(fallback);
}

FileStatus QtSettings::save(std::wstring_view, std::wstring_view, std::wstring_view, std::wstring_view) {
    return {};
}

FileStatus QtClipboard::setText(std::wstring_view) {
    return {};
}

FileStatus QtClipboard::getText(std::wstring& text) {
    text.clear();
    return {};
}

RegOpenResult QtRegistry::openMachineKey(std::string_view, RegKey& key) {
    key = 0;
    return RegOpenResult::NotFound;
}

RegReadResult QtRegistry::readValue(RegKey, std::string_view, RegValueKind&, std::uint8_t*, std::uint32_t& size) {
    size = 0;
    return RegReadResult::NotFound;
}

void QtRegistry::closeKey(RegKey) {}

std::wstring QtHelp::file() const {
    return {};
}

FileStatus QtHelp::show(NativeHandle, std::wstring_view, HelpCommand) {
    return {false, L"There is no help engine."};
}

}  // namespace plat::qt
