// The engine as the page calls it: a small C interface, one JSON text in and one out, so that
// the page needs nothing but the loader's ccall; the files' bytes go through the module's memory
// (feldan_answer_size). The transient is to take the same shape (feldan_transient).
#include <cmath>
#include <exception>
#include <optional>
#include <sstream>
#include <string>

#include "engine/number_text.h"
#include "files/calculation_json.h"
#include "files/design_file.h"
#include "files/filter_export.h"
#include "files/project_file.h"
#include "files/spice.h"
#include "files/sweep_json.h"
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

const char* Refused(const std::string& text, int exitStatus = 2) {
    return Answer({{"error", feldan::ForTerminal(text)}}, exitStatus);
}

const char* Bytes(std::string bytes) {
    answer = std::move(bytes);
    status = 0;
    return answer.c_str();
}

// A refusal of the design, the span or a file, with the exit status feldan-cli would give.
struct Refusal {
    std::string text;
    int exitStatus = 2;
};

// The last filter designed and its request: the page sweeps the design it has just calculated,
// view after view.
std::string lastFilterRequest;
feldan::CircuitChoice lastFilterCircuit = feldan::CircuitChoice::Schematic;
std::optional<feldan::DesignedFilter> lastFilter;

// The filter of a request and the sweep of a span over it, checked as feldan-cli sweep checks
// them. Throws Refusal.
struct PreparedSweep {
    feldan::DesignedFilter* filter = nullptr;
    feldan::SweepRequest request;
    feldan::Language language = feldan::Language::Russian;
};

PreparedSweep PrepareSweep(const char* requestJson, const char* spanJson) {
    const nlohmann::json request = nlohmann::json::parse(requestJson);
    const feldan::web::CalculateRequest read = feldan::web::ReadCalculateRequest(request);
    const feldan::web::SweepSpan span =
        feldan::web::ReadSweepSpan(nlohmann::json::parse(spanJson), read.language);
    PreparedSweep prepared;
    prepared.language = read.language;
    if (!lastFilter || lastFilterRequest != requestJson || lastFilterCircuit != span.circuit) {
        lastFilter.reset();
        lastFilter = feldan::DesignFilter(read.fields, read.separator, span.circuit);
        lastFilterRequest = requestJson;
        lastFilterCircuit = span.circuit;
    }
    prepared.filter = &*lastFilter;
    const feldan::CalculationResult& design = lastFilter->design;
    if (design.outcome != feldan::Outcome::Done) {
        throw Refusal{feldan::MessageText(design.message, read.language),
                      design.outcome == feldan::Outcome::Warning ? 1 : 2};
    }
    feldan::SweepRequest& sweep = prepared.request;
    if (span.fromKHz) sweep.fromDetuningHz = *span.fromKHz * 1000;
    if (span.toKHz) sweep.toDetuningHz = *span.toKHz * 1000;
    sweep.points = span.points;
    sweep.circuit = span.circuit;
    sweep.referenceOhm = span.referenceOhm;
    const feldan::Span hz = feldan::SpanOf(*lastFilter, sweep);
    const bool english = read.language == feldan::Language::English;
    if (!(hz.fromHz < hz.toHz)) {
        throw Refusal{english ? "the span is empty: from must lie below to"
                              : "диапазон пуст: from должно быть меньше to"};
    }
    if (!(hz.fromHz > 0))
        throw Refusal{english ? "the span reaches 0 Hz" : "диапазон доходит до 0 Гц"};
    return prepared;
}

feldan::Language LanguageOfOptions(const nlohmann::json& options) {
    return options.is_object() && options.value("lang", "") == "en" ? feldan::Language::English
                                                                    : feldan::Language::Russian;
}

std::string_view ViewOf(const unsigned char* bytes, int size) {
    return size > 0 ? std::string_view(reinterpret_cast<const char*>(bytes),
                                       static_cast<std::size_t>(size))
                    : std::string_view();
}

// "name: reason", as the desktop names a file it refuses.
std::string NamingTheFile(const std::string& name, const feldan::CommandError& error,
                          feldan::Language language) {
    std::string reason = error.Text(language);
    reason.erase(0, reason.find_first_not_of(' '));
    reason.erase(reason.find_last_not_of(' ') + 1);
    return name + ": " + reason;
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

// The object `feldan-cli sweep --json` prints for the same options and span (from, to in kHz of
// detuning, points, circuit, referenceOhm), or {"error": "..."} with what feldan-cli would
// print on its standard error.
FELDAN_EXPORT const char* feldan_sweep(const char* requestJson, const char* spanJson) {
    try {
        PreparedSweep prepared = PrepareSweep(requestJson, spanJson);
        return Answer(feldan::SweepJson(feldan::SweepFilter(*prepared.filter, prepared.request)),
                      0);
    } catch (const Refusal& refusal) {
        return Refused(refusal.text, refusal.exitStatus);
    } catch (const std::exception& error) {
        return Refused(error.what());
    }
}

// The file `feldan-cli export` or `sweep --csv` writes for the same options and span: `what` is
// {"format": "touchstone"} (.s2p), {"format": "spice", "dialect": "ngspice" or "ltspice",
// "file": name of the netlist} or {"format": "csv"} (the sweep's table).
FELDAN_EXPORT const char* feldan_export(const char* requestJson, const char* spanJson,
                                        const char* whatJson) {
    try {
        PreparedSweep prepared = PrepareSweep(requestJson, spanJson);
        const nlohmann::json what = nlohmann::json::parse(whatJson);
        const std::string format = what.value("format", "");
        feldan::DesignedFilter& filter = *prepared.filter;
        if (format == "touchstone")
            return Bytes(feldan::FilterTouchstone(filter, prepared.request));
        if (format == "csv") {
            const double foHz = filter.design.input.FoKHz * 1000;
            return Bytes(
                feldan::SweepTableCsv(feldan::SweepFilter(filter, prepared.request), foHz));
        }
        if (format != "spice") {
            throw Refusal{prepared.language == feldan::Language::English
                              ? "format: must be touchstone, spice or csv"
                              : "format: нужно touchstone, spice или csv"};
        }
        feldan::SpiceRequest spice;
        spice.dialect = what.value("dialect", "ngspice") == "ltspice"
                            ? feldan::SpiceDialect::LTspice
                            : feldan::SpiceDialect::Ngspice;
        const feldan::Span span = feldan::SpanOf(filter, prepared.request);
        spice.fromHz = span.fromHz;
        spice.toHz = span.toHz;
        spice.points = prepared.request.points;
        spice.comments = feldan::DesignComments(filter);
        const std::string name = what.value("file", "feldan.cir");
        spice.dataFile = name.substr(0, name.find_last_of('.')) + ".ac.txt";
        return Bytes(feldan::SpiceNetlist(filter, spice));
    } catch (const Refusal& refusal) {
        return Refused(refusal.text, refusal.exitStatus);
    } catch (const std::exception& error) {
        return Refused(error.what());
    }
}

// The design of a .fdn file's bytes as a request ({"design": {...}}), or {"error": "name:
// reason"} in the language of `optionsJson` ({"name": file name, "lang": "ru" or "en"}).
FELDAN_EXPORT const char* feldan_read_design(const unsigned char* bytes, int size,
                                             const char* optionsJson) {
    const nlohmann::json options = nlohmann::json::parse(optionsJson, nullptr, false);
    const feldan::Language language = LanguageOfOptions(options);
    const std::string name = options.is_object() ? options.value("name", "") : "";
    try {
        const feldan::DesignFields fields =
            feldan::FileLinesToFields(feldan::ParseDesignFile(ViewOf(bytes, size)));
        return Answer({{"design", feldan::web::RequestOfFields(fields)}}, 0);
    } catch (const feldan::CommandError& error) {
        return Refused(NamingTheFile(name, error, language));
    } catch (const std::exception& error) {
        return Refused(name + ": " + error.what());
    }
}

// The bytes of the .fdn file the window saves for a request's design; the reserved lines 6 and
// 7 are those of `base`, the file it was opened from (none: empty). {"error": ...} (status 2)
// for a design the file cannot hold.
FELDAN_EXPORT const char* feldan_write_design(const char* requestJson, const unsigned char* base,
                                              int baseSize) {
    try {
        const feldan::web::CalculateRequest read =
            feldan::web::ReadCalculateRequest(nlohmann::json::parse(requestJson));
        try {
            feldan::DesignFileLines lines;
            if (baseSize > 0) lines = feldan::ParseDesignFile(ViewOf(base, baseSize));
            feldan::FieldsToFileLines(read.fields, lines);
            return Bytes(feldan::DesignFileBytes(lines));
        } catch (const feldan::CommandError& error) {
            return Refused(error.Text(read.language));
        }
    } catch (const std::exception& error) {
        return Refused(error.what());
    }
}

// The design of a .feldan project's bytes: {"design": {...}, "beyondDesign": true when the
// project holds crystals, rounding, tuning or matching the page does not use}, or {"error":
// "name: reason"}.
FELDAN_EXPORT const char* feldan_read_project(const unsigned char* bytes, int size,
                                              const char* optionsJson) {
    const nlohmann::json options = nlohmann::json::parse(optionsJson, nullptr, false);
    const feldan::Language language = LanguageOfOptions(options);
    const std::string name = options.is_object() ? options.value("name", "") : "";
    try {
        const feldan::Project project = feldan::ParseProject(ViewOf(bytes, size), name);
        const bool beyond = !project.crystals.empty() || project.rounding.has_value() ||
                            !project.tuning.empty() || project.matchOhm.has_value();
        return Answer(
            {{"design", feldan::web::RequestOfFields(project.design)}, {"beyondDesign", beyond}},
            0);
    } catch (const feldan::CommandError& error) {
        return Refused(error.Text(language));
    } catch (const std::exception& error) {
        return Refused(name + ": " + error.what());
    }
}

// The bytes of the .feldan project the window saves: the project `base` (the file opened; none:
// a new project) with the request's design.
FELDAN_EXPORT const char* feldan_write_project(const char* requestJson, const unsigned char* base,
                                               int baseSize) {
    try {
        const feldan::web::CalculateRequest read =
            feldan::web::ReadCalculateRequest(nlohmann::json::parse(requestJson));
        try {
            feldan::Project project;
            if (baseSize > 0) project = feldan::ParseProject(ViewOf(base, baseSize), "");
            project.design = read.fields;
            return Bytes(feldan::ProjectBytes(project));
        } catch (const feldan::CommandError& error) {
            return Refused(error.Text(read.language));
        }
    } catch (const std::exception& error) {
        return Refused(error.what());
    }
}

// The length in bytes of the last answer (a file's bytes may hold a zero).
FELDAN_EXPORT int feldan_answer_size() {
    return static_cast<int>(answer.size());
}

// What feldan-cli would exit with after the last call: 0 done, 1 a warning, 2 an error.
FELDAN_EXPORT int feldan_status() {
    return status;
}
}
