// Small helpers shared by the Win32 backend's files: twips conversions, colours and
// readable system error texts.
#pragma once

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/services/geometry.h"
#include "platform/services/status.h"

namespace plat::win32 {

// Twips per pixel on each axis.
struct Scale {
    float x = 15;
    float y = 15;
};

inline float toTwips(long pixels, float perPixel) {
    return static_cast<float>(pixels) * perPixel;
}
RECT toPixelRect(const Rect& r, Scale scale);
Rect toTwipsRect(const RECT& r, Scale scale);

// A colour word (0x00BBGGRR, or 0x80000000 | system colour index) as a COLORREF.
COLORREF toColorRef(std::uint32_t colour);

// The system's text for an error code, without the trailing line end and period;
// "error N" when the system has none.
std::wstring errorText(DWORD code);
FileStatus failure(DWORD code);

// A function of a system library that only some commands need, looked up on first
// use rather than imported: every library imported is loaded, with the libraries it
// imports, at every start of the program. Under Wine shell32, which only the tray
// icon needs, costs the notes window tens of milliseconds that way. The library
// stays loaded once it is. Null when the library or the function is not there.
template <class Function>
Function libraryFunction(const wchar_t* library, const char* name) {
    const HMODULE module = LoadLibraryW(library);
    if (!module) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The bytes an 8-bit program would hold for `text` (win32_text.cpp).
std::string lossyAnsi(std::wstring_view text);

// A NUL-terminated copy, for the W functions.
inline std::wstring zstr(std::wstring_view text) {
    return std::wstring(text);
}

// Integer resource id as the pointer the resource functions take.
inline const wchar_t* resourceName(int id) {
    return reinterpret_cast<const wchar_t*>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}

}  // namespace plat::win32
