// The filter topologies, each described once as data: the circuit that the analysis solves, and
// the schematic that the user builds and the window draws. Netlists of both are built from the
// description. A circuit number names a topology: 1..7 the seven classic ones, kept as the
// tables below, and beyond them the ladders generated from their number of crystals
// (circuit/generated_ladders.h).
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "circuit/constants.h"
#include "circuit/generated_ladders.h"
#include "circuit/netlist.h"

namespace feldan {

// Crystal positions ZQ1..ZQ14: a QER ladder of 12 poles doubles its two end crystals.
inline constexpr int MaxCrystals = 14;

// One crystal: the motional arm Lm, Cm, Rm in series, bridged by the static capacitance C0, and
// an optional trim capacitor in series with the whole crystal. SI units throughout (H, F, Ohm),
// so that measured crystals and tolerance trials need no conversions of their own.
struct Resonator {
    double LmH = 0;
    double CmF = 0;
    double RmOhm = 0;
    double C0F = 0;
    double TrimF = 0;  // 0: no trim capacitor
    // Unwanted modes: further motional arms across C0 (R, L, C of each); ModeCount of them.
    int ModeCount = 0;
    std::array<SeriesArm, MaxBranchArms> Modes{};
};

// The crystal of a design from the design's units (Ld in mH, Cm in F, Rd in Ohm, Cs in pF),
// converted with the operations the netlists have always used (Ld·0.001, Cs·1e-12), so a design
// of equal crystals gives the same bits as ever.
Resonator ResonatorOfDesign(double ldMH, double motionalCapF, double rdOhm, double csPF);

// Element values of one design: a resonator per crystal position, the terminations and the
// capacitor slots in pF. The builders convert to H, F and S. The circuit layer knows nothing
// else of a design.
struct ElementValues {
    std::array<Resonator, MaxCrystals + 1> Crystal{};  // ZQ1..ZQ14 at [1..14]; [0] unused
    double SourceOhm = 0;
    double LoadOhm = 0;
    std::array<double, 29> CapPF{};  // slots 1..28, pF
    // Capacitors of the schematic set apart from their slot, by their place among its capacitors
    // from the input (the parts of one slot found unequal on a built filter); 0: the slot's value.
    std::array<double, 48> PartPF{};

    // Every position alike: a design of equal crystals.
    void SetAllCrystals(const Resonator& crystal) {
        for (int p = 1; p <= MaxCrystals; ++p)
            Crystal[p] = crystal;
    }
};

struct TopologyCounts {
    int NodeCount;
    int BranchCount;
    int DrivenNode;
    int OutputNode;
};

// What a branch carries: one element, from the crystal at position `index` (Lm, Cm, Rm, C0, and
// Trim, the trim capacitor in series with the crystal), from the terminations (Rs, RL), or from
// capacitor slot `index` (Cap).
enum class Element { Lm, Cm, Rm, C0, Trim, Rs, RL, Cap };

// A branch of the analysed circuit.
struct AnalysedBranch {
    int from;
    int to;
    Element element;
    int index = 0;
};

// ParallelCrystal: a crystal across the one before it (a QER ladder's doubled ends).
enum class SchematicItemKind { ShuntCapacitor, SeriesCapacitor, Crystal, ParallelCrystal };

// A capacitor of the schematic, whose value a CapPF slot holds; the rest are crystals.
constexpr bool IsCapacitorItem(SchematicItemKind kind) {
    return kind == SchematicItemKind::ShuntCapacitor || kind == SchematicItemKind::SeriesCapacitor;
}

// A part of the schematic, as the picture draws it and the result text names it.
struct SchematicItem {
    SchematicItemKind kind;
    int index;  // the CapPF slot whose value the capacitor's label shows, or the crystal position
    std::string_view label;  // "C1", "ZQ1", ...
};

struct TopologyDescriptor {
    std::string_view name;
    int crystalCount;
    // The analysed circuit: what the Calculate command simulates. Branch b is branches[b − 1];
    // source resistance and load on their own nodes, an end series capacitor Cend at each end,
    // and in the 6- and 8-crystal ladders T sections where the picture shows π sections.
    TopologyCounts counts;
    std::span<const AnalysedBranch> branches;
    int endSlot;  // Cend, the slot of the end series capacitor at the input
    // The schematic, from input to output: a shunt capacitor at each end and every junction,
    // crystals and series capacitors between, terminated at both ends by InputOhm.
    std::span<const SchematicItem> schematic;
};

// The description of a circuit number; throws std::out_of_range for a number that names none.
const TopologyDescriptor& DescriptorOf(int circuit);

// Counts of a circuit number.
const TopologyCounts& CountsOf(int circuit);

// What each branch of a built netlist is, for naming parts (a SPICE export): the element and its
// crystal position or slot, and the label of its part in the picture ("ZQ2" for every branch of
// that crystal and its trim, "C3" for a schematic capacitor, "Rs" and "RL" for the terminations;
// empty for a capacitor of the analysed circuit, which the picture does not show as such).
struct BranchRole {
    Element element = Element::Cap;
    int index = 0;
    std::string_view label;
};
using BranchRoles = std::array<BranchRole, MaxBranches + 1>;  // [1..BranchCount]

// Writes the counts, every branch (all five fields), the ports and the one 1 V source of the
// analysed circuit. A crystal with a trim capacitor gets it between its input-side node and a
// node of its own, numbered and appended after all others, so netlists without trims are
// unchanged.
void BuildNetlist(int circuit, const ElementValues& values, Netlist& netlist,
                  BranchRoles* roles = nullptr);

// The schematic's circuit: a 1 V source behind inputOhm, the parts of the picture with the values
// of the slots their labels show and the crystals of `values` (trims included), and outputOhm as
// the load (inputOhm too, where it is not given: a filter with equal ends). values.SourceOhm and
// LoadOhm are not used.
void BuildSchematicNetlist(int circuit, const ElementValues& values, double inputOhm,
                           double outputOhm, Netlist& netlist, BranchRoles* roles = nullptr);
inline void BuildSchematicNetlist(int circuit, const ElementValues& values, double inputOhm,
                                  Netlist& netlist, BranchRoles* roles = nullptr) {
    BuildSchematicNetlist(circuit, values, inputOhm, inputOhm, netlist, roles);
}

// One crystal (with its trim, if any) in series between a source resistance and a load, as it is
// measured in a series fixture: port 1 at its one end, port 2 at the other.
void BuildCrystalFixture(const Resonator& crystal, double sourceOhm, double loadOhm,
                         Netlist& netlist);

// An end of the analysed circuit, the termination termOhm behind the end series capacitor
// cendPF, turned into the schematic's end: InputOhm in parallel with a shunt capacitor, exactly
// equal at Fo. With ω0 = TwoPi·Fo and Q = 1/(ω0·Cend·TermOhm): InputOhm = TermOhm·(1 + Q²) and
// the shunt is Cend/(1 + 1/Q²).
struct ParallelEnd {
    double InputOhm = 0;
    double ShuntPF = 0;
};
ParallelEnd ParallelEquivalentOfEnd(double cendPF, double termOhm, double foKHz);

}  // namespace feldan
