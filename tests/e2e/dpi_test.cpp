// The window at the screen's DPI (the session's LogPixels, given as QUIBBETS_E2E_DPI
// by dpi.sh): the first-run size in that screen's pixels, and a move to a screen of
// another DPI. Each case keeps a picture of the window (QUIBBETS_E2E_SHOTS).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using Dpi = NotesTest;

int fontHeight(NotesWindow& window) {
    return window.probe().fontHeight(window.editor(1));
}

// The window as the screen shows it, as a 32-bit BMP in the folder QUIBBETS_E2E_SHOTS.
void keepPicture(HWND window, const std::string& name) {
    const char* folder = std::getenv("QUIBBETS_E2E_SHOTS");
    RECT r{};
    if (folder == nullptr) {
        return;
    }
    // The program draws on its own time: a picture taken at once may show the window
    // half drawn.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(500);
    if (!GetWindowRect(window, &r)) {
        return;
    }
    const int width = r.right - r.left, height = r.bottom - r.top;
    BITMAPINFOHEADER info{sizeof(info), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD pixels = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(info) + pixels), 0, 0,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(info))};
    if (FILE* out = std::fopen((std::string(folder) + "\\" + name).c_str(), "wb")) {
        std::fwrite(&file, sizeof(file), 1, out);
        std::fwrite(&info, sizeof(info), 1, out);
        std::fwrite(bits, 1, pixels, out);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST_F(Dpi, TheFirstRunWindowIsItsSizeInThisScreensPixels) {
    NotesWindow& window = startWindow();
    const int left = twipsToPixels(500), size = twipsToPixels(3852);
    expectRectNear(window.outerRect(), RECT{left, left, left + size, left + size}, 1, "window");
    expectRectNear(window.editorRect(1), expectedEditorRect(window.handle()), 1, "editor 1");
    // The editors' text is drawn at this screen's size: the message font of 96 dpi is
    // 11 to 13 pixels high.
    const double height96 = fontHeight(window) * 96.0 / sessionDpi();
    EXPECT_GE(height96, 10.5);
    EXPECT_LE(height96, 13.5);
    keepPicture(window.handle(), "first-run-" + std::to_string(sessionDpi()) + "dpi.bmp");
}

TEST_F(Dpi, OnAScreenOfAnotherDpiTheWindowTakesTheSuggestedRectangleAndItsFont) {
    NotesWindow& window = startWindow();
    const int dpi = sessionDpi() == 192 ? 144 : 192;
    const RECT before = window.outerRect();
    const int fontBefore = fontHeight(window);
    // The system suggests the same size to the eye: the pixels scale with the DPI.
    const int width = MulDiv(before.right - before.left, dpi, sessionDpi());
    const int height = MulDiv(before.bottom - before.top, dpi, sessionDpi());
    const RECT suggested{before.left, before.top, before.left + width, before.top + height};
    window.probe().dpiChanged(window.handle(), dpi, suggested);
    expectRectNear(window.outerRect(), suggested, 1, "window");
    // The editor fills the client area by the new screen's twips.
    const double twips = 1440.0 / dpi;
    RECT client{};
    GetClientRect(window.handle(), &client);
    const int editorWidth = static_cast<int>(std::nearbyint((width * twips - 110) / twips));
    const int editorHeight = static_cast<int>(std::nearbyint((height * twips - 550) / twips));
    expectRectNear(window.editorRect(1),
                   RECT{0, 0, std::min(editorWidth, static_cast<int>(client.right)),
                        std::min(editorHeight, static_cast<int>(client.bottom))},
                   1, "editor 1");
    EXPECT_NEAR(fontHeight(window), MulDiv(fontBefore, dpi, sessionDpi()), 1);
    keepPicture(window.handle(), "moved-" + std::to_string(sessionDpi()) + "-to-" + std::to_string(dpi) + "dpi.bmp");
}

}  // namespace
}  // namespace e2e
