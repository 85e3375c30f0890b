// The one escaping of every text the tool prints that may quote input.
#include <gtest/gtest.h>

#include <string>

#include "cli/shell_text.h"

namespace {

using feldan::cli::ForTerminal;

TEST(ForTerminal, KeepsTextAndEscapesControlsAndBrokenBytes) {
    const struct {
        const char* name;
        std::string text;
        std::string shown;
    } cases[] = {
        {"Cyrillic, emoji, NBSP", "Гц \xf0\x9f\x98\x80\xc2\xa0", "Гц \xf0\x9f\x98\x80\xc2\xa0"},
        {"line break and tab stay", "a\nb\tc", "a\nb\tc"},
        {"C0 and DEL", "\x1b[31m\a\x7f", "\\x1b[31m\\x07\\x7f"},
        {"C1",
         "\xc2\x9b"
         "1",
         "\\u009b1"},
        {"bytes of UTF-16", "\xff\xfe", "\\xff\\xfe"},
        {"stray continuation", "a\x80z", "a\\x80z"},
        {"overlong two bytes", "\xc0\xaf", "\\xc0\\xaf"},
        {"overlong three bytes", "\xe0\x80\xaf", "\\xe0\\x80\\xaf"},
        {"overlong four bytes", "\xf0\x80\x80\xaf", "\\xf0\\x80\\x80\\xaf"},
        {"surrogate", "\xed\xa0\x80", "\\xed\\xa0\\x80"},
        {"above U+10FFFF", "\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
        {"no such lead", "\xf5\x80", "\\xf5\\x80"},
        {"cut short at the end", "\xe2\x82", "\\xe2\\x82"},
        {"cut short by a character", "\xe2\x82Гц", "\\xe2\\x82Гц"},
        {"last character U+10FFFF", "\xf4\x8f\xbf\xbf", "\xf4\x8f\xbf\xbf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ForTerminal(c.text), c.shown);
    }
}

}  // namespace
