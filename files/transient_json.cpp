#include "files/transient_json.h"

#include <cmath>

namespace feldan {
namespace {

using Json = nlohmann::ordered_json;

Json Figure(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

}  // namespace

Json TransientJson(const TimeResponse& response) {
    const TransientFigures& figures = response.figures;
    Json j;
    j["delayMs"] = Figure(figures.delayMs);
    j["riseMs"] = Figure(figures.riseMs);
    j["overshootPct"] = Figure(figures.overshootPct);
    j["decay20Ms"] = Figure(figures.decay20Ms);
    j["decay40Ms"] = Figure(figures.decay40Ms);
    j["interDotDb"] = Figure(figures.interDotDb);
    j["centerHz"] = response.spectrum.centreHz;
    j["spanReachesFloor"] = response.spectrum.reachesFloor;
    return j;
}

}  // namespace feldan
