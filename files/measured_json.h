// A measured filter beside its design as one JSON object: what `feldan-cli measured --json`
// prints and the web build's engine returns.
#pragma once

#include <nlohmann/json.hpp>

#include "engine/measured_filter.h"

namespace feldan {

// {centerHz, peakDb, bandwidthHz: {"3": ..., "6": ..., "20": ..., "60": ...}, flatnessDb}; a
// figure the curve does not reach is null.
nlohmann::ordered_json FiguresJson(const FilterFigures& figures);

// {measured: figures, design: figures, shiftHz}.
nlohmann::ordered_json MeasuredJson(const MeasuredComparison& comparison);

}  // namespace feldan
