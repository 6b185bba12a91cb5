// Stored window settings that cannot be used as they are: not numbers, or a
// rectangle the user could not reach.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using Settings = NotesTest;

RECT workArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// The whole window, caption bar included, lies in the work area.
void expectInside(const RECT& window, const RECT& area) {
    EXPECT_GE(window.left, area.left - 1);
    EXPECT_GE(window.top, area.top - 1);
    EXPECT_LE(window.right, area.right + 1);
    EXPECT_LE(window.bottom, area.bottom + 1);
}

TEST_F(Settings, ValuesThatAreNotNumbersFallBackToDefaults) {
    for (const wchar_t* name : {L"MainLeft", L"MainTop", L"MainWidth", L"MainHeight", L"BackColor"}) {
        writeSetting(name, L"abc");
    }
    NotesWindow& window = startWindow();
    const int left = twipsToPixels(500), size = twipsToPixels(3852);
    expectRectNear(window.outerRect(), RECT{left, left, left + size, left + size}, 1, "window");
}

TEST_F(Settings, OneBadValueKeepsTheOthers) {
    writeGeometry(L"1500", L"12x", L"6000");
    writeSetting(L"MainHeight", L"");
    NotesWindow& window = startWindow();
    expectRectNear(window.outerRect(), RECT{100, twipsToPixels(500), 500, twipsToPixels(500) + twipsToPixels(3852)}, 1,
                   "window");
}

TEST_F(Settings, WindowOffEveryScreenIsBroughtBack) {
    writeGeometry(L"900000", L"900000", L"4500", L"3000");
    NotesWindow& window = startWindow();
    const RECT r = window.outerRect();
    expectInside(r, workArea());
    EXPECT_NEAR(r.right - r.left, 300, 1) << "a size that fits is kept";
    EXPECT_NEAR(r.bottom - r.top, 200, 1);
}

TEST_F(Settings, CaptionBarAboveTheScreenIsBroughtBack) {
    writeGeometry(L"1500", L"-3000", L"4500", L"3000");
    NotesWindow& window = startWindow();
    expectInside(window.outerRect(), workArea());
}

TEST_F(Settings, WindowFarLeftIsBroughtBack) {
    writeGeometry(L"-900000", L"1500");
    NotesWindow& window = startWindow();
    expectInside(window.outerRect(), workArea());
}

}  // namespace
}  // namespace e2e
