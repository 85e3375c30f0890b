#include "files/measured_json.h"

#include "engine/number_text.h"

namespace feldan {
namespace {

using Json = nlohmann::ordered_json;

Json Maybe(const std::optional<double>& value) {
    return value ? Json(*value) : Json(nullptr);
}

}  // namespace

Json FiguresJson(const FilterFigures& figures) {
    Json j;
    j["centerHz"] = Maybe(figures.centreHz);
    j["peakDb"] = figures.peakDb;
    Json& widths = j["bandwidthHz"] = Json::object();
    for (std::size_t k = 0; k < FigureLevelsDb.size(); ++k)
        widths[GeneralText(FigureLevelsDb[k], 10)] = Maybe(figures.bandwidthHz[k]);
    j["flatnessDb"] = Maybe(figures.flatnessDb);
    return j;
}

Json MeasuredJson(const MeasuredComparison& comparison) {
    Json j;
    j["measured"] = FiguresJson(comparison.measured);
    j["design"] = FiguresJson(comparison.design);
    j["shiftHz"] = Maybe(comparison.shiftHz);
    return j;
}

std::optional<MeasuredFileFault> FaultOfMeasuredFile(const TouchstoneData& data,
                                                     const std::string& name, bool renormalised,
                                                     bool assumeSymmetric,
                                                     const std::string& symmetricOption) {
    if (data.ports != 2 || data.size() < 3)
        return MeasuredFileFault{name + ": нужен двухполюсник .s2p хотя бы из 3 точек",
                                 name + ": a two-port .s2p of at least 3 points is needed"};
    if (renormalised && !data.reverseMeasured && !assumeSymmetric)
        return MeasuredFileFault{
            name + ": в файле нет обратного измерения (S12 и S22 нулевые); добавьте " +
                symmetricOption,
            name + ": the file holds no reverse measurement (S12 and S22 are zero); add " +
                symmetricOption};
    if (!(data.frequencyHz.front() > 0) || !(data.frequencyHz.front() < data.frequencyHz.back()))
        return MeasuredFileFault{name + ": частоты файла не образуют диапазон",
                                 name + ": the file's frequencies make no span"};
    return std::nullopt;
}

}  // namespace feldan
