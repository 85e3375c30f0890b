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

}  // namespace feldan
