// The Touchstone reader on any bytes: the first byte chooses one or two ports (its lowest bit),
// the rest is the file. Either the file is refused with a message that names it, or every point
// read is finite and the frequencies never decrease.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/touchstone.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int ports = (data[0] & 1) + 1;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        const feldan::TouchstoneData d = feldan::ParseTouchstone(text, ports, "fuzz.snp");
        FELDAN_FUZZ_CHECK(d.size() > 0 && d.s.size() == d.size(), "sizes");
        FELDAN_FUZZ_CHECK(d.referenceOhm > 0 && std::isfinite(d.referenceOhm), "reference");
        for (std::size_t i = 0; i < d.size(); ++i) {
            FELDAN_FUZZ_CHECK(std::isfinite(d.frequencyHz[i]) && d.frequencyHz[i] >= 0,
                              std::to_string(d.frequencyHz[i]));
            if (i > 0) FELDAN_FUZZ_CHECK(d.frequencyHz[i - 1] < d.frequencyHz[i], "order");
            for (const auto& value : d.s[i]) {
                // A magnitude in dB near the largest double overflows to infinity: that is
                // what the file says, and a reader may keep it; NaN it may not.
                FELDAN_FUZZ_CHECK(!std::isnan(value.real()) && !std::isnan(value.imag()), "NaN");
            }
        }
    } catch (const feldan::TouchstoneError& error) {
        const std::string what = error.what();
        FELDAN_FUZZ_CHECK(what.find("fuzz.snp") != std::string::npos, what);
    }
    return 0;
}
