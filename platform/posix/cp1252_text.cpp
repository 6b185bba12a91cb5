// Windows-1252 <-> wchar_t, exactly as Windows converts it: every byte has a
// character (the five undefined bytes map to the C1 controls of the same value).
#include <algorithm>
#include <array>

#include "platform/posix/posix_services.h"

namespace plat::posix {

namespace {

// Characters of the bytes 0x80..0x9F.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

bool toByte(char32_t c, unsigned char& byte) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        byte = static_cast<unsigned char>(c);
        return true;
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

}  // namespace

bool Cp1252Text::toAnsi(std::wstring_view text, std::string& out) const {
    out.clear();
    out.reserve(text.size());
    for (const wchar_t wc : text) {
        unsigned char byte = 0;
        if (!toByte(static_cast<char32_t>(wc), byte)) {
            out.clear();
            return false;
        }
        out.push_back(static_cast<char>(byte));
    }
    return true;
}

// Written through a pointer, a whole block at a time where it is plain ASCII (a loop
// the compiler widens many bytes at once), since a page's text comes this way.
std::wstring Cp1252Text::fromAnsi(std::string_view bytes) const {
    constexpr std::size_t kBlock = 64;
    std::wstring out(bytes.size(), L'\0');
    wchar_t* to = out.data();
    const auto* from = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t end = std::min(bytes.size(), i + kBlock);
        unsigned char any = 0;
        for (std::size_t j = i; j < end; ++j) {
            any |= from[j];
        }
        if (any < 0x80) {
            for (std::size_t j = i; j < end; ++j) {
                to[j] = static_cast<wchar_t>(from[j]);
            }
        } else {
            for (std::size_t j = i; j < end; ++j) {
                const unsigned char b = from[j];
                to[j] = static_cast<wchar_t>(b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80u] : b);
            }
        }
        i = end;
    }
    return out;
}

}  // namespace plat::posix
