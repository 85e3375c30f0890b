// What the fuzz targets share: a check that stops the run with a readable reason, so libFuzzer
// records the input that broke a promise of the code and not only the ones that crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace feldan::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* what,
                              std::string_view detail) {
    std::fprintf(stderr, "%s:%d: broken promise: %s\n  detail: %.*s\n", file, line, what,
                 static_cast<int>(detail.size() > 400 ? 400 : detail.size()), detail.data());
    std::abort();
}

// True when `text` holds "nan", "inf" or "infinity" as a word of its own, in any case: words
// such as "information" or "nancy" do not count.
inline bool HasNonFiniteWord(std::string_view text) {
    auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    std::size_t i = 0;
    while (i < text.size()) {
        if (!isLetter(text[i])) {
            ++i;
            continue;
        }
        std::string word;
        for (; i < text.size() && isLetter(text[i]); ++i)
            word += static_cast<char>(text[i] | 0x20);
        if (word == "nan" || word == "inf" || word == "infinity") return true;
    }
    return false;
}

}  // namespace feldan::fuzz

#define FELDAN_FUZZ_CHECK(condition, detail) \
    ((condition) ? (void)0 : ::feldan::fuzz::Fail(__FILE__, __LINE__, #condition, (detail)))
