// Page-file text encoding: ANSI where it fits, UTF-8 with a byte-order mark where
// it does not, so that no character is ever turned into '?'.
#include "notes/pagestore/text_codec.h"

#include "platform/platform.h"
#include "platform/services/ansi_text.h"
#include "platform/services/utf8.h"

#include <algorithm>
#include <cstdint>

namespace notes {
namespace {

// Narrows `count` characters and says whether all were ASCII. The inner loop's fixed
// length and the two unaliased pointers let the compiler do it a vector at a time.
bool narrowAscii(const wchar_t* __restrict in, std::size_t count, char* __restrict out) {
    constexpr std::size_t kBlock = 64;
    std::uint32_t any = 0;
    std::size_t i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        std::uint32_t blockAny = 0;
        for (std::size_t k = 0; k < kBlock; ++k) {
            blockAny |= static_cast<std::uint32_t>(in[i + k]);
            out[i + k] = static_cast<char>(in[i + k]);
        }
        any |= blockAny;
    }
    for (; i < count; ++i) {
        any |= static_cast<std::uint32_t>(in[i]);
        out[i] = static_cast<char>(in[i]);
    }
    return any < 0x80;
}

}  // namespace

// Plain ASCII is the same bytes in the ANSI character set, so the common page is
// narrowed straight into the file's bytes.
std::string encodeText(const plat::Platform& platform, std::wstring_view text) {
    std::string bytes(text.size(), '\0');
    if (narrowAscii(text.data(), text.size(), bytes.data())) {
        return bytes;
    }
    bytes.clear();
    // ANSI bytes that happen to start like a byte-order mark would read back as
    // UTF-8, so such a page is stored as UTF-8 too.
    if (!platform.ansiText().toAnsi(text, bytes) || bytes.starts_with(kUtf8Bom)) {
        bytes.assign(kUtf8Bom);
        plat::appendUtf8(bytes, text);
    }
    return bytes;
}

std::string encodePageFile(const plat::Platform& platform, std::wstring_view text, PageDigest* digest) {
    std::string bytes;
    PageEncoder encoder(platform, bytes);
    encoder.add(text);
    const PageDigest made = encoder.finish();
    if (digest != nullptr) {
        *digest = made;
    }
    return bytes;
}

PageEncoder::PageEncoder(const plat::Platform& platform, std::string& bytes) : m_platform(platform), m_bytes(bytes) {
    m_bytes.clear();
}

void PageEncoder::add(std::wstring_view piece) {
    constexpr std::size_t kPiece = 16384;
    m_length += piece.size();
    if (!m_ascii) {
        m_wide += piece;
        return;
    }
    for (std::size_t at = 0; at < piece.size(); at += kPiece) {
        const std::wstring_view part = piece.substr(at, kPiece);
        const std::size_t start = m_bytes.size();
        m_bytes.resize(start + part.size());
        if (!narrowAscii(part.data(), part.size(), m_bytes.data() + start)) {
            // The ASCII so far, and all that follows, as text for the general way.
            m_ascii = false;
            m_bytes.resize(start);
            m_wide.assign(m_bytes.begin(), m_bytes.end());
            m_wide += piece.substr(at);
            return;
        }
        m_digest.add(std::string_view(m_bytes).substr(start));
    }
}

PageDigest PageEncoder::finish() {
    if (m_ascii) {
        m_bytes += kLineEnd;
        m_digest.add(kLineEnd);
        return m_digest.finish();
    }
    m_bytes = encodeText(m_platform, m_wide);
    m_bytes += kLineEnd;
    return digestOf(m_bytes);
}

std::wstring decodePageFile(const plat::Platform& platform, std::string_view bytes) {
    // Only a final CR LF is the one the writer added; a file from elsewhere that
    // does not end in one keeps every character.
    if (bytes.ends_with(kLineEnd)) {
        bytes.remove_suffix(kLineEnd.size());
    }
    if (bytes.starts_with(kUtf8Bom)) {
        return plat::fromUtf8(bytes.substr(kUtf8Bom.size()));
    }
    return platform.ansiText().fromAnsi(bytes);
}

}  // namespace notes
