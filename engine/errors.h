// Errors that abandon a command: a text that is not a number, an arithmetic fault, a file that
// cannot be read or written. Each carries the exact text the user is shown.
#pragma once

#include <stdexcept>
#include <string>

namespace feldan {

class CommandError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A field or file text that is not a number.
class ConversionError : public CommandError {
  public:
    using CommandError::CommandError;
};

// Division by zero or an invalid operation in the synthesis.
class ArithmeticError : public CommandError {
  public:
    using CommandError::CommandError;
};

inline constexpr const char* DivisionByZeroText = "Floating point division by zero";
inline constexpr const char* InvalidOperationText = "Invalid floating point operation";
// A result too large for a double (for example Fo squared of an absurdly large Fo).
inline constexpr const char* OverflowText = "Floating point overflow";

}  // namespace feldan
