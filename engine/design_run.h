// The one way into a design: the fields of a project (classic or exact, any topology and
// response), with or without a set of crystals, designed once. Every tool takes what it needs
// from what this returns, and designs nothing again.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "engine/calculate.h"
#include "engine/crystal.h"
#include "engine/crystal_set.h"

namespace feldan {

struct Designed {
    // What Расчет shows: the summary's numbers, the curve, the band, the caution.
    CalculationResult calculation;
    // The design of the set the filter is made of; unset for equal crystals. Its message says
    // why a set could not be used (the calculation is then refused with it).
    std::optional<CrystalSetDesign> set;
    // The set's crystals in position order; empty for equal crystals.
    std::vector<CrystalModel> crystals;
};

// Designs `fields` on equal crystals, or on `crystals` (in position order) with their trims
// when `trim` is set. The texts of the result are in `language`.
Designed RunDesign(const DesignFields& fields, char separator,
                   std::span<const CrystalModel> crystals = {}, bool trim = false,
                   Language language = Language::Russian);

// How many designs RunDesign has made in this process, so that a test can see that one
// Расчет designs once.
long DesignsRun();

// The three curves that show what a set of crystals does to a design: the design on equal
// crystals of the set's mean, the set as it is, and the set with its trims.
struct CrystalSetComparison {
    Message message;  // None, or why the set cannot be compared
    std::vector<Designed> designs;
};
CrystalSetComparison CompareCrystalSet(const DesignFields& fields,
                                       std::span<const CrystalModel> crystals, char separator,
                                       Language language);

}  // namespace feldan
