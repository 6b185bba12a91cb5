// The page fingerprint: two multiply-and-rotate lanes over the bytes, eight bytes a
// step each, mixed into each other and finished with a full avalanche.
#include "notes/pagestore/page_digest.h"

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

PageDigest digestOf(std::string_view bytes) {
    std::uint64_t a = 0x243F6A8885A308D3ull;
    std::uint64_t b = 0x13198A2E03707344ull;
    std::size_t i = 0;
    for (; i + 16 <= bytes.size(); i += 16) {
        a = step(a, wordAt(bytes.data() + i), kPrimeA);
        b = step(b, wordAt(bytes.data() + i + 8), kPrimeB);
    }
    // The last few bytes, with a marker bit so that trailing zero bytes count.
    char tail[16] = {};
    std::memcpy(tail, bytes.data() + i, bytes.size() - i);
    tail[bytes.size() - i] = 1;
    a = step(a, wordAt(tail), kPrimeA);
    b = step(b, wordAt(tail + 8), kPrimeB);
    const std::uint64_t length = bytes.size();
    return {avalanche(a ^ std::rotl(b, 17) ^ length), avalanche(b + a * kPrimeB + length), bytes.size()};
}

}  // namespace notes
