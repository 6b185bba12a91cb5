// A 16 MiB page: loads whole, takes a paste of the same size, saves and loads
// back intact. The editor's default limit (about 30,000 characters) would cut it.
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using BigPage = NotesTest;

constexpr size_t kBig = 16u << 20;

TEST_F(BigPage, SixteenMebibytesRoundTrip) {
    const std::string loaded = pageText(kBig, "loaded");
    NotesWindow& window = startWindow({{1, loaded + "\r\n"}}, kHugeWait);
    ASSERT_EQ(static_cast<size_t>(window.textLength(1)), loaded.size());
    EXPECT_TRUE(window.text(1) == widen(loaded)) << "the loaded page differs from its file";

    // Replace everything, as a paste over a full selection does.
    const std::string pasted = pageText(kBig, "pasted");
    window.replaceAll(1, widen(pasted));
    ASSERT_EQ(static_cast<size_t>(window.textLength(1)), pasted.size()) << "the paste was cut";

    ASSERT_TRUE(window.chooseAndWait({L"&File", L"&Save"}, kHugeWait));
    const auto saved = m_folder.read(L"page1.txt");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->size(), pasted.size() + 2);
    EXPECT_TRUE(*saved == pasted + "\r\n") << "page1.txt differs from the pasted text";

    kill();
    NotesWindow& again = startWindow({}, kHugeWait);
    ASSERT_EQ(static_cast<size_t>(again.textLength(1)), pasted.size());
    EXPECT_TRUE(again.text(1) == widen(pasted)) << "the page read back differs";
}

}  // namespace
}  // namespace e2e
