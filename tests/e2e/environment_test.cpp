// The Wine session the other tests rely on: the page file format is defined in
// code page 1252, so a session with another ANSI code page would test nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/driver/notes_app.h"
#include "tests/e2e/driver/probe_client.h"

namespace {

TEST(Environment, AnsiCodePageIs1252) {
    EXPECT_EQ(GetACP(), 1252u);
}

TEST(Environment, ProgramAndProbeArePresent) {
    EXPECT_NE(GetFileAttributesW(e2e::notesExePath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "notes.exe not found; build it or set QUIBBETS_E2E_NOTES";
    EXPECT_NE(GetFileAttributesW(e2e::probeDllPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Environment, ScreenIs96Dpi) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    ReleaseDC(nullptr, screen);
}

}  // namespace
