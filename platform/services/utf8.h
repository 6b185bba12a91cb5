// UTF-8 <-> wide text, the one codec of the program: for page files and for the
// headless desktop's file names alike.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Where wchar_t is 16 bits a surrogate pair becomes one 4-byte sequence. A lone
// surrogate is kept as its own 3-byte form rather than dropped, and reads back as
// itself, so that any text survives the round trip. A value beyond U+10FFFF (only
// possible with 32-bit wchar_t) is written as U+FFFD.
std::string toUtf8(std::wstring_view text);
// Appends the UTF-8 form of `text` to `out`.
void appendUtf8(std::string& out, std::wstring_view text);
// Bytes that are not UTF-8 (a stray byte, a cut or overlong sequence) read as U+FFFD,
// one per byte.
std::wstring fromUtf8(std::string_view bytes);

}  // namespace plat
