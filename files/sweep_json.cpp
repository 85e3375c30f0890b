#include "files/sweep_json.h"

#include <cmath>

namespace feldan {
namespace {

using Json = nlohmann::ordered_json;

Json OrNull(bool ok, double value) {
    return ok && std::isfinite(value) ? Json(value) : Json(nullptr);
}

}  // namespace

Json SweepJson(const SweepResult& sweep) {
    Json j;
    Json& points = j["points"] = Json::array();
    for (const SweepPoint& p : sweep.points) {
        Json point;
        point["frequencyHz"] = p.hz;
        point["s21Db"] = OrNull(p.ok, DecibelsOfS(p.s21));
        point["s21Deg"] = OrNull(p.ok, DegreesOf(p.s21));
        point["groupDelayS"] = OrNull(p.ok, p.groupDelaySec);
        point["s11Db"] = OrNull(p.ok, DecibelsOfS(p.s11));
        point["zinOhm"] = Json::array({OrNull(p.ok, p.zin.real()), OrNull(p.ok, p.zin.imag())});
        points.push_back(point);
    }
    return j;
}

}  // namespace feldan
