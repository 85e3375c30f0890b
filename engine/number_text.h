// Number texts: the decimal separator of the user's locale, and the strict conversions of field
// and file texts to numbers. Nothing here reads global locale state; the separator is passed in.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace feldan {

// Replaces the separator that the locale does not use by the one it does: with ',' every '.'
// becomes ','; with any other separator every ',' becomes '.'.
std::string NormalizeDecimal(std::string_view text, char separator);

// Optional blanks, optional sign, digits with at most one `separator`, optional exponent
// (E or e, optional sign, digits), optional blanks. Anything else, and a value beyond the range
// of a double, throws ConversionError "'<text>' is not a valid floating point value".
// A value too small for a double becomes zero.
double StrToFloat(std::string_view text, char separator);

// A number typed into a field: either decimal separator, mapped by NormalizeDecimal, then
// StrToFloat. A refusal quotes the text as mapped.
double FieldTextToFloat(std::string_view text, char separator);

// Optional leading blanks, optional '+' or '-', then decimal digits, or hexadecimal digits after
// a "$", "x" or "0x" prefix (either case). Nothing may follow; the value must fit 32 bits signed.
// Otherwise throws ConversionError "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// Every double that files, outputs and texts write or read goes through these: the results of
// std::to_chars (the shortest round trip, or a format with a precision) and of std::from_chars
// (general format), from the standard library where it has them for doubles, else from a
// portable implementation with the same results (the web build's library lacks them).
std::to_chars_result DoubleToChars(char* first, char* last, double value);
std::to_chars_result DoubleToChars(char* first, char* last, double value, std::chars_format format,
                                   int precision);
std::from_chars_result DoubleFromChars(const char* first, const char* last, double& value);

// `value` in the shortest of fixed or scientific notation with `digits` significant digits, '.'
// (the machine-read texts: file comments, command-line output).
std::string GeneralText(double value, int digits);

}  // namespace feldan
