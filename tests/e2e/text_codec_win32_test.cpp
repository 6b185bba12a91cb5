// Page-file encoding where wchar_t is 16 bits (Windows, run under Wine): a
// character outside the basic plane is a surrogate pair in the page text and one
// 4-byte UTF-8 sequence in the file, and it comes back as the same pair. The Win32
// backend's ANSI conversion has no 8-bit form for it, so such a page is UTF-8.
#include <gtest/gtest.h>

#include "notes/pagestore/text_codec.h"
#include "platform/win32/win32_platform.h"

static_assert(sizeof(wchar_t) == 2, "this test is about 16-bit wchar_t");

namespace notes {
namespace {

const std::wstring kGrin = L"\U0001F600";
const std::wstring kHwair = L"\U00010348";

class TextCodecWin32 : public ::testing::Test {
protected:
    plat::win32::Win32Platform m_platform;
};

TEST_F(TextCodecWin32, APairIsOneCharacterOfFourUtf8Bytes) {
    ASSERT_EQ(kGrin, std::wstring(L"\xD83D\xDE00"));
    ASSERT_EQ(kHwair, std::wstring(L"\xD800\xDF48"));
    EXPECT_EQ(toUtf8(kGrin + kHwair), "\xF0\x9F\x98\x80\xF0\x90\x8D\x88");
    EXPECT_EQ(fromUtf8("\xF0\x9F\x98\x80\xF0\x90\x8D\x88"), kGrin + kHwair);
}

TEST_F(TextCodecWin32, PageWithPairsIsStoredAsUtf8WithBomAndReadBack) {
    EXPECT_EQ(encodePageFile(m_platform, L"caf\u00e9 \u20ac"), "caf\xE9 \x80\r\n") << "8-bit text stays 8-bit";

    const std::wstring text = L"caf\u00e9 " + kGrin + L"\r\n" + kHwair;
    std::string ansi;
    EXPECT_FALSE(m_platform.toAnsi(text, ansi));
    const std::string bytes = encodePageFile(m_platform, text);
    EXPECT_EQ(bytes,
              "\xEF\xBB\xBF"
              "caf\xC3\xA9 \xF0\x9F\x98\x80\r\n\xF0\x90\x8D\x88\r\n");
    EXPECT_EQ(decodePageFile(m_platform, bytes), text);
}

TEST_F(TextCodecWin32, LoneSurrogatesSurviveTheRoundTrip) {
    const std::wstring text = std::wstring(L"a\xD83D") + L"b\xDE00" + kGrin + L"\xD800";
    EXPECT_EQ(decodePageFile(m_platform, encodePageFile(m_platform, text)), text);
}

}  // namespace
}  // namespace notes
