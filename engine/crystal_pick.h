// Picking a set from a bag of crystals by the response it gives the design: which crystals, and
// in which positions, come nearest the design's own response once built.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/crystal.h"
#include "engine/crystal_set.h"
#include "engine/design.h"
#include "engine/messages.h"

namespace feldan {

// What a set makes of the design, built as the project would build it.
struct PickFigures {
    std::vector<std::size_t> crystals;  // the bag's index of the crystal at ZQ1, ZQ2, ...
    // The largest difference in dB between the set's response and the design's (on equal
    // crystals of the set's mean) over the design's pass band (within 3 dB of its peak).
    double departureDb = 0;
    double bandwidthHz = 0;        // the set's band at the design's level
    double designBandwidthHz = 0;  // the design's own
    double rippleDb = 0;           // of the set's response (RippleOf)
    // Highest less lowest of each mesh frequency fs·sqrt(1 + Cm/(C0 + C)) less the design's at
    // the same position, with the trims in force: what the filter sees of the fs and Lm spread.
    double meshSpreadHz = 0;
    double lmSpreadPct = 0;       // highest less lowest Lm, per cent of the set's mean
    std::vector<double> trimsPF;  // per position, applied or suggested; 0: none
    bool trimsApplied = false;
    int trimCount = 0;                              // trims the build puts in: 0 unless applied
    double largestLiftHz = 0;                       // the largest shift of fs they make
    std::optional<UnwantedResponse> worstUnwanted;  // the worst pass band of unwanted modes
    double score = 0;                               // what the pick minimises (PickScore)
};

// The score of a set, in dB of departure: the departure, plus 10 dB per unit of relative band
// error, plus for applied trims 0.02 dB a trim and 0.25 dB per design bandwidth of their total
// lift, plus 0.05 dB per dB that the worst unwanted pass band stands above −60 dB.
double PickScore(const PickFigures& figures, std::span<const CrystalModel> bag);

struct PickRequest {
    DesignFields design;  // Fo, Ld, Cs and Rd come from each set, as for a design from a set
    bool trim = false;    // build with the trims that lift each crystal to the set's highest fs
    int threads = 0;      // 0: every core
};

struct PickResult {
    Outcome outcome = Outcome::Done;
    Message message;  // why no set was picked: too few crystals, a design the set cannot make
    std::optional<PickFigures> byResponse;
    // The set of the smallest fs spread (PickBestSet), lowest fs first, for comparison.
    std::optional<PickFigures> byFsSpread;
    long setsSearched = 0;  // sets pre-scored on the mesh model
    bool exhaustive = false;
    int setsBuilt = 0;  // sets whose whole response was computed
    bool cancelled = false;
};

// Sets of the bag up to this many are all pre-scored; beyond, a local search.
inline constexpr long ExhaustivePickSets = 200000;

// Picks `PickRequest::design`'s crystal count of the bag's crystals (those with positive fs, Lm,
// Cm and Rm and a C0 of 0 or more), and their positions. Every set (or, for a larger bag, the
// sets a local search reaches from every run of neighbours in fs, swapping one crystal at a
// time) is pre-scored on the mesh model of the design: each position a series resonator at its
// mesh frequency with the crystal's effective inductance, coupled as the capacitors couple
// them, over the design's pass band; the best sets have their positions improved by swaps, and
// the best of those are built whole and scored by PickScore. `progress` gets the share done
// (0..1), from any thread; setting `cancel` ends the run with nothing picked.
PickResult PickByResponse(std::span<const CrystalModel> bag, const PickRequest& request,
                          const std::function<void(double)>& progress = {},
                          const std::atomic<bool>* cancel = nullptr);

// "отклонение от расчёта 0,12 дБ; полоса 497 Гц (расчёт 500 Гц); неравномерность 0,31 дБ; разброс
// частот контуров 8 Гц, Lm 3,1 %; подстроек 3, сдвиг до 45 Гц" (no trims: "без подстроек"), and
// the worst unwanted pass band where there is one.
std::string PickFiguresText(const PickFigures& figures, char separator,
                            Language language = Language::Russian);

}  // namespace feldan
