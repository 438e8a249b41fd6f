// What every fuzz target shares: the fuzzer's bytes taken apart front to
// back into the values a target needs, and a check that stops the run with
// the failed condition. A target that runs out of bytes gets zeros and empty
// texts, so every input means something and no input is thrown away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>

namespace fuzz {

struct Input {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

inline bool exhausted(const Input& in) { return in.size == 0; }

inline std::uint8_t take_byte(Input& in) {
    if (in.size == 0) return 0;
    --in.size;
    return *in.data++;
}

// Big-endian, so that a seed written by hand reads the way it looks.
template <typename T>
T take(Input& in) {
    static_assert(std::is_integral_v<T>);
    using U = std::make_unsigned_t<T>;
    U value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) value = static_cast<U>((value << 8) | take_byte(in));
    return static_cast<T>(value);
}

inline bool take_bool(Input& in) { return (take_byte(in) & 1) != 0; }

// The bytes up to the next NUL (dropped) or the end, at most `max` of them:
// texts stay readable in seed files, one after another.
inline std::string take_text(Input& in, std::size_t max = 256) {
    std::string out;
    while (in.size > 0 && out.size() < max) {
        const std::uint8_t b = take_byte(in);
        if (b == 0) break;
        out.push_back(static_cast<char>(b));
    }
    return out;
}

inline std::string_view rest(Input& in) {
    const std::string_view all(reinterpret_cast<const char*>(in.data), in.size);
    in.data += in.size;
    in.size = 0;
    return all;
}

// Reported by libFuzzer as a crash, with the input saved.
[[noreturn]] inline void fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : ::fuzz::fail(#condition, __FILE__, __LINE__))
