// What one Calculate command run for the shell prints.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "engine/calculate.h"
#include "engine/crystal.h"
#include "files/calculation_json.h"
#include "files/design_file.h"

namespace feldan::cli {

// The calculation and its JSON (CalculateReport, CalculationJson) live in
// files/calculation_json.h, shared with the web build.

// A number with 17 significant digits, independent of any locale ("null" if not finite).
std::string NumberText(double value);

// CalculationJson of the report, and a line end.
void WriteJson(const CalculationReport& report, std::ostream& out);

// A JSON value with every number at 17 significant digits, objects one key a line.
inline void Dump(const nlohmann::ordered_json& value, std::ostream& out, int indent = 0) {
    DumpJson(value, out, indent);
}

// The curve as CSV: a header line, then one "x,y" line per point.
void WriteCurveCsv(const std::vector<CurvePoint>& curve, std::ostream& out);

}  // namespace feldan::cli
