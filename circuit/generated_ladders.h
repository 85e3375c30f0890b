// Ladders described by their number of crystals rather than by a table: the plain ladder of
// 2 to 12 crystals and the CW ladder of 4 to 12. Their circuits are made on demand and kept, so
// every part of the program that asks for a topology by its circuit number gets the same one.
#pragma once

#include <optional>
#include <vector>

namespace feldan {

struct TopologyDescriptor;

enum class LadderStructure {
    Plain = 1,  // a shunt capacitor between every two crystals
    Cw = 2,     // the same, with a series Ck on each side of every second coupling
    // Quasi-equiripple: one coupling capacitor throughout, the first and the last mesh of two
    // crystals in parallel and no end capacitors, so that every mesh tunes itself.
    Qer = 3,
};

inline constexpr int MinLadderCrystals = 2;
inline constexpr int MinCwCrystals = 4;
inline constexpr int MaxLadderCrystals = 12;
// A QER ladder of N poles (meshes) has N + 2 crystals.
inline constexpr int MinQerPoles = 4;
inline constexpr int MaxQerPoles = 12;

// What a generated ladder is made of. `crystals` counts every crystal (a QER ladder's poles + 2).
// Crystal i sits in mesh i (in a QER ladder crystals 1 and 2 share mesh 1, the last two the
// last mesh); a mesh between two others whose
// couplings leave it above the others' frequency needs a series tuning capacitor: bit i of
// tunedMeshes. A CW ladder's inner meshes all have their Ck arm, which takes any tuning in
// series, so its shape does not depend on it.
struct LadderShape {
    LadderStructure structure = LadderStructure::Plain;
    int crystals = 0;
    unsigned tunedMeshes = 0;

    friend bool operator==(const LadderShape&, const LadderShape&) = default;
};

// True for a plain ladder of 2..12 crystals, a CW ladder of an even 4..12, or a QER ladder of
// 4..12 poles, whose tuned meshes lie between the first and the last (never for a CW or QER
// ladder).
bool IsValidShape(const LadderShape& shape);

// The circuit number of a generated ladder, beyond the seven classic topologies (1..7), and back.
// CircuitOfShape throws std::invalid_argument for a shape that is not valid.
int CircuitOfShape(const LadderShape& shape);
std::optional<LadderShape> ShapeOfCircuit(int circuit);

// How two neighbouring crystals j and j + 1 are coupled, from input to output.
enum class CouplingForm {
    Shunt,            // one shunt capacitor
    SeriesThenShunt,  // crystal j's tuning capacitor, then the shunt
    ShuntThenSeries,  // the shunt, then crystal j + 1's tuning capacitor
    Pi,               // the T of both series arms and the shunt, built as its π equivalent
};

// The poles of a ladder: its meshes, a QER ladder's crystals less its two doubled ones.
int PolesOf(const LadderShape& shape);

// The forms of the couplings 1 .. poles − 1 (at [0] .. [crystals − 2]). A tuned mesh's
// capacitor faces a neighbour that is tuned too wherever it can, so that the two make one π
// section; the couplings pair up from the ends towards the middle, as the classic six- and
// eight-crystal ladders do. A CW ladder's couplings 2–3, 4–5, ... are π sections, the others
// plain shunts.
std::vector<CouplingForm> CouplingFormsOf(const LadderShape& shape);

// The slots of a generated ladder's capacitors, in the order the synthesis fills them.
inline constexpr int InputEndSlot = 1;    // the analysed circuit's end series capacitor, input
inline constexpr int OutputEndSlot = 2;   // and output
inline constexpr int InputShuntSlot = 3;  // the schematic's end shunt capacitors
inline constexpr int OutputShuntSlot = 4;
inline constexpr int FirstCouplingSlot = 5;  // then one slot per part of each coupling, in order

// Slots a form takes: 1 for a shunt, 2 for a shunt with a series arm, 3 for a π section.
int SlotsOf(CouplingForm form);

// The descriptor of a generated circuit, made once and kept for the program's life.
const TopologyDescriptor& GeneratedDescriptor(const LadderShape& shape);

}  // namespace feldan
