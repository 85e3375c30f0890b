// What a fit of a built filter says: its values and bounds part by part, the mirror image that
// S21 alone cannot tell from it, the groups of parts the sweep cannot tell apart, and the
// crystals in parallel that it cannot tell one from the other.
#pragma once

#include <Eigen/Dense>
#include <utility>
#include <vector>

#include "engine/diagnosis.h"
#include "engine/diagnosis_model.h"

namespace feldan::diagnosis_reading {

// The fitted parameters and their covariance.
struct Fitted {
    Eigen::VectorXd theta;
    Eigen::MatrixXd covariance;
};

// The index of `parameter` in the mirror image of the schematic.
int MirrorOf(const DiagnosisModel& model, int parameter);

// True when the schematic's mirror image has the same values in force: then its mirror fits S21
// as well.
bool SymmetricDesign(const DiagnosisModel& model, const BuiltDesign& built);

// True when the fitted values of each part and its mirror image agree to what the sweep pins.
bool SymmetricFit(const DiagnosisModel& model, const Fitted& fit);

// The parts in the schematic's order (`mirror`: read from the mirror image), the crystals of
// each of `pairs` (positions) with the lower resonance first.
DiagnosisReading ReadingOf(const DiagnosisModel& model, const Fitted& fit, bool mirror,
                           const std::vector<std::pair<int, int>>& pairs);

// The parts the sweep does not determine, grouped by how their fitted values trade.
std::vector<WeakGroup> WeakGroupsOf(const DiagnosisModel& model, const Fitted& fit);

// The identical crystals in parallel of the schematic, as model indices of crystals: the
// response is the same with their resonances swapped.
std::vector<std::pair<int, int>> ParallelPairsOf(const DiagnosisModel& model,
                                                 const BuiltDesign& built);

}  // namespace feldan::diagnosis_reading
