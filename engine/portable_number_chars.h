// std::to_chars and std::from_chars for doubles, built on fmt (Dragonbox for the shortest form,
// exact digits for a precision) and fast_float, for a standard library that lacks them (the
// web build's). The desktop compiles it too, so that a test holds it to the library's results.
#pragma once

#include <charconv>

namespace feldan::portable {

std::to_chars_result ToChars(char* first, char* last, double value);
std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision);
std::from_chars_result FromChars(const char* first, const char* last, double& value);

}  // namespace feldan::portable
