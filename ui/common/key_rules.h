// The character rules of the numeric input fields: which typed characters reach a field, and
// Enter moving on to the next field.
#pragma once

#include <optional>

class QKeyEvent;

namespace feldan {

inline constexpr char16_t BackspaceChar = 8;
inline constexpr char16_t EnterChar = 13;

// The character a key press types into an edit box, control characters included (Ctrl+C is 3,
// Backspace 8, Enter 13). Keys that type nothing (arrows, Delete, Home, Tab, function keys,
// Shift+Insert) give no character and are never filtered.
std::optional<char16_t> TypedCharacter(const QKeyEvent& event);

enum class KeyVerdict { Pass, Suppress, NextField };

// Fo, Ld, Cs, Rd and dF: digits, both decimal separators and Backspace; Enter moves on.
KeyVerdict FilterNumberKey(char16_t c);
// The level: digits, both separators, the minus sign and Backspace; Enter is swallowed.
KeyVerdict FilterLevelKey(char16_t c);

}  // namespace feldan
