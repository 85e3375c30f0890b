// A request of the web build's engine: one JSON object keyed by feldan-cli's long option names.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>

#include "engine/design.h"
#include "engine/messages.h"
#include "engine/sweep.h"
#include "engine/time_response.h"

namespace feldan::web {

// The design and the options of one calculation.
struct CalculateRequest {
    DesignFields fields;  // the window's start state, with what the request changes
    char separator = '.';
    Language language = Language::Russian;
    bool overlay = false;
};

// A request the engine cannot take, said in the language it asked for.
class RequestError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads "type" or "topology" with "order", "response", the field texts "fo", "ld", "cs", "rd",
// "df", "ck" and "level" (as typed; a JSON number stands for its shortest text), "exact",
// "overlay", "lang" ("ru" or "en") and "separator" ("." or ","); a key not given keeps the
// window's start value. Throws RequestError naming the key for anything else.
CalculateRequest ReadCalculateRequest(const nlohmann::json& request);

// The span of a sweep, as feldan-cli sweep takes it.
struct SweepSpan {
    std::optional<double> fromKHz;  // detuning from Fo; unset: the sweep's default
    std::optional<double> toKHz;
    int points = DefaultSweepPoints;
    CircuitChoice circuit = CircuitChoice::Schematic;  // as feldan-cli's default
    std::optional<double> referenceOhm;
};

// Reads "from" and "to" (kHz), "points" (2 to MaxSweepPoints), "circuit" ("schematic" or
// "analysed") and "referenceOhm" (above 0); a key not given keeps the default. Throws
// RequestError naming the key, in `language`.
SweepSpan ReadSweepSpan(const nlohmann::json& span, Language language);

// The filter in time, as feldan-cli transient takes it.
struct TimeOptions {
    TimeRequest request;  // 25 wpm dots for a keyed view without wpm or pulseMs
    CircuitChoice circuit = CircuitChoice::Schematic;
};

// Reads "kind" ("step", "impulse" or "keyed"), "wpm" (1 to 1000), "pulseMs" (0.01 to 10000),
// "riseMs" (0 to 1000), "window" ("none", "hann" or "kaiser:B", B from 0 to 50) and "circuit";
// wpm, pulseMs and riseMs only for keyed, wpm and pulseMs not together. Throws RequestError
// naming the key, in `language`.
TimeOptions ReadTimeOptions(const nlohmann::json& options, Language language);

// Marks of a keyed train, as feldan-cli transient keys it: enough for the gap between the
// second and the third.
inline constexpr int TimeTrainDots = 5;

// The request of a design read from a file: the keys ReadCalculateRequest takes, "type" for a
// classic topology, "topology" and "order" for the others; "response" is null for a selection
// that names none.
nlohmann::ordered_json RequestOfFields(const DesignFields& fields);

}  // namespace feldan::web
