// A design run on the window's start data, with its circuit built: for the tests and benchmarks
// that work on the circuit of a design rather than on a whole calculation.
#pragma once

#include <memory>

#include "circuit/analysis.h"
#include "engine/calculate.h"
#include "engine/synthesis.h"

namespace feldan::testsupport {

struct DesignedCircuit {
    DesignFields design;
    CalculationResult result;
    std::unique_ptr<CircuitAnalysis> circuit = std::make_unique<CircuitAnalysis>();
    // The design run reached its analysis at Fo without a warning.
    bool ok = false;

    double FoHz() const { return result.input.FoKHz * 1000; }
};

inline std::unique_ptr<DesignedCircuit> Designed(int filterType, int responseType,
                                                 InputTexts texts = {}) {
    auto designed = std::make_unique<DesignedCircuit>();
    designed->design = {texts, filterType, responseType};
    designed->ok =
        RunDesign(designed->design, *designed->circuit, designed->result, '.') == MessageId::None;
    return designed;
}

}  // namespace feldan::testsupport
