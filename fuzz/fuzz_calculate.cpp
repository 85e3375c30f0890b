// Whole Calculate commands on fuzzed field texts and selections: the design run, the searches,
// the sweep and the result text, one to six commands in a row on one designer.
//
// Input: text lines. The first line holds the settings, one character each:
//   topology (the character minus '0', so '2' is 2 and '/' is -1), response (the same),
//   separator (',' or anything else for '.'), overlay ('o' on), number of commands ('1'..'6').
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
#include "fuzz/fuzz_check.h"

namespace {

using feldan::CurvePoint;
using feldan::SeriesCount;

struct FuzzCase {
    int filterType = 2;
    int responseType = 1;
    char separator = '.';
    bool overlay = false;
    int commands = 1;
    feldan::InputTexts texts;
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
        if (settings.size() > 3) c.overlay = settings[3] == 'o';
        if (settings.size() > 4) c.commands = 1 + (static_cast<unsigned char>(settings[4]) + 5) % 6;
    }
    std::string* fields[] = {&c.texts.Fo, &c.texts.Df, &c.texts.Ld,   &c.texts.Cs,
                             &c.texts.Rd, &c.texts.Ck, &c.texts.Level};
    for (std::size_t k = 0; k < std::size(fields) && k + 1 < lines.size(); ++k)
        *fields[k] = std::string(lines[k + 1]);
    return c;
}

bool IsWarningText(std::string_view text) {
    for (const char* known :
         {feldan::MissingDataText, feldan::ZeroRdText, feldan::ZeroResistanceText,
          feldan::NoSolutionText, feldan::MissingLevelText, feldan::BadLevelText,
          feldan::BandLimitText, feldan::BadFilterTypeText, feldan::BadResponseTypeText}) {
        if (text == known) return true;
    }
    return false;
}

// A view that records one command and checks every call against what a window can show.
class CheckingView : public feldan::CalculateView {
  public:
    explicit CheckingView(bool overlay) : overlay_(overlay) {}

    void StartCommand() {
        warning.reset();
        resultText.reset();
        curveCalls = 0;
        curvePoints = 0;
    }

    bool OverlayMode() const override { return overlay_; }
    void ClearSeries(int position) override { CheckPosition(position); }
    void AddCurve(int position, std::span<const CurvePoint> points) override {
        CheckPosition(position);
        ++curveCalls;
        curvePoints = points.size();
        FELDAN_FUZZ_CHECK(!points.empty(), "an empty curve handed over");
        for (std::size_t i = 0; i < points.size(); ++i) {
            FELDAN_FUZZ_CHECK(std::isfinite(points[i].x) && std::isfinite(points[i].y),
                              std::to_string(i));
            // The chart keeps its points in ascending x.
            if (i > 0) FELDAN_FUZZ_CHECK(points[i - 1].x <= points[i].x, std::to_string(i));
        }
    }
    void SetStatusPanel(int position, const std::string& text) override {
        CheckPosition(position);
        FELDAN_FUZZ_CHECK(!feldan::fuzz::HasNonFiniteWord(text), text);
    }
    void SetBusyCursor(bool on) override { busy = on; }
    void ShowWarning(const std::string& text) override {
        FELDAN_FUZZ_CHECK(!warning.has_value(), "a second warning in one command");
        FELDAN_FUZZ_CHECK(IsWarningText(text), text);
        warning = text;
    }
    void ShowResultBox() override {}
    void ClearResultText() override { resultText.reset(); }
    void SetResultText(const std::string& text) override {
        FELDAN_FUZZ_CHECK(!feldan::fuzz::HasNonFiniteWord(text), text);
        resultText = text;
    }

    bool busy = false;
    std::optional<std::string> warning;
    std::optional<std::string> resultText;
    int curveCalls = 0;
    std::size_t curvePoints = 0;

  private:
    static void CheckPosition(int position) {
        FELDAN_FUZZ_CHECK(position >= 0 && position < SeriesCount, std::to_string(position));
    }
    bool overlay_;
};

bool IsConversionMessage(std::string_view what) {
    constexpr std::string_view tail = "' is not a valid floating point value";
    return what.size() > tail.size() && what.front() == '\'' &&
           what.substr(what.size() - tail.size()) == tail;
}

bool IsArithmeticMessage(std::string_view what) {
    return what == feldan::DivisionByZeroText || what == feldan::InvalidOperationText ||
           what == feldan::OverflowText;
}

// Everything the summary is made of must be a number that can be shown.
void CheckFinishedState(const feldan::DesignState& s) {
    const double values[] = {s.FoKHz,       s.DfHz,         s.LdMH,         s.CsPF,
                             s.RdOhm,       s.CkPF,         s.LevelDb,      s.FreqRatio,
                             s.CapScalePF,  s.MotionalCapF, s.TermOhm,      s.InputOhm,
                             s.RespAtFoDb,  s.AFoDb,        s.PeakHz,       s.AminDb,
                             s.LowerEdgeHz, s.UpperEdgeHz,  s.MeasuredDfHz, s.ResponseDb};
    for (const double v : values)
        FELDAN_FUZZ_CHECK(std::isfinite(v), std::to_string(v));
    for (const double v : s.CapPF)
        FELDAN_FUZZ_CHECK(std::isfinite(v), std::to_string(v));
    FELDAN_FUZZ_CHECK(s.LevelDb < 0, std::to_string(s.LevelDb));
    FELDAN_FUZZ_CHECK(s.MeasuredDfHz == s.UpperEdgeHz - s.LowerEdgeHz, "band width");
}

void RunCommand(feldan::FilterDesigner& designer, CheckingView& view, const FuzzCase& c) {
    const int countBefore = designer.state.CurveCount;
    // A command that starts above the last series clears the chart and counts from 0 again.
    const int countAfterReset = countBefore > SeriesCount - 1 ? 0 : countBefore;
    view.StartCommand();
    try {
        designer.CalculateClick(c.texts, view);
    } catch (const feldan::ConversionError& error) {
        FELDAN_FUZZ_CHECK(IsConversionMessage(error.what()), error.what());
        FELDAN_FUZZ_CHECK(!view.busy, "busy cursor left on");
        FELDAN_FUZZ_CHECK(designer.state.CurveCount == countAfterReset, "curve count");
        return;
    } catch (const feldan::ArithmeticError& error) {
        FELDAN_FUZZ_CHECK(IsArithmeticMessage(error.what()), error.what());
        FELDAN_FUZZ_CHECK(!view.busy, "busy cursor left on");
        FELDAN_FUZZ_CHECK(designer.state.CurveCount == countAfterReset, "curve count");
        return;
    }
    FELDAN_FUZZ_CHECK(!view.busy, "busy cursor left on");
    FELDAN_FUZZ_CHECK(designer.state.CurveCount == countAfterReset + 1, "curve count");
    FELDAN_FUZZ_CHECK(view.curveCalls <= 1, "the curve handed over twice");

    const feldan::StepCounts steps = designer.LastStepCounts();
    for (const int n : {steps.PeakSteps, steps.EdgeSteps, steps.SweepSteps})
        FELDAN_FUZZ_CHECK(n >= 0 && n <= feldan::MaxSearchSteps + 1, std::to_string(n));
    FELDAN_FUZZ_CHECK(
        designer.LastCurve().size() <= static_cast<std::size_t>(feldan::MaxSearchSteps),
        std::to_string(designer.LastCurve().size()));
    if (view.curveCalls == 1)
        FELDAN_FUZZ_CHECK(view.curvePoints == designer.LastCurve().size(), "");

    if (view.warning) {
        // A command that stopped shows no summary.
        FELDAN_FUZZ_CHECK(!view.resultText.has_value(), *view.warning);
        return;
    }
    FELDAN_FUZZ_CHECK(view.resultText.has_value(), "finished without a summary");
    FELDAN_FUZZ_CHECK(view.curveCalls == 1, "finished without a curve");
    CheckFinishedState(designer.state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzCase c = ParseCase(std::string_view(reinterpret_cast<const char*>(data), size));
    // One designer per input, as in the program; it is too large for the stack.
    auto designer = std::make_unique<feldan::FilterDesigner>(c.separator);
    designer->state.FilterType = c.filterType;
    designer->state.ResponseType = c.responseType;
    CheckingView view(c.overlay);
    for (int k = 0; k < c.commands; ++k)
        RunCommand(*designer, view, c);
    return 0;
}
