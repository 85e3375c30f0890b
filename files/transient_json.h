// The filter in time as one JSON object: what `feldan-cli transient --json` prints and the web
// build's engine returns, made in one place so that the two cannot drift apart.
#pragma once

#include <nlohmann/json.hpp>

#include "engine/time_response.h"

namespace feldan {

// {delayMs, riseMs, overshootPct, decay20Ms, decay40Ms, interDotDb, centerHz, spanReachesFloor};
// a figure the response does not reach is null.
nlohmann::ordered_json TransientJson(const TimeResponse& response);

}  // namespace feldan
