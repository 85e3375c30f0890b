#include "files/diagnosis_json.h"

#include <algorithm>

#include "engine/number_text.h"

namespace feldan {
namespace {

using Json = nlohmann::ordered_json;

// The analyser's own reference: a NanoVNA writes 50 Ohm whatever it was connected through.
constexpr double AnalyserOhm = 50;

Json ReadingJson(const DiagnosisReading& reading) {
    Json parts = Json::array();
    for (const FittedCapacitor& c : reading.capacitors) {
        parts.push_back({{"label", c.label},
                         {"designedPF", c.designedPF},
                         {"fittedPF", c.fittedPF},
                         {"errorPct", c.errorPct},
                         {"boundPct", c.boundPct}});
    }
    Json crystals = Json::array();
    for (const FittedCrystal& q : reading.crystals) {
        crystals.push_back(
            {{"position", q.position}, {"offsetHz", q.offsetHz}, {"boundHz", q.boundHz}});
    }
    return {{"parts", parts}, {"crystals", crystals}};
}

const char* VerdictName(DiagnosisVerdict verdict) {
    switch (verdict) {
        case DiagnosisVerdict::Fitted:
            return "fitted";
        case DiagnosisVerdict::NotConverged:
            return "notConverged";
        case DiagnosisVerdict::Cancelled:
            return "cancelled";
        case DiagnosisVerdict::Refused:
            break;
    }
    return "refused";
}

const char* AdviceName(AdviceKind kind) {
    switch (kind) {
        case AdviceKind::ReplaceCapacitor:
            return "replaceCapacitor";
        case AdviceKind::AddTrim:
            return "addTrim";
        case AdviceKind::ChangeTrim:
            return "changeTrim";
        case AdviceKind::CrystalHigh:
            break;
    }
    return "crystalHigh";
}

}  // namespace

std::optional<MeasuredFileFault> FaultOfDiagnosisFile(const TouchstoneData& data,
                                                      const std::string& name,
                                                      std::optional<double> referenceOhm) {
    if (data.ports != 2)
        return MeasuredFileFault{
            name + ": это однополюсник (.s1p), в нём нет S21 фильтра: нужен двухполюсник .s2p",
            name + ": a one-port file (.s1p) holds no S21 of a filter: a two-port .s2p is needed"};
    if (data.size() < 10)
        return MeasuredFileFault{name + ": в развёртке меньше 10 точек",
                                 name + ": the sweep holds fewer than 10 points"};
    if (!(data.frequencyHz.front() > 0) || !(data.frequencyHz.front() < data.frequencyHz.back()))
        return MeasuredFileFault{name + ": частоты файла не образуют диапазон",
                                 name + ": the file's frequencies make no span"};
    if (std::all_of(data.s.begin(), data.s.end(),
                    [](const auto& row) { return row[1] == std::complex<double>(); }))
        return MeasuredFileFault{name + ": в файле нет S21 (все значения нулевые)",
                                 name + ": the file holds no S21 (every value is zero)"};
    if (referenceOhm && data.referenceOhm != AnalyserOhm && data.referenceOhm != *referenceOhm) {
        const std::string file = GeneralText(data.referenceOhm, 6);
        const std::string given = GeneralText(*referenceOhm, 6);
        return MeasuredFileFault{
            name + ": файл отнесён к " + file + " Ом, а измерен, как сказано, между " + given +
                " Ом: пересчитайте файл к " + given + " Ом или не задавайте --reference-ohm",
            name + ": the file is referred to " + file + " Ohm, but was measured, as given, " +
                "between " + given + " Ohm: renormalise it to " + given +
                " Ohm or leave out --reference-ohm"};
    }
    return std::nullopt;
}

DiagnosisSweep DiagnosisSweepOf(const TouchstoneData& data, std::optional<double> referenceOhm) {
    DiagnosisSweep sweep;
    sweep.portOhm = referenceOhm.value_or(data.referenceOhm);
    sweep.hz = data.frequencyHz;
    const auto measured = [&](int column) {
        return std::any_of(data.s.begin(), data.s.end(), [&](const auto& row) {
            return row[static_cast<std::size_t>(column)] != std::complex<double>();
        });
    };
    const bool s11 = measured(0), s22 = measured(3);
    for (std::size_t i = 0; i < data.size(); ++i) {
        sweep.s21.push_back(data.S21(i));
        if (s11) sweep.s11.push_back(data.S11(i));
        if (s22) sweep.s22.push_back(data.S22(i));
    }
    return sweep;
}

Json DiagnosisJson(const Diagnosis& d, Language language) {
    const bool fitted = d.verdict == DiagnosisVerdict::Fitted;
    const auto maybe = [&](double value) { return fitted ? Json(value) : Json(nullptr); };
    Json j;
    j["verdict"] = VerdictName(d.verdict);
    const Json reading = ReadingJson(d.reading);
    j["parts"] = reading["parts"];
    j["crystals"] = reading["crystals"];
    j["rmOhm"] = maybe(d.rmOhm);
    j["designRmOhm"] = maybe(d.designRmOhm);
    j["rmBoundPct"] = maybe(d.rmBoundPct);
    j["qu"] = maybe(d.qu);
    j["designQu"] = maybe(d.designQu);
    j["delayNs"] = maybe(d.delaySec * 1e9);
    j["residualDb"] = d.verdict == DiagnosisVerdict::Refused ? Json(nullptr) : Json(d.residualDb);
    j["designResidualDb"] = maybe(d.designResidualDb);
    j["orientation"] = d.ambiguous ? "ambiguous" : "ok";
    j["mirrored"] = d.mirrored ? ReadingJson(*d.mirrored) : Json(nullptr);
    Json groups = Json::array();
    for (const WeakGroup& g : d.weakGroups)
        groups.push_back(
            {{"labels", g.labels}, {"boundPct", g.worstBoundPct}, {"boundHz", g.worstBoundHz}});
    j["groups"] = groups;
    Json advice = Json::array();
    for (const Advice& a : d.advice)
        advice.push_back({{"kind", AdviceName(a.kind)}, {"label", a.label}, {"value", a.value}});
    j["advice"] = advice;
    const bool ends = fitted && d.input.fittedOhm > 0;
    const auto pair = [&](double input, double output) {
        return ends ? Json{{"input", input}, {"output", output}} : Json(nullptr);
    };
    j["terminationOhm"] = pair(d.input.fittedOhm, d.output.fittedOhm);
    if (ends) j["terminationOhm"]["design"] = pair(d.input.designOhm, d.output.designOhm);
    j["terminationPF"] = pair(d.input.fittedPF, d.output.fittedPF);
    if (ends) j["terminationPF"]["design"] = pair(d.input.designPF, d.output.designPF);
    j["text"] = DiagnosisText(d, language);
    return j;
}

}  // namespace feldan
