// Shared set-up and helpers of the end-to-end tests.
#include "tests/e2e/e2e_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace e2e {

void NotesTest::SetUp() {
    clearSettings();
}

void NotesTest::TearDown() {
    kill();
}

NotesApp& NotesTest::start(const PageFiles& pages) {
    kill();
    m_app = NotesApp::launch(m_folder, pages);
    return *m_app;
}

NotesWindow& NotesTest::startWindow(const PageFiles& pages, Millis timeout) {
    return start(pages).window(timeout);
}

void NotesTest::kill() {
    if (m_app && m_app->process().running()) {
        m_app->process().terminate();
    }
    m_app.reset();
}

std::wstring goCaption(int page) {
    return page == 10 ? L"Page 1&0" : L"Page &" + std::to_wstring(page);
}

std::vector<int> enabledGoPages(NotesWindow& window) {
    const MenuBar bar = window.menu();
    std::vector<int> pages;
    for (int page = 1; page <= kPageCount; ++page) {
        if (bar.at({L"&Go", goCaption(page)}).enabled()) {
            pages.push_back(page);
        }
    }
    return pages;
}

int sessionDpi() {
    static const int dpi = [] {
        const char* given = std::getenv("QUIBBETS_E2E_DPI");
        const int value = given != nullptr ? std::atoi(given) : 0;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

double twipsPerPixel() {
    return 1440.0 / sessionDpi();
}

int twipsToPixels(double twips) {
    return static_cast<int>(std::nearbyint(twips / twipsPerPixel()));
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

std::string pageText(size_t bytes, const std::string& tag) {
    std::string text;
    text.reserve(bytes + 80);
    for (size_t line = 1; text.size() < bytes; ++line) {
        if (line > 1) {
            text += "\r\n";
        }
        std::string row = tag + " line " + std::to_string(line) + ": ";
        while (row.size() < 68) {
            row += static_cast<char>('a' + (row.size() + line) % 26);
        }
        text += row;
    }
    return text;
}

std::wstring widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

bool startsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

RECT expectedEditorRect(HWND window) {
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int width = twipsToPixels((outer.right - outer.left) * twipsPerPixel() - 110);
    const int height = twipsToPixels((outer.bottom - outer.top) * twipsPerPixel() - 550);
    return RECT{0, 0, std::min(width, static_cast<int>(client.right)),
                std::min(height, static_cast<int>(client.bottom))};
}

void expectRectNear(const RECT& actual, const RECT& expected, int tolerance, const char* what) {
    EXPECT_NEAR(actual.left, expected.left, tolerance) << what << " left";
    EXPECT_NEAR(actual.top, expected.top, tolerance) << what << " top";
    EXPECT_NEAR(actual.right - actual.left, expected.right - expected.left, tolerance) << what << " width";
    EXPECT_NEAR(actual.bottom - actual.top, expected.bottom - expected.top, tolerance) << what << " height";
}

}  // namespace e2e
