// The base of every window class of this backend: it registers the class once,
// stores `this` at WM_NCCREATE and forwards each message to handleMessage, so that a
// window procedure is a member function that translates messages and dispatches.
#pragma once

#include <windows.h>

namespace plat::win32 {

struct PlatformState;

// A window class: its name and the little that differs between ours.
struct WindowClass {
    const wchar_t* name = nullptr;
    UINT style = 0;
    bool arrowAndButtonFace = false;  // the arrow cursor and the dialog background
};

// What CreateWindowExW is given besides the class.
struct WindowParams {
    const wchar_t* title = L"";
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    HWND parent = nullptr;
    HMENU menu = nullptr;
};

class Win32Window {
public:
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Null until created, and again once destroyed (by this object or by a parent).
    HWND hwnd() const { return m_hwnd; }

protected:
    explicit Win32Window(const PlatformState& state) : m_state(&state) {}
    virtual ~Win32Window();

    // Creates the window; its messages come to handleMessage from WM_NCCREATE on.
    HWND create(const WindowClass& windowClass, const WindowParams& params);
    // Destroys the window; handleMessage sees none of the messages of its going.
    void destroy();
    // An exception that escapes it goes to the platform's failure report and no
    // further; the message then returns 0.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    const PlatformState* m_state;
    HWND m_hwnd = nullptr;
};

}  // namespace plat::win32
