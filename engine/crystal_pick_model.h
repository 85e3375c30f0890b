// The pre-score of the pick by the response: each crystal position of a design as a series
// resonator in its mesh, the meshes coupled as the schematic's capacitors couple them, so that
// a set's departure from the design is read off the determinant of a small tridiagonal matrix
// instead of a whole analysis of the filter.
#pragma once

#include <complex>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "circuit/topologies.h"
#include "engine/crystal.h"
#include "engine/crystal_pick.h"

namespace feldan::pick_model {

using Complex = std::complex<double>;
using Index = std::uint32_t;

// The weights of PickScore, in dB of departure.
// The weights of PickScore, in dB of departure.
constexpr double BandWeightDb = 10;     // per unit of relative band error
constexpr double TrimEachDb = 0.02;     // a trim to solder and set
constexpr double TrimLiftDb = 0.25;     // per design bandwidth of the trims' total lift
constexpr double UnwantedFreeDb = -60;  // an unwanted pass band this low costs nothing
constexpr double UnwantedWeight = 0.05;
// The pre-score's cost of unwanted modes that all line up: an unwanted pass band at the level of
// the pass band, as PickScore counts it.
constexpr double AlignedModesDb = -UnwantedFreeDb * UnwantedWeight;

// The pre-score's frequencies over the pass band.
constexpr int GridPoints = 17;

// Whether a crystal's model can take part: positive fs, Lm, Cm and Rm, its modes the same.
bool UsableCrystal(const CrystalModel& c);

// What the rest of the schematic presents to each crystal position at Fo: the capacitance in
// series with the crystal around its mesh, the termination's resistance in that mesh (the end
// meshes), and the reactance that couples the mesh to the next one.
struct MeshNetwork {
    std::vector<double> loopF, loopOhm;
    std::vector<double> couplingOhm;  // [p] between positions p and p + 1, 0-based
};

// The network from the schematic's parts; nothing when a mesh is not capacitive or two crystals
// share no shunt part.
std::optional<MeshNetwork> MeshNetworkOf(int circuit, const ElementValues& values, double inputOhm,
                                         double outputOhm, double foHz);

// A crystal in its mesh as a series resonator.
struct MeshResonator {
    double omegaSquared = 0;
    double lH = 0;
    double rOhm = 0;
    double hz = 0;
};

MeshResonator MeshOf(const CrystalModel& c, double trimF, double loopF, double loopOhm);

// 10·log10 |det Z|² of the meshes' tridiagonal impedance matrix at ω.
double LogDeterminant(std::span<const MeshResonator> meshes, std::span<const double> couplingSq,
                      double omega);

// The cost of applied trims: lifts in Hz.
double TrimCostDb(std::span<const double> liftsHz, double bandHz);

// What the pre-score knows of the design: the mesh network, the pass band's frequencies as
// offsets from the design's Fo, and the design bandwidth.
struct PreScoreModel {
    MeshNetwork network;
    std::vector<double> couplingSq;
    std::vector<double> offsetsHz;
    double bandHz = 0;
    bool trim = false;
};

// One set's reference and position-independent costs, worked out once for the search of its
// positions.
struct SetReference {
    std::vector<const CrystalModel*> members;
    std::vector<double> trimF;  // per member
    std::vector<double> omegas;
    std::vector<double> referenceDb;
    double fixedCostDb = 0;  // trims and modes
    bool usable = false;
};

SetReference ReferenceOf(const PreScoreModel& model, std::span<const CrystalModel> bag,
                         std::span<const Index> members);

// The departure of the set in positions `order` (indices into set.members) from its reference.
double DepartureDb(const PreScoreModel& model, const SetReference& set,
                   std::span<const std::size_t> order, std::vector<MeshResonator>& meshes);

// The mesh model of the design, from a set built whole: its network, and its pass band (within
// 3 dB of the peak of the model's own response on the set's mean crystal) as offsets from Fo.
std::optional<PreScoreModel> ModelOf(std::span<const CrystalModel> bag,
                                     std::span<const Index> order, const PickRequest& request);

}  // namespace feldan::pick_model
