// Live tuning of a built filter: the parts a builder can set by hand (each capacitor slot of the
// schematic, the termination at both ends and the trim of each crystal of a set), their values
// as built, and the steps a value moves by.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/rounding.h"

namespace feldan {

// One part of the built filter set by hand: a capacitor of the schematic by the first label of
// its slot ("C1"; pF), or by another label of the slot, which sets that part apart from the slot
// ("C5"; pF); the termination ("Rin"; Ohm); the trim of a crystal position ("Ct1"; pF); and, as a
// filter fitted to its sweep has them, a crystal's series resonance ("ZQ2"; Hz) and the crystals'
// motional resistance ("Rm"; Ohm, every crystal's moved by one factor).
struct TunedPart {
    std::string label;
    double value = 0;
    bool operator==(const TunedPart&) const = default;
};

enum class TunableKind {
    Capacitor,
    Termination,
    OutputTermination,
    Trim,
    Crystal,             // listed only when a tuning names it
    MotionalResistance,  // listed only when a tuning names it
};

// The terminations' labels in a tuning list: one for both ends when they are equal, and the
// output end's own when a design's two ends differ.
inline constexpr const char* TerminationLabel = "Rin";
inline constexpr const char* OutputTerminationLabel = "Rout";
// The crystals' motional resistance, as a fitted filter sets it.
inline constexpr const char* MotionalResistanceLabel = "Rm";

struct TunablePart {
    TunableKind kind = TunableKind::Capacitor;
    std::string label;                 // the key of a tuning list: "C1", "Rin", "Ct1"
    std::vector<std::string> labels;   // {"C1", "C5"}: the parts of one slot
    int index = 0;                     // the CapPF slot, or the crystal position of a trim
    double designed = 0;               // pF, or Ohm for the termination
    double built = 0;                  // as designed, or as rounded when a rounding is in force
    std::optional<ParallelPair> pair;  // the rounding's two parts in parallel
    double value = 0;                  // as built, or as tuned
    // A capacitor set apart from its slot: its place among the schematic's capacitors (PartPF);
    // -1 for a whole slot.
    int part = -1;
    bool Tuned() const { return value != built; }
    bool IsTermination() const {
        return kind == TunableKind::Termination || kind == TunableKind::OutputTermination;
    }
};

// The parts of a built design in the order of the schematic: the capacitor slots (a part the
// tuning sets apart from its slot after it), then the termination, then the trims of the
// positions that have one (a crystal set with its trims on; the crystal at the highest frequency
// needs none), then the crystals and the motional resistance the tuning names. Their values: the
// design's, then the rounding's when `rounding` is given, then the tuned values of `tuning`,
// where labels the design does not have are ignored.
std::vector<TunablePart> TunablePartsOf(const BuiltDesign& built, const RoundingResult* rounding,
                                        std::span<const TunedPart> tuning);

// The tuned parts of a list: those whose value differs from the value as built.
std::vector<TunedPart> TuningOf(std::span<const TunablePart> parts);

// What MeasureSchematic takes for the parts as they are set.
struct TunedCircuit {
    ElementValues values;
    double terminationOhm = 0;        // the input end's
    double outputTerminationOhm = 0;  // the output end's
};
TunedCircuit TunedCircuitOf(const BuiltDesign& built, std::span<const TunablePart> parts);

// How far one notch of the wheel or one arrow key moves a value.
enum class TuningStep { OnePercent, TenthPercent, E12, E24, E96 };

// `value` moved by `notches` steps (negative: down). A step to a series takes the next member
// for each notch.
double SteppedValue(double value, TuningStep step, int notches);
// A part's value moved by `notches` steps: a crystal's resonance by 10 Hz a notch (1 Hz at the
// tenth-percent step), any other part as SteppedValue moves it.
double SteppedValueOf(const TunablePart& part, TuningStep step, int notches);

}  // namespace feldan
