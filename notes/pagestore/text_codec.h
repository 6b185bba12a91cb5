// Bytes of a page file <-> page text. A page is stored in the 8-bit ANSI character
// set when every character has a byte there, otherwise as UTF-8 behind a byte-order
// mark; either way followed by one CR LF.
#pragma once

#include <string>
#include <string_view>

#include "notes/pagestore/page_digest.h"

namespace plat {
class Platform;
}

namespace notes {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kLineEnd = "\r\n";

// `text` in the 8-bit ANSI character set, or as UTF-8 behind a byte-order mark when
// a character has no 8-bit form (or the 8-bit bytes would start like that mark).
std::string encodeText(const plat::Platform& platform, std::wstring_view text);
// The whole content of a page file for `text`, and when asked its digest, taken as
// the bytes are made.
std::string encodePageFile(const plat::Platform& platform, std::wstring_view text, PageDigest* digest = nullptr);

// The bytes of a page file for a text handed over in pieces (as an editor reads its
// text out), and their digest, taken as the bytes are made. The bytes go into a
// string the caller keeps, whose room is used again: a Save of many pages allocates
// (and the system zero-fills) its buffer once. A page of plain ASCII, the common
// case, is narrowed, checked and digested a piece at a time, in one pass while each
// piece is still in the cache; the first character beyond ASCII sends the page the
// general way, which needs the whole text.
class PageEncoder {
public:
    PageEncoder(const plat::Platform& platform, std::string& bytes);
    void add(std::wstring_view piece);
    // UTF-16 units (characters here) handed over so far.
    std::size_t length() const { return m_length; }
    // Ends the bytes with the line end; their digest.
    PageDigest finish();

private:
    const plat::Platform& m_platform;
    std::string& m_bytes;
    DigestBuilder m_digest;
    std::size_t m_length = 0;
    bool m_ascii = true;
    std::wstring m_wide;  // the text, once it is not plain ASCII
};
// The page text held by a page file's bytes.
std::wstring decodePageFile(const plat::Platform& platform, std::string_view bytes);

}  // namespace notes
