// The project file reader on any bytes: refused with a message naming the file, or a project
// whose selections are in range, whose crystals are physical, and which reads back the same.
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
        }
        // What was read is written and read again to the same values.
        const feldan::Project back =
            feldan::ParseProject(feldan::ProjectBytes(project), "back.feldan");
        FELDAN_FUZZ_CHECK(back.design.texts.Fo == project.design.texts.Fo, text);
        FELDAN_FUZZ_CHECK(back.crystals.size() == project.crystals.size(), text);
        FELDAN_FUZZ_CHECK(back.trim == project.trim, text);
    } catch (const feldan::ProjectFileError& error) {
        const std::string what = error.what();
        FELDAN_FUZZ_CHECK(what.find("fuzz.feldan") != std::string::npos, what);
    }
    return 0;
}
