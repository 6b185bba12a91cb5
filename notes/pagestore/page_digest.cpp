// The page fingerprint: two multiply-and-rotate lanes over the text, two characters
// a step, each finished with a full avalanche.
#include "notes/pagestore/page_digest.h"

#include <bit>

namespace notes {
namespace {

constexpr std::uint64_t kPrimeA = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrimeB = 0xC2B2AE3D27D4EB4Full;

std::uint64_t step(std::uint64_t lane, std::uint64_t word, std::uint64_t prime, int rotation) {
    return std::rotl((lane ^ word) * prime, rotation);
}

std::uint64_t avalanche(std::uint64_t h) {
    h ^= h >> 30;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 31);
}

}  // namespace

PageDigest digestOf(std::wstring_view text) {
    std::uint64_t a = 0x243F6A8885A308D3ull;
    std::uint64_t b = 0x13198A2E03707344ull;
    std::size_t i = 0;
    for (; i + 1 < text.size(); i += 2) {
        const std::uint64_t word =
            static_cast<std::uint32_t>(text[i]) | (std::uint64_t{static_cast<std::uint32_t>(text[i + 1])} << 32);
        a = step(a, word, kPrimeA, 31);
        b = step(b, word, kPrimeB, 27);
    }
    if (i < text.size()) {
        const std::uint64_t word = static_cast<std::uint32_t>(text[i]) | (std::uint64_t{1} << 63);
        a = step(a, word, kPrimeA, 31);
        b = step(b, word, kPrimeB, 27);
    }
    return {avalanche(a ^ text.size()), avalanche(b + text.size()), text.size()};
}

}  // namespace notes
