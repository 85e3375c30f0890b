// A design built from measured crystals: the synthesis takes the set's mean crystal, the
// analysis each position's own crystal and, when asked for, its series trim.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "circuit/topologies.h"
#include "engine/calculate.h"
#include "engine/crystal.h"
#include "engine/design.h"
#include "engine/messages.h"

namespace feldan {

// A pass band that the crystals' unwanted modes open beside the filter's own, at its peak.
struct UnwantedResponse {
    double hz = 0;
    double offsetHz = 0;  // from the middle of the filter's pass band
    double levelDb = 0;   // against the pass band's peak: 0 as high, negative below
};

// What a set of crystals makes of a design.
struct CrystalSetDesign {
    // The design with Fo, Ld, Cs and Rd from the set: Fo the frequency the crystals are aligned
    // to, Ld, Cs and Rd the set's mean Lm, C0 and Rm.
    DesignFields fields;
    // The highest fs of the set with trims on, the mean fs with trims off.
    double alignedHz = 0;
    CrystalModel mean;  // mean fs, Lm, Rm, C0; Cm from the mean fs and Lm
    // Per position (0-based) the series trim that lifts the crystal to the highest fs: 0 for a
    // crystal already there. Suggested whether or not the trims are applied.
    std::vector<double> trimF;
    bool trim = false;
    // MessageId::None, or what makes the set unusable for this design.
    Message message;
    // The pass bands of the crystals' unwanted modes, as the design's circuit passes them, in
    // ascending frequency; none for crystals without modes.
    std::vector<UnwantedResponse> unwanted;
};

// The worst of the unwanted pass bands: the highest; nullptr for none.
const UnwantedResponse* WorstUnwanted(const CrystalSetDesign& set);

// "паразитная полоса на +20,1 кГц: −1,8 дБ", of an unwanted pass band.
std::string UnwantedResponseText(const UnwantedResponse& response, char separator,
                                 Language language = Language::Russian);

// The set's design. The count must be the topology's crystal count (a topology outside the
// list is left to the design run to refuse); every crystal needs positive finite Lm, Cm and Rm
// and a finite C0 of 0 or more; with trims on, every trim must be possible.
CrystalSetDesign DesignOfCrystalSet(const DesignFields& design,
                                    std::span<const CrystalModel> crystals, bool trim);

// Puts each position's crystal (and its trim, when the set's trims are on) into `values`. A
// position whose crystal is the mean one keeps the design's resonator, so a set of equal
// crystals is the design of equal crystals to the bit.
void SetCrystalsOfSet(ElementValues& values, const CrystalSetDesign& set,
                      std::span<const CrystalModel> crystals);

// The crystal an exact design of the set takes its effective inductance from: the mean crystal,
// with the trim that lifts it to the aligned frequency when the trims are on.
Resonator DesignCrystalOf(const CrystalSetDesign& set);

// Calculate for a design from a set of crystals: the same searches and summary, on the circuit
// of the set's own crystals.
CalculationResult CalculateWithCrystals(const DesignFields& design,
                                        std::span<const CrystalModel> crystals, bool trim,
                                        char separator, Language language = Language::Russian);

// The line shown after the summary of a design from a set: the Fo the crystals are aligned to
// and the series trim of each position, applied or suggested; where the crystals' modes open a
// pass band, the worst one.
std::string CrystalSetText(const CrystalSetDesign& set, char separator,
                           Language language = Language::Russian);

}  // namespace feldan
