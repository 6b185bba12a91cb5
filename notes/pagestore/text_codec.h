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
// The same into `bytes`, whose room is used again: a Save of many pages allocates
// (and the system zero-fills) its buffer once.
void encodePageFile(const plat::Platform& platform, std::wstring_view text, std::string& bytes, PageDigest* digest);
// The page text held by a page file's bytes.
std::wstring decodePageFile(const plat::Platform& platform, std::string_view bytes);

}  // namespace notes
