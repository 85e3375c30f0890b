// The crystal subcommands of feldan-cli: fit (a sweep to a crystal model), g3uur (the oscillator
// method) and crystals (a set: fit, list, pick).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/crystal.h"
#include "engine/messages.h"

namespace feldan::cli {

bool IsCrystalCommand(const std::string& word);

// The values of a crystal in the design's units, under the keys of the design file and JSON
// (null for each when there is no model).
void AddCrystalKeys(nlohmann::ordered_json& json, const CrystalModel* model);

// A fit as `fit --json` prints it: the crystal's keys, rmsErrorDb, iterations and the message
// (each null where there is none).
nlohmann::ordered_json FitJson(const CrystalFit& fit, const std::optional<std::string>& message);

// "Fo=… кГц; Ld=… мГн; Cs=… пФ; Rd=… Ом; Cm=… фФ; Q=…", in the words of the window's fields.
std::string CrystalLine(const CrystalModel& model, Language language);

// args[0] is the subcommand; everything it prints but its help is in `language`. Exit status 0
// done, 1 a warning (no resonance, a poor fit), 2 an error or bad usage.
int RunCrystalCommand(const std::vector<std::string>& args, Language language, std::ostream& out,
                      std::ostream& err);

}  // namespace feldan::cli
