// The engine as the page calls it: a small C interface, one JSON text in and one out, so that
// the page needs nothing but the loader's ccall; the files' bytes go through the module's memory
// (feldan_answer_size).
#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <sstream>
#include <string>

#include "circuit/schematic_drawing.h"
#include "circuit/topologies.h"
#include "engine/number_text.h"
#include "engine/synthesis.h"
#include "files/calculation_json.h"
#include "files/design_file.h"
#include "files/filter_export.h"
#include "files/measured_json.h"
#include "files/project_file.h"
#include "files/spice.h"
#include "files/sweep_json.h"
#include "files/touchstone.h"
#include "files/transient_json.h"
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

// The designed filter of a request between the ports of `circuit`, kept for the next call.
// Throws Refusal for a design that Расчет refuses, with feldan-cli's status.
feldan::DesignedFilter& FilterOf(const char* requestJson, const feldan::web::CalculateRequest& read,
                                 feldan::CircuitChoice circuit) {
    if (!lastFilter || lastFilterRequest != requestJson || lastFilterCircuit != circuit) {
        lastFilter.reset();
        lastFilter = feldan::DesignFilter(read.fields, read.separator, circuit);
        lastFilterRequest = requestJson;
        lastFilterCircuit = circuit;
    }
    const feldan::CalculationResult& design = lastFilter->design;
    if (design.outcome != feldan::Outcome::Done) {
        throw Refusal{feldan::MessageText(design.message, read.language),
                      design.outcome == feldan::Outcome::Warning ? 1 : 2};
    }
    return *lastFilter;
}

PreparedSweep PrepareSweep(const char* requestJson, const char* spanJson) {
    const nlohmann::json request = nlohmann::json::parse(requestJson);
    const feldan::web::CalculateRequest read = feldan::web::ReadCalculateRequest(request);
    const feldan::web::SweepSpan span =
        feldan::web::ReadSweepSpan(nlohmann::json::parse(spanJson), read.language);
    PreparedSweep prepared;
    prepared.language = read.language;
    prepared.filter = &FilterOf(requestJson, read, span.circuit);
    feldan::SweepRequest& sweep = prepared.request;
    if (span.fromKHz) sweep.fromDetuningHz = *span.fromKHz * 1000;
    if (span.toKHz) sweep.toDetuningHz = *span.toKHz * 1000;
    sweep.points = span.points;
    sweep.circuit = span.circuit;
    sweep.referenceOhm = span.referenceOhm;
    const feldan::Span hz = feldan::SpanOf(*prepared.filter, sweep);
    const bool english = read.language == feldan::Language::English;
    if (!(hz.fromHz < hz.toHz)) {
        throw Refusal{english ? "the span is empty: from must lie below to"
                              : "диапазон пуст: from должно быть меньше to"};
    }
    if (!(hz.fromHz > 0))
        throw Refusal{english ? "the span reaches 0 Hz" : "диапазон доходит до 0 Гц"};
    return prepared;
}

// The share of a record the time views draw: its end holds what the transform wraps round.
constexpr double DrawnShare = 0.75;

// The time response of a request's filter as `optionsJson` asks: the whole chain as feldan-cli
// transient runs it, or with `drawn` the curve over the span the window's time view draws (long
// enough to settle to −40 dB, within the record). Throws Refusal.
feldan::TimeResponse TimeOfRequest(const char* requestJson, const char* optionsJson, bool drawn) {
    const feldan::web::CalculateRequest read =
        feldan::web::ReadCalculateRequest(nlohmann::json::parse(requestJson));
    const feldan::web::TimeOptions options =
        feldan::web::ReadTimeOptions(nlohmann::json::parse(optionsJson), read.language);
    feldan::DesignedFilter& filter = FilterOf(requestJson, read, options.circuit);
    feldan::TimeResponse response;
    if (!drawn) {
        response = feldan::TimeResponseOf(filter, options.request);
    } else {
        response = feldan::EnvelopeInTime(filter, options.request.window);
        if (response.problem.id == feldan::MessageId::None) {
            const double recordSec = response.plain.RecordSec();
            const double settleMs = response.figures.decay40Ms.value_or(recordSec * 500);
            feldan::TimeRequest span = options.request;
            span.shownMs = span.kind == feldan::TimeKind::Keyed
                               ? span.keying.EndMs() + span.keying.riseMs + 1.5 * settleMs
                               : std::min(1.5 * settleMs, recordSec * 1000 * DrawnShare);
            feldan::CurveInTime(response, span);
        }
    }
    if (response.problem.id != feldan::MessageId::None) {
        throw Refusal{feldan::MessageText(response.problem, read.language),
                      response.warned ? 1 : 2};
    }
    return response;
}

void AppendNumbers(std::string& out, const std::vector<double>& values) {
    out += '[';
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += ',';
        AppendNumber(out, values[i]);
    }
    out += ']';
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

// The answer of `answer()`, or the refusal it threw: a request the engine refuses with
// feldan-cli's words and status, or a request that is none.
template <class Answering>
const char* Guarded(Answering answer) {
    try {
        return answer();
    } catch (const Refusal& refusal) {
        return Refused(refusal.text, refusal.exitStatus);
    } catch (const std::exception& error) {
        return Refused(error.what());
    }
}

// A file the page read: the answer `read(name)` gives, or the files layer's refusal in the
// language of `optionsJson` ({"name": file name, "lang": "ru" or "en"}), naming the file where
// its message does not already.
template <class Read>
const char* ReadingFile(const char* optionsJson, bool messageNamesFile, Read read) {
    const nlohmann::json options = nlohmann::json::parse(optionsJson, nullptr, false);
    const feldan::Language language = LanguageOfOptions(options);
    const std::string name = options.is_object() ? options.value("name", "") : "";
    try {
        return read(name);
    } catch (const feldan::CommandError& error) {
        return Refused(messageNamesFile ? error.Text(language)
                                        : NamingTheFile(name, error, language));
    } catch (const std::exception& error) {
        return Refused(name + ": " + error.what());
    }
}

// A file the page saves for a request's design: the bytes `write(fields)` gives, or why not.
template <class Write>
const char* WritingFile(const char* requestJson, Write write) {
    try {
        const feldan::web::CalculateRequest read =
            feldan::web::ReadCalculateRequest(nlohmann::json::parse(requestJson));
        try {
            return Bytes(write(read.fields));
        } catch (const feldan::CommandError& error) {
            return Refused(error.Text(read.language));
        }
    } catch (const std::exception& error) {
        return Refused(error.what());
    }
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

// The schematic of a request's selections, as the window draws it: {"circuit", "crystals",
// "cw", "endsApart", "width", "height", "strokes": [[kind, x1, y1, x2, y2, r, white, filled]],
// kind "line", "rect" (corners inclusive) or "circle"; "labels": [[text, x, y, align, edge]],
// align "start", "middle" or "end", edge "top" or "bottom", a termination's text "Rin" or
// "Rout" for the page to name}, or {"error": "..."}.
FELDAN_EXPORT const char* feldan_schematic(const char* requestJson) {
    return Guarded([&]() -> const char* {
        const feldan::web::CalculateRequest read =
            feldan::web::ReadCalculateRequest(nlohmann::json::parse(requestJson));
        const int circuit = feldan::CircuitOfDesign(read.fields);
        const bool endsApart = feldan::EndsDifferOfDesign(read.fields);
        const feldan::SchematicDrawing drawing = feldan::DrawingOfSchematic(circuit, endsApart);
        nlohmann::ordered_json json = {
            {"circuit", circuit},     {"crystals", 0},          {"cw", false},
            {"endsApart", endsApart}, {"width", drawing.width}, {"height", drawing.height}};
        if (drawing.width > 0) {
            const feldan::TopologyDescriptor& topology = feldan::DescriptorOf(circuit);
            json["crystals"] = topology.crystalCount;
            json["cw"] = feldan::IsCwCircuit(circuit);
        }
        nlohmann::ordered_json strokes = nlohmann::ordered_json::array();
        for (const feldan::SchematicStroke& stroke : drawing.strokes) {
            using Kind = feldan::SchematicStroke::Kind;
            const char* kind = stroke.kind == Kind::Line        ? "line"
                               : stroke.kind == Kind::Rectangle ? "rect"
                                                                : "circle";
            strokes.push_back({kind, stroke.x1, stroke.y1, stroke.x2, stroke.y2, stroke.r,
                               stroke.white, stroke.filled});
        }
        nlohmann::ordered_json labels = nlohmann::ordered_json::array();
        for (const auto* list : {&drawing.symbols, &drawing.terminations}) {
            for (const feldan::SchematicSymbol& symbol : *list) {
                const std::string text = symbol.part != feldan::SchematicPart::Termination
                                             ? symbol.label
                                             : (symbol.input ? "Rin" : "Rout");
                const char* align = symbol.align == feldan::LabelAlign::Start    ? "start"
                                    : symbol.align == feldan::LabelAlign::Middle ? "middle"
                                                                                 : "end";
                labels.push_back({text, symbol.labelX, symbol.labelY, align,
                                  symbol.edge == feldan::LabelEdge::Top ? "top" : "bottom"});
            }
        }
        json["strokes"] = std::move(strokes);
        json["labels"] = std::move(labels);
        return Answer(json, 0);
    });
}

// The object `feldan-cli sweep --json` prints for the same options and span (from, to in kHz of
// detuning, points, circuit, referenceOhm), or {"error": "..."} with what feldan-cli would
// print on its standard error.
FELDAN_EXPORT const char* feldan_sweep(const char* requestJson, const char* spanJson) {
    return Guarded([&]() -> const char* {
        PreparedSweep prepared = PrepareSweep(requestJson, spanJson);
        return Answer(feldan::SweepJson(feldan::SweepFilter(*prepared.filter, prepared.request)),
                      0);
    });
}

// The object `feldan-cli transient --json` prints for the same options and time options (kind:
// step, impulse or keyed; wpm, pulseMs, riseMs, window, circuit), or {"error": "..."} with what
// feldan-cli would print on its standard error.
FELDAN_EXPORT const char* feldan_transient(const char* requestJson, const char* optionsJson) {
    return Guarded([&]() -> const char* {
        return Answer(feldan::TransientJson(TimeOfRequest(requestJson, optionsJson, false)), 0);
    });
}

// The time view of the same options as the window draws it: {"figures": as feldan_transient,
// "dtMs": the step between samples, "output": the step, impulse (1/ms) or keyed output from
// t = 0, "input": the keying's envelope (keyed only, else [])}, or {"error": "..."}.
FELDAN_EXPORT const char* feldan_time_curve(const char* requestJson, const char* optionsJson) {
    return Guarded([&]() -> const char* {
        const feldan::TimeResponse response = TimeOfRequest(requestJson, optionsJson, true);
        std::ostringstream figures;
        feldan::DumpJson(feldan::TransientJson(response), figures);
        answer = "{\"figures\":" + figures.str() + ",\"dtMs\":";
        AppendNumber(answer, response.dtMs);
        answer += ",\"output\":";
        AppendNumbers(answer, response.output);
        answer += ",\"input\":";
        AppendNumbers(answer, response.input);
        answer += '}';
        status = 0;
        return answer.c_str();
    });
}

// The file `feldan-cli export` or `sweep --csv` writes for the same options and span: `what` is
// {"format": "touchstone"} (.s2p), {"format": "spice", "dialect": "ngspice" or "ltspice",
// "file": name of the netlist} or {"format": "csv"} (the sweep's table).
FELDAN_EXPORT const char* feldan_export(const char* requestJson, const char* spanJson,
                                        const char* whatJson) {
    return Guarded([&]() -> const char* {
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
    });
}

// The design of a .fdn file's bytes as a request ({"design": {...}}), or {"error": "name:
// reason"} in the language of `optionsJson` ({"name": file name, "lang": "ru" or "en"}).
FELDAN_EXPORT const char* feldan_read_design(const unsigned char* bytes, int size,
                                             const char* optionsJson) {
    return ReadingFile(optionsJson, false, [&](const std::string&) {
        const feldan::DesignFields fields =
            feldan::FileLinesToFields(feldan::ParseDesignFile(ViewOf(bytes, size)));
        return Answer({{"design", feldan::web::RequestOfFields(fields)}}, 0);
    });
}

// The bytes of the .fdn file the window saves for a request's design; the reserved lines 6 and
// 7 are those of `base`, the file it was opened from (none: empty). {"error": ...} (status 2)
// for a design the file cannot hold.
FELDAN_EXPORT const char* feldan_write_design(const char* requestJson, const unsigned char* base,
                                              int baseSize) {
    return WritingFile(requestJson, [&](const feldan::DesignFields& fields) {
        feldan::DesignFileLines lines;
        if (baseSize > 0) lines = feldan::ParseDesignFile(ViewOf(base, baseSize));
        feldan::FieldsToFileLines(fields, lines);
        return feldan::DesignFileBytes(lines);
    });
}

// The design of a .feldan project's bytes: {"design": {...}, "beyondDesign": true when the
// project holds crystals, rounding, tuning or matching the page does not use}, or {"error":
// "name: reason"}.
FELDAN_EXPORT const char* feldan_read_project(const unsigned char* bytes, int size,
                                              const char* optionsJson) {
    return ReadingFile(optionsJson, true, [&](const std::string& name) {
        const feldan::Project project = feldan::ParseProject(ViewOf(bytes, size), name);
        const bool beyond = !project.crystals.empty() || project.rounding.has_value() ||
                            !project.tuning.empty() || project.matchOhm.has_value();
        return Answer(
            {{"design", feldan::web::RequestOfFields(project.design)}, {"beyondDesign", beyond}},
            0);
    });
}

// The bytes of the .feldan project the window saves: the project `base` (the file opened; none:
// a new project) with the request's design.
FELDAN_EXPORT const char* feldan_write_project(const char* requestJson, const unsigned char* base,
                                               int baseSize) {
    return WritingFile(requestJson, [&](const feldan::DesignFields& fields) {
        feldan::Project project;
        if (baseSize > 0) project = feldan::ParseProject(ViewOf(base, baseSize), "");
        project.design = fields;
        return feldan::ProjectBytes(project);
    });
}

// A measured filter's .s2p bytes beside the request's design, as `feldan-cli measured --json`
// compares them: {"figures": its object, "curve": [[detuning_kHz, dB], ...] of the measured
// |S21| as the pass band shows it, "symmetryAssumed": true where the renormalisation took S12 =
// S21 and S22 = S11}. `optionsJson`: {"name": the file's name, "renormalize": "design" or a
// resistance, "assumeSymmetric", "circuit", "referenceOhm"}. {"error": "..."} for a file or a
// design refused, in the request's language.
FELDAN_EXPORT const char* feldan_measured(const char* requestJson, const unsigned char* bytes,
                                          int size, const char* optionsJson) {
    return Guarded([&]() -> const char* {
        const feldan::web::CalculateRequest read =
            feldan::web::ReadCalculateRequest(nlohmann::json::parse(requestJson));
        const feldan::Language language = read.language;
        const bool english = language == feldan::Language::English;
        nlohmann::json options = nlohmann::json::parse(optionsJson);
        if (!options.is_object()) throw Refusal{"the options must be a JSON object"};
        const std::string name = options.value("name", "");
        const nlohmann::json renormalize = options.value("renormalize", nlohmann::json());
        const bool assumeSymmetric = options.value("assumeSymmetric", false);
        nlohmann::json span = nlohmann::json::object();
        for (const char* key : {"circuit", "referenceOhm"}) {
            if (options.contains(key)) span[key] = options[key];
        }
        const feldan::web::SweepSpan sweepSpan = feldan::web::ReadSweepSpan(span, language);
        if (!renormalize.is_null() && renormalize != "design" &&
            !(renormalize.is_number() && renormalize.get<double>() > 0)) {
            throw Refusal{english ? "renormalize: must be a resistance above 0 Ohm or design"
                                  : "renormalize: нужно сопротивление больше 0 Ом или design"};
        }
        feldan::TouchstoneData data;
        try {
            data = feldan::ParseTouchstone(ViewOf(bytes, size), 2, name);
        } catch (const feldan::CommandError& error) {
            throw Refusal{error.Text(language)};
        }
        if (const auto fault = feldan::FaultOfMeasuredFile(data, name, !renormalize.is_null(),
                                                           assumeSymmetric, "assumeSymmetric"))
            throw Refusal{english ? fault->english : fault->russian};
        feldan::DesignedFilter& filter = FilterOf(requestJson, read, sweepSpan.circuit);
        std::optional<double> toOhm;
        if (renormalize == "design") toOhm = filter.portOhm;
        if (renormalize.is_number()) toOhm = renormalize.get<double>();
        feldan::SweepRequest request;
        request.circuit = sweepSpan.circuit;
        request.referenceOhm = sweepSpan.referenceOhm;
        const feldan::MeasuredFilter measured =
            feldan::AnalyseMeasuredFilter(feldan::MeasuredSamplesOf(data, toOhm));
        const feldan::MeasuredComparison comparison =
            feldan::CompareMeasured(filter, request, measured);
        std::ostringstream figures;
        feldan::DumpJson(feldan::MeasuredJson(comparison), figures);
        const double foHz = filter.design.input.FoKHz * 1000;
        answer = "{\"figures\":" + figures.str() + ",\"curve\":[";
        for (std::size_t i = 0; i < measured.points.size(); ++i) {
            const feldan::MeasuredPoint& point = measured.points[i];
            if (i > 0) answer += ',';
            answer += '[';
            AppendNumber(answer, (point.hz - foHz) / 1000);
            answer += ',';
            AppendNumber(answer, feldan::PassBandDbOfS21(point.s21Db));
            answer += ']';
        }
        answer += "],\"symmetryAssumed\":";
        answer += toOhm && !data.reverseMeasured ? "true" : "false";
        answer += '}';
        status = 0;
        return answer.c_str();
    });
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
