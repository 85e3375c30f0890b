// Whole calculations on fuzzed field texts and selections: the design run, the searches, the
// sweep and the result text, one to six in a row, which must agree.
//
// Input: text lines. The first line holds the settings, one character each:
//   topology (the character minus '0', so '2' is 2 and '/' is -1), response (the same),
//   separator (',' or anything else for '.'), a character no longer read (it switched the
//   overlay mode once; the seeds keep it), number of calculations ('1'..'6').
// Then one line per field: Fo, dF, Ld, Cs, Rd, Ck, level. A line that is missing keeps the
// window's start text; an empty line is an empty field.
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calculate.h"
#include "engine/errors.h"
#include "engine/messages.h"
#include "engine/result_text.h"
#include "fuzz/fuzz_check.h"

namespace {

using feldan::CurvePoint;

struct FuzzCase {
    int filterType = 2;
    int responseType = 1;
    char separator = '.';
    int commands = 1;
    feldan::InputTexts texts;
    std::string ripple = "0.1";
};

FuzzCase ParseCase(std::string_view input) {
    std::vector<std::string_view> lines;
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        lines.push_back(input.substr(0, end));
        if (end == std::string_view::npos) break;
        input.remove_prefix(end + 1);
    }
    FuzzCase c;
    if (!lines.empty()) {
        const std::string_view settings = lines[0];
        if (settings.size() > 0) c.filterType = static_cast<unsigned char>(settings[0]) - '0';
        if (settings.size() > 1) c.responseType = static_cast<unsigned char>(settings[1]) - '0';
        if (settings.size() > 2) c.separator = settings[2] == ',' ? ',' : '.';
        if (settings.size() > 4) c.commands = 1 + (static_cast<unsigned char>(settings[4]) + 5) % 6;
    }
    std::string* fields[] = {&c.texts.Fo, &c.texts.Df, &c.texts.Ld,   &c.texts.Cs,
                             &c.texts.Rd, &c.texts.Ck, &c.texts.Level};
    for (std::size_t k = 0; k < std::size(fields) && k + 1 < lines.size(); ++k)
        *fields[k] = std::string(lines[k + 1]);
    // The Chebyshev ripple of response 6, after the seven fields.
    if (lines.size() > std::size(fields) + 1) c.ripple = std::string(lines[std::size(fields) + 1]);
    return c;
}

bool IsWarning(feldan::MessageId id) {
    using feldan::MessageId;
    for (const MessageId known :
         {MessageId::MissingData, MessageId::ZeroRd, MessageId::ZeroResistance,
          MessageId::NoSolution, MessageId::MissingLevel, MessageId::BadLevel, MessageId::BandLimit,
          MessageId::BadFilterType, MessageId::BadResponseType, MessageId::BadRipple,
          MessageId::BadCk, MessageId::ResponseOrder}) {
        if (id == known) return true;
    }
    return false;
}

bool IsError(const feldan::Message& message) {
    using feldan::MessageId;
    switch (message.id) {
        case MessageId::NotAFloat:
            return true;
        case MessageId::DivisionByZero:
        case MessageId::InvalidOperation:
        case MessageId::Overflow:
            return message.value.empty();
        default:
            return false;
    }
}

// Everything the summary is made of must be a number that can be shown.
void CheckFinished(const feldan::CalculationResult& r) {
    const feldan::DesignInput& d = r.input;
    const feldan::Synthesis& s = r.synthesis;
    const feldan::Measurements& m = r.measurements;
    const double values[] = {d.FoKHz,   d.DfHz,        d.LdMH,        d.CsPF,        d.RdOhm,
                             d.CkPF,    d.LevelDb,     s.FreqRatio,   s.CapScalePF,  s.MotionalCapF,
                             s.TermOhm, s.InputOhm,    m.RespAtFoDb,  m.AFoDb,       m.PeakHz,
                             m.AminDb,  m.LowerEdgeHz, m.UpperEdgeHz, m.MeasuredDfHz};
    for (const double v : values)
        FELDAN_FUZZ_CHECK(std::isfinite(v), std::to_string(v));
    for (const double v : s.CapPF)
        FELDAN_FUZZ_CHECK(std::isfinite(v), std::to_string(v));
    FELDAN_FUZZ_CHECK(d.LevelDb < 0, std::to_string(d.LevelDb));
    FELDAN_FUZZ_CHECK(m.MeasuredDfHz == m.UpperEdgeHz - m.LowerEdgeHz, "band width");
}

void CheckCurve(const std::vector<CurvePoint>& points) {
    FELDAN_FUZZ_CHECK(points.size() <= static_cast<std::size_t>(feldan::MaxSearchSteps),
                      std::to_string(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        FELDAN_FUZZ_CHECK(std::isfinite(points[i].x) && std::isfinite(points[i].y),
                          std::to_string(i));
        // The chart keeps its points in ascending x.
        if (i > 0) FELDAN_FUZZ_CHECK(points[i - 1].x <= points[i].x, std::to_string(i));
    }
}

// One calculation, checked against what a window can show.
feldan::CalculationResult CheckedCalculation(const FuzzCase& c) {
    feldan::DesignFields design{c.texts, c.filterType, c.responseType};
    design.ripple = c.ripple;
    feldan::CalculationResult r = feldan::Calculate(design, c.separator);
    const feldan::StepCounts& steps = r.steps;
    for (const int n : {steps.PeakSteps, steps.EdgeSteps, steps.SweepSteps})
        FELDAN_FUZZ_CHECK(n >= 0 && n <= feldan::MaxSearchSteps + 1, std::to_string(n));
    CheckCurve(r.curve);
    if (!r.sweepStarted) FELDAN_FUZZ_CHECK(r.curve.empty(), "a curve without a sweep");
    const std::string text = feldan::MessageText(r.message);
    switch (r.outcome) {
        case feldan::Outcome::Error:
            FELDAN_FUZZ_CHECK(IsError(r.message), text);
            FELDAN_FUZZ_CHECK(r.resultText.empty(), text);
            break;
        case feldan::Outcome::Warning:
            // Only a ripple out of range names what was typed; a response whose table lacks the
            // order names the orders it has.
            FELDAN_FUZZ_CHECK(
                IsWarning(r.message.id) &&
                    (r.message.value.empty() || r.message.id == feldan::MessageId::BadRipple ||
                     r.message.id == feldan::MessageId::ResponseOrder),
                text);
            // A command that stopped shows no summary.
            FELDAN_FUZZ_CHECK(r.resultText.empty(), text);
            break;
        case feldan::Outcome::Done:
            FELDAN_FUZZ_CHECK(r.message.id == feldan::MessageId::None, text);
            FELDAN_FUZZ_CHECK(!r.resultText.empty(), "finished without a summary");
            FELDAN_FUZZ_CHECK(!feldan::fuzz::HasNonFiniteWord(r.resultText), r.resultText);
            FELDAN_FUZZ_CHECK(!r.curve.empty(), "finished without a curve");
            const std::string status = feldan::OverlayStatusText(4, r, c.texts.Df, c.separator);
            FELDAN_FUZZ_CHECK(!feldan::fuzz::HasNonFiniteWord(status), status);
            CheckFinished(r);
            break;
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzCase c = ParseCase(std::string_view(reinterpret_cast<const char*>(data), size));
    // Nothing is kept between calculations: each repetition gives the same result.
    const feldan::CalculationResult first = CheckedCalculation(c);
    for (int k = 1; k < c.commands; ++k) {
        const feldan::CalculationResult again = CheckedCalculation(c);
        FELDAN_FUZZ_CHECK(again.resultText == first.resultText && again.message == first.message &&
                              again.curve.size() == first.curve.size(),
                          "a repeated calculation differs");
    }
    return 0;
}
