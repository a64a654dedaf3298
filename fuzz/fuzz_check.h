// What the fuzz targets share: an invariant check that survives NDEBUG, and ASCII lower case.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// Aborts with the failed condition when `condition` is false; libFuzzer then saves the input.
#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #condition, __FILE__, \
                         __LINE__);                                                      \
            std::abort();                                                                \
        }                                                                                \
    } while (false)

namespace zendrik::fuzz {

// `text` with A-Z lowered and every other byte as it is; written apart from the engine's
// helpers so that the checks do not share its faults.
inline std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// FNV-1a of `bytes`: a seed for choices that must follow from the input alone.
inline unsigned long long hashOf(std::string_view bytes) {
    unsigned long long h = 14695981039346656037ull;
    for (char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

// xorshift64: the next of a sequence of pseudo-random numbers; `state` must not be 0.
inline unsigned long long nextRandom(unsigned long long& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

}  // namespace zendrik::fuzz
