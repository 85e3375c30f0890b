// A request of the web build's engine: one JSON object keyed by feldan-cli's long option names.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>

#include "engine/design.h"
#include "engine/messages.h"
#include "engine/sweep.h"

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

// The request of a design read from a file: the keys ReadCalculateRequest takes, "type" for a
// classic topology, "topology" and "order" for the others; "response" is null for a selection
// that names none.
nlohmann::ordered_json RequestOfFields(const DesignFields& fields);

}  // namespace feldan::web
