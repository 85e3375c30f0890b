// A measured filter beside its design as one JSON object: what `feldan-cli measured --json`
// prints and the web build's engine returns.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "engine/measured_filter.h"
#include "files/touchstone.h"

namespace feldan {

// {centerHz, peakDb, bandwidthHz: {"3": ..., "6": ..., "20": ..., "60": ...}, flatnessDb}; a
// figure the curve does not reach is null.
nlohmann::ordered_json FiguresJson(const FilterFigures& figures);

// {measured: figures, design: figures, shiftHz}.
nlohmann::ordered_json MeasuredJson(const MeasuredComparison& comparison);

// Why a Touchstone file read from `name` cannot be laid over a design, in both languages: not a
// two-port of at least 3 points, no reverse measurement for a renormalisation that does not
// assume the filter symmetric (`symmetricOption` names the option that does), or frequencies
// that make no span. None for a file that can.
struct MeasuredFileFault {
    std::string russian;
    std::string english;
};
std::optional<MeasuredFileFault> FaultOfMeasuredFile(const TouchstoneData& data,
                                                     const std::string& name, bool renormalised,
                                                     bool assumeSymmetric,
                                                     const std::string& symmetricOption);

}  // namespace feldan
