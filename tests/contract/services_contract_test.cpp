// The small services on every backend: ANSI conversion (code page 1252), the
// settings store and the clipboard.
#include <atomic>

#include "platform/services/ansi_text.h"
#include "platform/services/background.h"
#include "platform/services/clipboard.h"
#include "platform/services/settings.h"
#include "platform/services/timers.h"
#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

using Services = ContractTest;

TEST_F(Services, AnsiConversionIsWindows1252BothWays) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::wstring wide = platform().ansiText().fromAnsi(all);
    ASSERT_EQ(wide.size(), all.size());
    // 0x81 is one of the five bytes 1252 leaves undefined: the C1 control of its value.
    const std::pair<int, wchar_t> spots[] = {{0x00, L'\0'},     {0x80, L'\u20ac'}, {0x81, L'\u0081'},
                                             {0x8A, L'\u0160'}, {0x92, L'\u2019'}, {0x99, L'\u2122'},
                                             {0x9F, L'\u0178'}, {0xE9, L'\u00e9'}};
    for (const auto& [byte, ch] : spots) {
        EXPECT_EQ(wide[static_cast<std::size_t>(byte)], ch) << "byte " << byte;
    }
    std::string back;
    ASSERT_TRUE(platform().ansiText().toAnsi(wide, back));
    EXPECT_EQ(back, all);
    EXPECT_TRUE(platform().ansiText().toAnsi(L"", back));
    EXPECT_EQ(back, "");
    EXPECT_EQ(platform().ansiText().fromAnsi(""), L"");
}

// Nothing is ever replaced by '?' or a look-alike: the caller stores such text
// otherwise (the page files as UTF-8).
TEST_F(Services, TextWithoutAn8BitFormIsRefused) {
    const std::wstring refused[] = {
        L"ok \u0141",                                   // a letter of another code page
        L"\u0101",                                      // a letter with a best-fit look-alike ("a")
        L"\u0080",                                      // a C1 control that 1252 puts a euro sign in place of
        L"a \U0001F600 b",                              // outside the basic plane
        std::wstring(1, static_cast<wchar_t>(0xD83D)),  // a lone surrogate
    };
    for (const std::wstring& text : refused) {
        std::string out = "stale";
        EXPECT_FALSE(platform().ansiText().toAnsi(text, out)) << "character " << static_cast<unsigned>(text.back());
        EXPECT_EQ(out.find('?'), std::string::npos);
    }
}

// A later write replaces only the values it names; one that changes nothing is no
// failure.
TEST_F(Services, SettingsOfASectionRoundTripTogetherAndAbsentKeysGiveTheFallback) {
    const std::wstring app(kSettingsApp);
    plat::Settings& settings = platform().settings();
    EXPECT_EQ(settings.get(app, L"Window", L"Left", L"fallback"), L"fallback");
    const plat::SettingValues values = {{L"Left", L"120"}, {L"Caption", L" two  blanks, caf\u00e9 "}, {L"Empty", L""}};
    ASSERT_TRUE(settings.saveAll(app, L"Window", values).ok);
    EXPECT_EQ(settings.get(app, L"Window", L"Left", L"fallback"), L"120");
    EXPECT_EQ(settings.get(app, L"Window", L"Caption", L"fallback"), L" two  blanks, caf\u00e9 ");
    EXPECT_EQ(settings.get(app, L"Window", L"Empty", L"fallback"), L"");
    EXPECT_EQ(settings.get(app, L"Other", L"Left", L"fallback"), L"fallback");
    ASSERT_TRUE(settings.saveAll(app, L"Window", {{L"Left", L"-45"}, {L"Empty", L""}}).ok);
    EXPECT_EQ(settings.get(app, L"Window", L"Left", L"fallback"), L"-45");
    EXPECT_EQ(settings.get(app, L"Window", L"Caption", L"fallback"), L" two  blanks, caf\u00e9 ");
    ASSERT_TRUE(settings.saveAll(app, L"Window", {{L"Left", L"-45"}}).ok);
}

TEST_F(Services, ClipboardTextRoundTripsWithItsLineEnds) {
    const std::wstring text = L"first line\r\nsecond \u20ac\u0141\r\n\r\n";
    ASSERT_TRUE(platform().clipboard().setText(text).ok);
    std::wstring got;
    ASSERT_TRUE(platform().clipboard().getText(got).ok);
    EXPECT_EQ(got, text);

    backend().putClipboardText(L"from another program\r\n");
    ASSERT_TRUE(platform().clipboard().getText(got).ok);
    EXPECT_EQ(got, L"from another program\r\n");

    backend().emptyClipboard();
    got = L"stale";
    ASSERT_TRUE(platform().clipboard().getText(got).ok);
    EXPECT_EQ(got, L"");
}

// A timer fires once, on the window's thread, when the program handles its events
// after its time; a stopped one never does. Background work ends and is waited for.
TEST_F(Services, TimersFireOnceAfterTheirTimeAndBackgroundWorkEnds) {
    plat::Timers& timers = platform().timers();
    int fired = 0;
    EXPECT_NE(timers.startTimer(20, [&] { ++fired; }), 0);
    timers.stopTimer(timers.startTimer(20, [&] { fired += 100; }));
    const std::int64_t before = timers.nowMilliseconds();
    platform().wait(200);
    EXPECT_EQ(fired, 1);
    EXPECT_GE(timers.nowMilliseconds() - before, 199);
    platform().wait(100);
    EXPECT_EQ(fired, 1);

    std::atomic<bool> ran = false;
    const std::unique_ptr<plat::BackgroundTask> task = platform().background().start([&] { ran = true; });
    task->wait();
    EXPECT_TRUE(task->finished());
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace contract
