// The built filter found from its sweep, from and to files: the sweep of a Touchstone file as the
// fit takes it, and the answer as the JSON object `feldan-cli diagnose --json` prints.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "engine/diagnosis.h"
#include "files/measured_json.h"
#include "files/touchstone.h"

namespace feldan {

// Why the file read from `name` cannot be fitted, in both languages: a one-port file (a filter
// needs S21), fewer than 10 points, an S21 of nothing but zeros, frequencies that make no span,
// or a reference of its own that `referenceOhm` contradicts (the ports the builder measured
// through are given, but the file is referred neither to them nor to an analyser's 50 Ohm).
// None for a file that can.
std::optional<MeasuredFileFault> FaultOfDiagnosisFile(const TouchstoneData& data,
                                                      const std::string& name,
                                                      std::optional<double> referenceOhm);

// The sweep of a two-port file between ports of `referenceOhm` (else the file's reference):
// S21, and S11 and S22 where the file holds more than zeros for them.
DiagnosisSweep DiagnosisSweepOf(const TouchstoneData& data, std::optional<double> referenceOhm);

// {verdict, parts: [{label, designedPF, fittedPF, errorPct, boundPct}], crystals: [{position,
// offsetHz, boundHz}], rmOhm, designRmOhm, rmBoundPct, qu, designQu, delayNs, residualDb,
// designResidualDb, orientation: "ok" | "ambiguous", mirrored: {parts, crystals} or null, groups:
// [{labels, boundPct, boundHz}], advice: [{kind, label, value}], terminationOhm and terminationPF:
// {input, output, design: {input, output}}, text}. A fit that gives no values has empty lists and
// nulls.
nlohmann::ordered_json DiagnosisJson(const Diagnosis& diagnosis, Language language);

}  // namespace feldan
