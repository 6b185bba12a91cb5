// The Wine session the other tests rely on: the page file format is defined in
// code page 1252, so a session with another ANSI code page would test nothing.
// And the probe the other tests rely on: it waits for a busy program, within its
// time limit, without ever blocking it or hanging the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "tests/e2e/driver/notes_app.h"
#include "tests/e2e/driver/probe_client.h"
#include "tests/e2e/driver/settings_registry.h"
#include "tests/e2e/e2e_fixture.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

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

// Runs `request`, which must fail because the program does not fetch its messages
// within `limit`, and checks that it failed clearly and about when it should.
template <class Request>
void expectNoAnswerWithin(e2e::Millis limit, Request request, const char* what) {
    const auto started = Clock::now();
    try {
        request();
        ADD_FAILURE() << what << " was answered although the program was busy";
    } catch (const e2e::DriverError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("did not fetch its messages"), std::string::npos) << message;
        EXPECT_NE(message.find("within " + std::to_string(limit.count()) + " ms"), std::string::npos) << message;
    }
    const auto took = std::chrono::duration_cast<e2e::Millis>(Clock::now() - started);
    EXPECT_GE(took, limit) << what;
    EXPECT_LT(took, limit + 1500ms) << what << " did not give up in time";
}

// The program's UI thread busy for seconds (Wine's EDIT laying out 1 MiB): a
// request with a short limit fails clearly within about that limit, one with the
// default limit is answered once the program is free, and the requests the driver
// gave up do no harm when the program gets to them.
TEST(Environment, ProbeWaitsForABusyProgramWithinItsTimeLimit) {
    e2e::clearSettings();
    const e2e::TestFolder folder = e2e::TestFolder::createTemporary();
    auto app = e2e::NotesApp::launch(folder);
    e2e::NotesWindow& window = app->window();
    e2e::ProbeClient& probe = window.probe();
    ASSERT_NE(window.menu().find({L"&File"}), nullptr);  // the agent is in the program now

    const std::wstring big = e2e::widen(e2e::pageText(1u << 20, "busy"));
    // Served at once, and then keeps the UI thread busy for seconds after the driver
    // gave up on it.
    expectNoAnswerWithin(
        500ms, [&] { probe.setText(window.editor(1), big, 500ms); }, "setting 1 MiB");
    // Posted while the program lays the text out: not served in time, and dropped
    // when the program gets to it, its block gone.
    expectNoAnswerWithin(
        300ms, [&] { probe.menuBar(window.handle(), 300ms); }, "the menu bar");

    const auto started = Clock::now();
    const e2e::MenuBar bar = probe.menuBar(window.handle());
    EXPECT_NE(bar.find({L"&File", L"&Save"}), nullptr);
    std::printf("[ probe    ] the busy program answered after %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<e2e::Millis>(Clock::now() - started).count()));
    EXPECT_TRUE(window.text(1) == big) << "the text set by the abandoned request differs";
    EXPECT_TRUE(app->process().running());
}

}  // namespace
