// The UTF-8 codec. Encoded surrogates are accepted on reading (they are what a lone
// surrogate is written as); everything else that is not well-formed is U+FFFD.
#include "platform/services/utf8.h"

namespace plat {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendChar(std::string& out, char32_t c) {
    auto byte = [&out](char32_t v) { out.push_back(static_cast<char>(v)); };
    if (c > 0x10FFFF) {
        c = kReplacement;
    }
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

void appendWide(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(c));
}

// Decodes one sequence at `i`; returns its length (1 for an invalid byte).
std::size_t decodeOne(std::string_view s, std::size_t i, char32_t& c) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    const std::size_t len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
        c = kReplacement;
        return 1;
    }
    c = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b >> 6) != 2) {
            c = kReplacement;
            return 1;
        }
        c = (c << 6) | (b & 0x3F);
    }
    constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[len] || c > 0x10FFFF) {
        c = kReplacement;
        return 1;
    }
    return len;
}

}  // namespace

void appendUtf8(std::string& out, std::wstring_view text) {
    out.reserve(out.size() + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            const auto low = static_cast<char32_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendChar(out, c);
    }
}

std::string toUtf8(std::wstring_view text) {
    std::string out;
    appendUtf8(out, text);
    return out;
}

std::wstring fromUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        i += decodeOne(bytes, i, c);
        appendWide(out, c);
    }
    return out;
}

}  // namespace plat
