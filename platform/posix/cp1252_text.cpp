// Windows-1252 <-> wchar_t, exactly as Windows converts it: every byte has a
// character (the five undefined bytes map to the C1 controls of the same value).
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

std::wstring Cp1252Text::fromAnsi(std::string_view bytes) const {
    std::wstring out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.push_back(static_cast<wchar_t>(b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80u] : b));
    }
    return out;
}

}  // namespace plat::posix
