#include "instruments/scan_line.h"

#include <array>
#include <cmath>

#include "engine/number_text.h"

namespace feldan {

std::optional<ScanPoint> ParseScanLine(std::string_view line) {
    std::array<double, 5> values{};
    std::size_t count = 0;
    std::size_t at = 0;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (true) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        if (at == line.size()) break;
        if (count == values.size()) return std::nullopt;
        std::size_t end = at;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        // from_chars takes no '+', which no firmware writes either.
        double value = 0;
        const auto [stop, error] = DoubleFromChars(line.data() + at, line.data() + end, value);
        if (error != std::errc() || stop != line.data() + end || !std::isfinite(value))
            return std::nullopt;
        values[count++] = value;
        at = end;
    }
    if (count != values.size() || !(values[0] > 0)) return std::nullopt;
    return ScanPoint{values[0], {values[1], values[2]}, {values[3], values[4]}};
}

}  // namespace feldan
