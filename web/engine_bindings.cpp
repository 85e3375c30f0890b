// The engine as the page calls it: a small C interface, one JSON text in and one out, so that
// the page needs nothing but the loader's ccall. Calculate now; sweep and transient are to take
// the same shape (feldan_sweep, feldan_transient).
#include <exception>
#include <sstream>
#include <string>

#include "files/calculation_json.h"
#include "web/calculate_request.h"

#if defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#define FELDAN_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define FELDAN_EXPORT
#endif

namespace {

// The last answer: the text handed to the page stays valid until the next call.
std::string answer;
int status = 0;

const char* Answer(const nlohmann::ordered_json& json, int exitStatus) {
    std::ostringstream out;
    feldan::DumpJson(json, out);
    answer = out.str();
    status = exitStatus;
    return answer.c_str();
}

}  // namespace

extern "C" {

// The object `feldan-cli --json` prints for the same options, or {"error": "..."} for a request
// that is not one.
FELDAN_EXPORT const char* feldan_calculate(const char* requestJson) {
    try {
        const nlohmann::json request = nlohmann::json::parse(requestJson);
        const feldan::web::CalculateRequest read = feldan::web::ReadCalculateRequest(request);
        const feldan::CalculationReport report = feldan::CalculateReport(
            read.fields, read.separator, read.overlay, read.language, {}, false, true);
        return Answer(feldan::CalculationJson(report), feldan::ExitStatusOf(report.ending));
    } catch (const std::exception& error) {
        return Answer({{"error", feldan::ForTerminal(error.what())}}, 2);
    }
}

// What feldan-cli would exit with after the last call: 0 done, 1 a warning, 2 an error.
FELDAN_EXPORT int feldan_status() {
    return status;
}
}
