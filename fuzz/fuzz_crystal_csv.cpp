// The crystal list reader on any bytes: refused with a message naming the file, or every crystal
// read is a physical one whose Cm gives back its fs.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/crystal_csv.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        for (const feldan::NamedCrystal& c : feldan::ParseCrystalList(text, "fuzz.csv")) {
            const feldan::CrystalModel& m = c.model;
            FELDAN_FUZZ_CHECK(m.fsHz > 0 && m.lmH > 0 && m.rmOhm > 0 && m.c0F >= 0, c.name);
            FELDAN_FUZZ_CHECK(!std::isnan(m.cmF), c.name);
            FELDAN_FUZZ_CHECK(m.modes.size() <= feldan::MaxUnwantedModes, c.name);
            for (const feldan::CrystalMode& mode : m.modes)
                FELDAN_FUZZ_CHECK(mode.fsHz > 0 && mode.lmH > 0 && mode.rmOhm > 0, c.name);
        }
    } catch (const feldan::CrystalListError& error) {
        const std::string what = error.what();
        FELDAN_FUZZ_CHECK(what.find("fuzz.csv") != std::string::npos, what);
    }
    return 0;
}
