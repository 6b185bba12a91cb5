// The page-file codec on each backend's own ANSI conversion. Where wchar_t is 16
// bits (Windows) a character outside the basic plane is a surrogate pair in the page
// text and one 4-byte UTF-8 sequence in the file, and it comes back as the same
// pair; no backend has an 8-bit form for it, so such a page is stored as UTF-8.
#include "notes/pagestore/text_codec.h"
#include "platform/services/utf8.h"
#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

using notes::decodePageFile;
using notes::encodePageFile;
using PageCodec = ContractTest;

const std::wstring kGrin = L"\U0001F600";
const std::wstring kHwair = L"\U00010348";

TEST_F(PageCodec, ACharacterOutsideTheBasicPlaneIsOneOfFourUtf8Bytes) {
    if constexpr (sizeof(wchar_t) == 2) {
        ASSERT_EQ(kGrin, std::wstring(L"\xD83D\xDE00"));
        ASSERT_EQ(kHwair, std::wstring(L"\xD800\xDF48"));
    }
    EXPECT_EQ(plat::toUtf8(kGrin + kHwair), "\xF0\x9F\x98\x80\xF0\x90\x8D\x88");
    EXPECT_EQ(plat::fromUtf8("\xF0\x9F\x98\x80\xF0\x90\x8D\x88"), kGrin + kHwair);
}

TEST_F(PageCodec, PageWithSuchCharactersIsStoredAsUtf8WithBomAndReadBack) {
    EXPECT_EQ(encodePageFile(platform(), L"caf\u00e9 \u20ac"), "caf\xE9 \x80\r\n") << "8-bit text stays 8-bit";

    const std::wstring text = L"caf\u00e9 " + kGrin + L"\r\n" + kHwair;
    const std::string bytes = encodePageFile(platform(), text);
    EXPECT_EQ(bytes,
              "\xEF\xBB\xBF"
              "caf\xC3\xA9 \xF0\x9F\x98\x80\r\n\xF0\x90\x8D\x88\r\n");
    EXPECT_EQ(decodePageFile(platform(), bytes), text);
}

TEST_F(PageCodec, LoneSurrogatesSurviveTheRoundTrip) {
    const std::wstring text = std::wstring(L"a\xD83D") + L"b\xDE00" + kGrin + L"\xD800";
    EXPECT_EQ(decodePageFile(platform(), encodePageFile(platform(), text)), text);
}

}  // namespace
}  // namespace contract
