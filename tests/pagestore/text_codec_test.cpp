// Page-file encoding: ANSI where every character fits, UTF-8 behind a byte-order
// mark otherwise, and the final line end handled so that nothing is lost.
#include <gtest/gtest.h>

#include "notes/pagestore/text_codec.h"
#include "platform/headless/headless_platform.h"
#include "platform/services/utf8.h"

namespace notes {
namespace {

using plat::fromUtf8;
using plat::toUtf8;

class TextCodecTest : public ::testing::Test {
protected:
    plat::headless::HeadlessPlatform m_platform{L"/tmp"};
};

TEST_F(TextCodecTest, Utf8RoundTripsEveryKindOfCharacter) {
    const std::wstring text = L"a\u00e9\u20ac\u041f\U0001F600\r\nz";
    EXPECT_EQ(toUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xD0\x9F\xF0\x9F\x98\x80\r\nz");
    EXPECT_EQ(fromUtf8(toUtf8(text)), text);
}

TEST_F(TextCodecTest, BrokenUtf8ReadsAsReplacementCharacters) {
    EXPECT_EQ(fromUtf8("a\xFF"
                       "b"),
              L"a\uFFFDb");
    EXPECT_EQ(fromUtf8("\xC3"), L"\uFFFD");            // cut short
    EXPECT_EQ(fromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD");  // overlong form
}

TEST_F(TextCodecTest, Windows1252TextIsStoredOneBytePerCharacter) {
    EXPECT_EQ(encodePageFile(m_platform, L"abc"), "abc\r\n");
    EXPECT_EQ(encodePageFile(m_platform, L"caf\u00e9 \u20ac5"),
              "caf\xE9 \x80"
              "5\r\n");
    EXPECT_EQ(encodePageFile(m_platform, L""), "\r\n");
}

TEST_F(TextCodecTest, TextOutsideTheCodePageIsStoredAsUtf8NotAsQuestionMarks) {
    const std::wstring text = L"\u041f\u0440\u0438\u0432\u0435\u0442 \u2713";
    const std::string bytes = encodePageFile(m_platform, text);
    EXPECT_EQ(bytes, std::string(kUtf8Bom) + toUtf8(text) + "\r\n");
    EXPECT_EQ(decodePageFile(m_platform, bytes), text);
}

TEST_F(TextCodecTest, AnsiTextThatLooksLikeAByteOrderMarkStillRoundTrips) {
    const std::wstring text = L"\u00ef\u00bb\u00bfhello";
    EXPECT_EQ(decodePageFile(m_platform, encodePageFile(m_platform, text)), text);
}

// The digest taken while encoding is the digest of the bytes, however they are cut:
// an ASCII page longer than one piece, one that turns non-ASCII past its first
// piece, and the pieces of a digest built by hand at every cut of a short input.
TEST_F(TextCodecTest, TheDigestTakenWhileEncodingIsTheDigestOfTheBytes) {
    const std::wstring ascii(40000, L'x');
    std::wstring late = ascii;
    late[20000] = L'\u20ac';
    for (const std::wstring& text : {std::wstring(), std::wstring(L"abc"), ascii, late}) {
        PageDigest digest;
        const std::string bytes = encodePageFile(m_platform, text, &digest);
        EXPECT_EQ(bytes, encodePageFile(m_platform, text));
        EXPECT_EQ(digest, digestOf(bytes)) << text.size();
        // The same text handed over in three pieces, as an editor may read it out.
        std::string pieced = "left over from the last page";
        PageEncoder encoder(m_platform, pieced);
        const std::wstring_view all(text);
        encoder.add(all.substr(0, text.size() / 3));
        encoder.add(all.substr(text.size() / 3, text.size() / 3));
        encoder.add(all.substr(2 * (text.size() / 3)));
        EXPECT_EQ(encoder.length(), text.size());
        EXPECT_EQ(encoder.finish(), digest);
        EXPECT_EQ(pieced, bytes);
    }
    const std::string input = "0123456789abcdefghijklmnopqrstuvwxyz!";
    for (std::size_t cut = 0; cut <= input.size(); ++cut) {
        for (std::size_t second = cut; second <= input.size(); second += 7) {
            DigestBuilder built;
            built.add(std::string_view(input).substr(0, cut));
            built.add(std::string_view(input).substr(cut, second - cut));
            built.add(std::string_view(input).substr(second));
            EXPECT_EQ(built.finish(), digestOf(input)) << cut << " " << second;
        }
    }
}

TEST_F(TextCodecTest, OnlyAFinalCrLfIsDropped) {
    EXPECT_EQ(decodePageFile(m_platform, "\r\n"), L"");
    EXPECT_EQ(decodePageFile(m_platform, "ab"), L"ab");
    EXPECT_EQ(decodePageFile(m_platform, "no line end"), L"no line end");
    EXPECT_EQ(decodePageFile(m_platform, "x\r\n\r\n"), L"x\r\n");
    EXPECT_EQ(decodePageFile(m_platform, "a"), L"a");
    EXPECT_EQ(decodePageFile(m_platform, ""), L"");
    EXPECT_EQ(decodePageFile(m_platform, "ends in LF\n"), L"ends in LF\n");
}

}  // namespace
}  // namespace notes
