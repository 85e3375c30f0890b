// The engine as the page calls it: a small C interface, one JSON text in and one out, so that
// the page needs nothing but the loader's ccall. Calculate and its curve now; sweep and transient
// are to take the same shape (feldan_sweep, feldan_transient).
#include <cmath>
#include <exception>
#include <optional>
#include <sstream>
#include <string>

#include "engine/number_text.h"
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

// The last request read and its report: the page asks for the summary and then for the curve of
// the same design, which is calculated once.
std::string lastRequest;
std::optional<feldan::CalculationReport> lastReport;

const feldan::CalculationReport& ReportOf(const char* requestJson) {
    if (lastReport && lastRequest == requestJson) return *lastReport;
    lastReport.reset();
    const nlohmann::json request = nlohmann::json::parse(requestJson);
    const feldan::web::CalculateRequest read = feldan::web::ReadCalculateRequest(request);
    lastReport = feldan::CalculateReport(read.fields, read.separator, read.overlay, read.language,
                                         {}, false, true);
    lastRequest = requestJson;
    return *lastReport;
}

// The shortest text that reads back as the same double; null for one that JSON cannot hold.
void AppendNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[40];
    out.append(buffer, feldan::DoubleToChars(buffer, buffer + sizeof buffer, value).ptr);
}

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
        const feldan::CalculationReport& report = ReportOf(requestJson);
        return Answer(feldan::CalculationJson(report), feldan::ExitStatusOf(report.ending));
    } catch (const std::exception& error) {
        return Answer({{"error", feldan::ForTerminal(error.what())}}, 2);
    }
}

// The pass-band curve of the same request, as `feldan-cli --curve` writes it: [[x_kHz, y_dB],
// ...] in ascending x, as many pairs as the JSON's "points" ([] for a refused design), or
// {"error": "..."} for a request that is not one.
FELDAN_EXPORT const char* feldan_curve(const char* requestJson) {
    try {
        const feldan::CalculationReport& report = ReportOf(requestJson);
        answer = "[";
        for (const feldan::CurvePoint& point : report.curve) {
            if (answer.size() > 1) answer += ',';
            answer += '[';
            AppendNumber(answer, point.x);
            answer += ',';
            AppendNumber(answer, point.y);
            answer += ']';
        }
        answer += ']';
        status = feldan::ExitStatusOf(report.ending);
        return answer.c_str();
    } catch (const std::exception& error) {
        return Answer({{"error", feldan::ForTerminal(error.what())}}, 2);
    }
}

// What feldan-cli would exit with after the last call: 0 done, 1 a warning, 2 an error.
FELDAN_EXPORT int feldan_status() {
    return status;
}
}
