// Text services and small shared helpers: conversion to and from the ANSI code
// page (exact, and as an 8-bit program would pass text on), readable system error
// texts, colours and twips rectangles.
#include <climits>

#include "platform/win32/win32_common.h"
#include "platform/win32/win32_services.h"

namespace plat::win32 {

RECT toPixelRect(const Rect& r, Scale scale) {
    const int left = twipsToPixels(r.left, scale.x);
    const int top = twipsToPixels(r.top, scale.y);
    return {left, top, left + twipsToPixels(r.width, scale.x), top + twipsToPixels(r.height, scale.y)};
}

Rect toTwipsRect(const RECT& r, Scale scale) {
    return {toTwips(r.left, scale.x), toTwips(r.top, scale.y), toTwips(r.right - r.left, scale.x),
            toTwips(r.bottom - r.top, scale.y)};
}

COLORREF toColorRef(std::uint32_t colour) {
    if (colour & 0x80000000u) {
        return GetSysColor(static_cast<int>(colour & 0xFFu));
    }
    return colour & 0x00FFFFFFu;
}

std::wstring errorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length && buffer ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\r' || text.back() == L'\n' || text.back() == L'.' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? L"error " + std::to_wstring(code) : text;
}

FileStatus failure(DWORD code) {
    return FileStatus{false, errorText(code)};
}

// Best-fit mapping (for instance of "ā" to "a") is turned off and the default-
// character flag reports any character without an exact 8-bit form, so one pass
// decides. On a system whose ANSI code page is UTF-8 that flag is not allowed, and a
// round trip decides instead.
bool Win32AnsiText::toAnsi(std::wstring_view text, std::string& out) const {
    out.clear();
    if (text.empty()) {
        return true;
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX / 4)) {
        return false;
    }
    const bool utf8 = GetACP() == CP_UTF8;
    CPINFO info{};
    const std::size_t perChar = utf8 ? 4 : GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 0 ? info.MaxCharSize : 2;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    const int length = static_cast<int>(text.size());
    out.resize(text.size() * perChar + 2);  // room for the page file's line end
    const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, out.data(), static_cast<int>(out.size()),
                                         nullptr, utf8 ? nullptr : &usedDefault);
    if (size <= 0 || usedDefault || (utf8 && fromAnsi(std::string_view(out.data(), size)) != text)) {
        out.clear();
        return false;
    }
    out.resize(static_cast<std::size_t>(size));
    return true;
}

// A character with no 8-bit form becomes the code page's default character, as it
// would in that program.
std::string lossyAnsi(std::wstring_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX / 4)) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    }
    return out;
}

std::wstring Win32AnsiText::fromAnsi(std::string_view bytes) const {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), size);
    return text;
}

}  // namespace plat::win32
