#include "cli/calculation.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>

#include "engine/errors.h"

namespace feldan::cli {
namespace {

// The window's texts separate lines with '\r'; a shell wants '\n'.
std::string ShellLines(std::string text) {
    for (char& c : text) {
        if (c == '\r') c = '\n';
    }
    return text;
}

// The view of a command-line run: there is no chart, cursor or message box, so it keeps what
// they would have shown.
class RecordingView : public CalculateView {
  public:
    explicit RecordingView(bool overlay) : overlay_(overlay) {}

    bool OverlayMode() const override { return overlay_; }
    void ClearSeries(int) override {}
    void AddCurve(int, std::span<const CurvePoint> points) override {
        curve.assign(points.begin(), points.end());
    }
    void SetStatusPanel(int, const std::string& text) override {
        statusText = text.empty() ? std::nullopt : std::optional<std::string>(text);
    }
    void SetBusyCursor(bool) override {}
    void ShowWarning(const std::string& text) override { warning = text; }
    void ShowResultBox() override {}
    void ClearResultText() override { resultText.reset(); }
    void SetResultText(const std::string& text) override { resultText = text; }

    std::vector<CurvePoint> curve;
    std::optional<std::string> statusText;
    std::optional<std::string> warning;
    std::optional<std::string> resultText;

  private:
    bool overlay_;
};

// nlohmann writes the shortest round-trip form; the tool promises 17 significant digits, so
// numbers are written here and everything else (texts with their escapes) by the library.
void Dump(const nlohmann::ordered_json& value, std::ostream& out, int indent) {
    const std::string pad(static_cast<std::size_t>(indent + 2), ' ');
    if (value.is_object()) {
        out << "{\n";
        bool first = true;
        for (const auto& [key, item] : value.items()) {
            out << (first ? "" : ",\n") << pad << nlohmann::json(key).dump() << ": ";
            Dump(item, out, indent + 2);
            first = false;
        }
        out << '\n' << std::string(static_cast<std::size_t>(indent), ' ') << '}';
    } else if (value.is_array()) {
        out << '[';
        bool first = true;
        for (const auto& item : value) {
            out << (first ? "" : ", ");
            Dump(item, out, indent + 2);
            first = false;
        }
        out << ']';
    } else if (value.is_number_float()) {
        out << NumberText(value.get<double>());
    } else {
        out << value.dump();
    }
}

nlohmann::ordered_json OptionalText(const std::optional<std::string>& text) {
    return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json(nullptr);
}

}  // namespace

CalculationResult Calculate(const DesignFields& fields, char separator, bool overlay) {
    // The designer holds the solver's fixed working storage: too large for the stack.
    auto designer = std::make_unique<FilterDesigner>(separator);
    designer->state.FilterType = fields.FilterType;
    designer->state.ResponseType = fields.ResponseType;
    designer->state.CurveCount = 0;

    RecordingView view(overlay);
    CalculationResult result;
    try {
        designer->CalculateClick(fields.texts, view);
        result.ending = view.warning ? Ending::Warning : Ending::Finished;
        if (view.warning) result.message = ShellLines(*view.warning);
    } catch (const CommandError& error) {
        result.ending = Ending::Error;
        result.message = ShellLines(error.what());
    }
    if (view.resultText) result.resultText = ShellLines(*view.resultText);
    result.statusText = view.statusText;
    result.curve = std::move(view.curve);
    result.state = designer->state;
    return result;
}

int ExitStatusOf(Ending ending) {
    switch (ending) {
        case Ending::Finished:
            return 0;
        case Ending::Warning:
            return 1;
        case Ending::Error:
            return 2;
    }
    return 2;
}

std::string NumberText(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[40];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17).ptr;
    return std::string(buffer, end);
}

void WriteJson(const CalculationResult& result, std::ostream& out) {
    const DesignState& s = result.state;
    nlohmann::ordered_json json;
    json["FilterType"] = s.FilterType;
    json["ResponseType"] = s.ResponseType;
    json["FoKHz"] = s.FoKHz;
    json["DfHz"] = s.DfHz;
    json["LdMH"] = s.LdMH;
    json["CsPF"] = s.CsPF;
    json["RdOhm"] = s.RdOhm;
    json["CkPF"] = s.CkPF;
    json["LevelDb"] = s.LevelDb;
    json["ProtoG1"] = s.ProtoG1;
    json["ProtoG2"] = s.ProtoG2;
    json["ProtoG3"] = s.ProtoG3;
    json["ProtoG4"] = s.ProtoG4;
    json["PrototypeName"] = s.PrototypeName;
    json["FreqRatio"] = s.FreqRatio;
    json["CapScalePF"] = s.CapScalePF;
    json["MotionalCapF"] = s.MotionalCapF;
    json["TermOhm"] = s.TermOhm;
    json["SourceOhm"] = s.SourceOhm;
    json["LoadOhm"] = s.LoadOhm;
    json["InputOhm"] = s.InputOhm;
    auto& slots = json["CapPF"] = nlohmann::ordered_json::array();
    for (int k = 1; k <= CapSlotCount; ++k)
        slots.push_back(s.CapPF[k]);
    json["FreqHz"] = s.FreqHz;
    json["OmegaRad"] = s.OmegaRad;
    json["SolveOk"] = s.SolveOk;
    json["ResponseDb"] = s.ResponseDb;
    json["RespAtFoDb"] = s.RespAtFoDb;
    json["AFoDb"] = s.AFoDb;
    json["PeakHz"] = s.PeakHz;
    json["AminDb"] = s.AminDb;
    json["LowerEdgeHz"] = s.LowerEdgeHz;
    json["UpperEdgeHz"] = s.UpperEdgeHz;
    json["MeasuredDfHz"] = s.MeasuredDfHz;
    json["CurveCount"] = s.CurveCount;
    json["CkText"] = s.CkText;
    json["message"] = OptionalText(result.message);
    json["resultText"] = OptionalText(result.resultText);
    json["statusText"] = OptionalText(result.statusText);
    json["points"] = result.curve.size();
    Dump(json, out, 0);
    out << '\n';
}

void WriteCurveCsv(const std::vector<CurvePoint>& curve, std::ostream& out) {
    out << "detuning_khz,attenuation_db\n";
    for (const CurvePoint& point : curve)
        out << NumberText(point.x) << ',' << NumberText(point.y) << '\n';
}

}  // namespace feldan::cli
