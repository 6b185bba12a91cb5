// The page fingerprint: two multiply-and-rotate lanes over the bytes, eight bytes a
// step each, mixed into each other and finished with a full avalanche.
#include "notes/pagestore/page_digest.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace notes {
namespace {

constexpr std::uint64_t kPrimeA = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrimeB = 0xC2B2AE3D27D4EB4Full;

std::uint64_t step(std::uint64_t lane, std::uint64_t word, std::uint64_t prime) {
    return std::rotl((lane ^ word) * prime, 31);
}

std::uint64_t avalanche(std::uint64_t h) {
    h ^= h >> 30;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 31);
}

std::uint64_t wordAt(const char* p) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof(word));
    return word;
}

}  // namespace

void DigestBuilder::add(std::string_view bytes) {
    m_length += bytes.size();
    if (m_pendingSize > 0) {
        const std::size_t taken = std::min(bytes.size(), sizeof(m_pending) - m_pendingSize);
        std::memcpy(m_pending + m_pendingSize, bytes.data(), taken);
        m_pendingSize += taken;
        bytes.remove_prefix(taken);
        if (m_pendingSize < sizeof(m_pending)) {
            return;
        }
        m_a = step(m_a, wordAt(m_pending), kPrimeA);
        m_b = step(m_b, wordAt(m_pending + 8), kPrimeB);
        m_pendingSize = 0;
    }
    std::size_t i = 0;
    for (; i + 16 <= bytes.size(); i += 16) {
        m_a = step(m_a, wordAt(bytes.data() + i), kPrimeA);
        m_b = step(m_b, wordAt(bytes.data() + i + 8), kPrimeB);
    }
    m_pendingSize = bytes.size() - i;
    if (m_pendingSize > 0) {
        std::memcpy(m_pending, bytes.data() + i, m_pendingSize);
    }
}

// The last few bytes, with a marker bit so that trailing zero bytes count.
PageDigest DigestBuilder::finish() const {
    char tail[16] = {};
    std::memcpy(tail, m_pending, m_pendingSize);
    tail[m_pendingSize] = 1;
    const std::uint64_t a = step(m_a, wordAt(tail), kPrimeA);
    const std::uint64_t b = step(m_b, wordAt(tail + 8), kPrimeB);
    const std::uint64_t length = m_length;
    return {avalanche(a ^ std::rotl(b, 17) ^ length), avalanche(b + a * kPrimeB + length), m_length};
}

PageDigest digestOf(std::string_view bytes) {
    DigestBuilder digest;
    digest.add(bytes);
    return digest.finish();
}

}  // namespace notes
