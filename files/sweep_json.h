// A sweep as one JSON object: what `feldan-cli sweep --json` prints and the web build's engine
// returns, made in one place so that the two cannot drift apart.
#pragma once

#include <nlohmann/json.hpp>

#include "engine/sweep.h"

namespace feldan {

// {"points": [{frequencyHz, s21Db, s21Deg, groupDelayS, s11Db, zinOhm: [re, im]}, ...]}; a point
// without a solution keeps its frequency and has null for every value.
nlohmann::ordered_json SweepJson(const SweepResult& sweep);

}  // namespace feldan
