// The project file reader on any bytes: refused with a message naming the file, or a project
// whose selections are in range, whose crystals are physical, and which reads back the same.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/project_file.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const feldan::Project project = feldan::ParseProject(text, "fuzz.feldan");
        FELDAN_FUZZ_CHECK(
            project.design.filterType >= 1 && project.design.filterType <= feldan::FilterTypeCount,
            text);
        FELDAN_FUZZ_CHECK(project.design.responseType >= 1 &&
                              project.design.responseType <= feldan::ResponseTypeCount,
                          text);
        for (const feldan::NamedCrystal& c : project.crystals) {
            const feldan::CrystalModel& m = c.model;
            FELDAN_FUZZ_CHECK(m.fsHz > 0 && m.lmH > 0 && m.cmF > 0 && m.rmOhm > 0 && m.c0F >= 0,
                              c.name);
            FELDAN_FUZZ_CHECK(std::isfinite(m.fsHz + m.lmH + m.cmF + m.rmOhm + m.c0F), c.name);
            if (!c.sweep) continue;
            const std::vector<double>& hz = c.sweep->frequencyHz;
            FELDAN_FUZZ_CHECK(hz.size() == c.sweep->measured.size(), c.name);
            FELDAN_FUZZ_CHECK(std::is_sorted(hz.begin(), hz.end()), c.name);
        }
        // What was read is written and read again to the same values.
        const feldan::Project back =
            feldan::ParseProject(feldan::ProjectBytes(project), "back.feldan");
        FELDAN_FUZZ_CHECK(back.design.texts.Fo == project.design.texts.Fo, text);
        FELDAN_FUZZ_CHECK(back.crystals.size() == project.crystals.size(), text);
        for (std::size_t k = 0; k < back.crystals.size(); ++k) {
            const auto& a = back.crystals[k].sweep;
            const auto& b = project.crystals[k].sweep;
            FELDAN_FUZZ_CHECK(
                a.has_value() == b.has_value() &&
                    (!a || (a->frequencyHz == b->frequencyHz && a->measured == b->measured)),
                text);
        }
        FELDAN_FUZZ_CHECK(back.trim == project.trim, text);
    } catch (const feldan::ProjectFileError& error) {
        const std::string what = error.what();
        FELDAN_FUZZ_CHECK(what.find("fuzz.feldan") != std::string::npos, what);
    }
    return 0;
}
