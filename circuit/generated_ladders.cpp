#include "circuit/generated_ladders.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "circuit/topologies.h"

namespace feldan {
namespace {

// Circuit numbers: structure · 1 000 000 + crystals · 10 000 + the tuned meshes' bits.
constexpr int StructureBase = 1'000'000;
constexpr int CrystalBase = 10'000;

bool IsTuned(const LadderShape& shape, int mesh) {
    return (shape.tunedMeshes >> mesh & 1U) != 0;
}

// A generated descriptor with the storage its spans and labels point into.
struct GeneratedTopology {
    std::string name;
    std::vector<AnalysedBranch> branches;
    std::vector<SchematicItem> schematic;
    std::deque<std::string> labels;  // a deque keeps its strings where they are
    TopologyDescriptor descriptor{};
};

std::string_view KeepLabel(GeneratedTopology& topology, std::string label) {
    return topology.labels.emplace_back(std::move(label));
}

void MakeSchematic(const LadderShape& shape, GeneratedTopology& t) {
    using enum SchematicItemKind;
    int capacitor = 0;
    auto cap = [&](SchematicItemKind kind, int slot) {
        t.schematic.push_back({kind, slot, KeepLabel(t, "C" + std::to_string(++capacitor))});
    };
    if (shape.structure == LadderStructure::Qer) {
        // The doubled end crystals in parallel, one coupling capacitor between every two meshes.
        const int poles = PolesOf(shape);
        int crystal = 0;
        const auto add = [&](SchematicItemKind kind) {
            ++crystal;
            t.schematic.push_back({kind, crystal, KeepLabel(t, "ZQ" + std::to_string(crystal))});
        };
        for (int mesh = 1; mesh <= poles; ++mesh) {
            add(Crystal);
            if (mesh == 1 || mesh == poles) add(ParallelCrystal);
            if (mesh < poles) cap(ShuntCapacitor, FirstCouplingSlot + mesh - 1);
        }
        return;
    }
    cap(ShuntCapacitor, InputShuntSlot);
    const std::vector<CouplingForm> forms = CouplingFormsOf(shape);
    int slot = FirstCouplingSlot;
    for (int crystal = 1; crystal <= shape.crystals; ++crystal) {
        t.schematic.push_back({Crystal, crystal, KeepLabel(t, "ZQ" + std::to_string(crystal))});
        if (crystal == shape.crystals) break;
        switch (forms[static_cast<std::size_t>(crystal - 1)]) {
            case CouplingForm::Shunt:
                cap(ShuntCapacitor, slot);
                break;
            case CouplingForm::SeriesThenShunt:
                cap(SeriesCapacitor, slot);
                cap(ShuntCapacitor, slot + 1);
                break;
            case CouplingForm::ShuntThenSeries:
                cap(ShuntCapacitor, slot);
                cap(SeriesCapacitor, slot + 1);
                break;
            case CouplingForm::Pi:
                cap(ShuntCapacitor, slot);
                cap(SeriesCapacitor, slot + 1);
                cap(ShuntCapacitor, slot + 2);
                break;
        }
        slot += SlotsOf(forms[static_cast<std::size_t>(crystal - 1)]);
    }
    cap(ShuntCapacitor, OutputShuntSlot);
}

// The four branches of the crystal at `position` between `from` and `to`.
void AddCrystal(GeneratedTopology& t, int& node, int from, int to, int position) {
    const int arm1 = ++node, arm2 = ++node;
    t.branches.push_back({from, arm1, Element::Lm, position});
    t.branches.push_back({arm1, arm2, Element::Cm, position});
    t.branches.push_back({arm2, to, Element::Rm, position});
    t.branches.push_back({from, to, Element::C0, position});
}

// A QER ladder's analysed circuit is its schematic between the two terminations.
void MakeAnalysedQer(GeneratedTopology& t) {
    int node = 2;
    t.branches.push_back({1, 2, Element::Rs, 0});
    int junction = 2, to = 0;
    for (const SchematicItem& part : t.schematic) {
        switch (part.kind) {
            case SchematicItemKind::ShuntCapacitor:
                t.branches.push_back({junction, 0, Element::Cap, part.index});
                break;
            case SchematicItemKind::Crystal:
                to = ++node;
                AddCrystal(t, node, junction, to, part.index);
                junction = to;
                break;
            case SchematicItemKind::ParallelCrystal: {
                // Across the crystal before it: from that crystal's junction to the same node.
                const int from = t.branches[t.branches.size() - 1].from;
                AddCrystal(t, node, from, to, part.index);
                break;
            }
            case SchematicItemKind::SeriesCapacitor:
                break;
        }
    }
    t.branches.push_back({junction, 0, Element::RL, 0});
    t.descriptor.counts = {node, static_cast<int>(t.branches.size()), 1, junction};
}

// The analysed circuit: the source resistance and the end series capacitor, the schematic's
// inner parts, the other end series capacitor and the load, numbered from input to output.
void MakeAnalysed(GeneratedTopology& t) {
    using enum Element;
    int node = 2;
    auto add = [&](int from, int to, Element element, int index) {
        t.branches.push_back({from, to, element, index});
    };
    add(1, 2, Rs, 0);
    add(2, 3, Cap, InputEndSlot);
    int junction = ++node;
    for (std::size_t k = 1; k + 1 < t.schematic.size(); ++k) {
        const SchematicItem& part = t.schematic[k];
        switch (part.kind) {
            case SchematicItemKind::ShuntCapacitor:
                add(junction, 0, Cap, part.index);
                break;
            case SchematicItemKind::SeriesCapacitor:
                add(junction, ++node, Cap, part.index);
                junction = node;
                break;
            case SchematicItemKind::Crystal:
            case SchematicItemKind::ParallelCrystal: {
                const int to = ++node;
                AddCrystal(t, node, junction, to, part.index);
                junction = to;
                break;
            }
        }
    }
    add(junction, ++node, Cap, OutputEndSlot);
    add(node, 0, RL, 0);
    t.descriptor.counts = {node, static_cast<int>(t.branches.size()), 1, node};
}

std::unique_ptr<GeneratedTopology> Generate(const LadderShape& shape) {
    auto t = std::make_unique<GeneratedTopology>();
    t->name =
        (shape.structure == LadderStructure::Cw    ? "Cw"
         : shape.structure == LadderStructure::Qer ? "Qer"
                                                   : "Ladder") +
        std::to_string(shape.structure == LadderStructure::Qer ? PolesOf(shape) : shape.crystals);
    MakeSchematic(shape, *t);
    if (shape.structure == LadderStructure::Qer) {
        MakeAnalysedQer(*t);
    } else {
        MakeAnalysed(*t);
    }
    t->descriptor.name = t->name;
    t->descriptor.crystalCount = shape.crystals;
    t->descriptor.branches = t->branches;
    t->descriptor.endSlot = InputEndSlot;
    t->descriptor.schematic = t->schematic;
    return t;
}

}  // namespace

bool IsValidShape(const LadderShape& shape) {
    const int n = shape.crystals;
    if (shape.structure == LadderStructure::Qer) {
        return n - 2 >= MinQerPoles && n - 2 <= MaxQerPoles && shape.tunedMeshes == 0;
    }
    if (n > MaxLadderCrystals) return false;
    if (shape.structure == LadderStructure::Cw) {
        return n >= MinCwCrystals && n % 2 == 0 && shape.tunedMeshes == 0;
    }
    if (shape.structure != LadderStructure::Plain || n < MinLadderCrystals) return false;
    // Only the meshes 2 .. n − 1 can be tuned (bit i for mesh i).
    const unsigned inner = ((1U << n) - 1) & ~3U;
    return (shape.tunedMeshes & ~inner) == 0;
}

int CircuitOfShape(const LadderShape& shape) {
    if (!IsValidShape(shape)) throw std::invalid_argument("not a ladder that can be generated");
    return static_cast<int>(shape.structure) * StructureBase + shape.crystals * CrystalBase +
           static_cast<int>(shape.tunedMeshes);
}

std::optional<LadderShape> ShapeOfCircuit(int circuit) {
    if (circuit < StructureBase) return std::nullopt;
    LadderShape shape;
    shape.structure = static_cast<LadderStructure>(circuit / StructureBase);
    shape.crystals = circuit % StructureBase / CrystalBase;
    shape.tunedMeshes = static_cast<unsigned>(circuit % CrystalBase);
    if (!IsValidShape(shape)) return std::nullopt;
    return shape;
}

int PolesOf(const LadderShape& shape) {
    return shape.structure == LadderStructure::Qer ? shape.crystals - 2 : shape.crystals;
}

std::vector<CouplingForm> CouplingFormsOf(const LadderShape& shape) {
    const int n = PolesOf(shape);
    std::vector<CouplingForm> forms(static_cast<std::size_t>(n > 1 ? n - 1 : 0),
                                    CouplingForm::Shunt);
    if (shape.structure == LadderStructure::Cw) {
        for (int j = 2; j + 1 < n; j += 2)
            forms[static_cast<std::size_t>(j - 1)] = CouplingForm::Pi;
        return forms;
    }
    // An arm on the right of crystal i belongs to coupling i, one on its left to coupling i − 1.
    std::vector<bool> rightArm(static_cast<std::size_t>(n + 1)), leftArm(rightArm);
    std::vector<bool> placed(rightArm);
    for (int i = 2; i < n; ++i) {
        if (!IsTuned(shape, i) || placed[static_cast<std::size_t>(i)]) continue;
        if (i + 1 < n && IsTuned(shape, i + 1)) {
            rightArm[static_cast<std::size_t>(i)] = true;
            leftArm[static_cast<std::size_t>(i + 1)] = true;
            placed[static_cast<std::size_t>(i + 1)] = true;
        } else if (2 * i <= n) {
            rightArm[static_cast<std::size_t>(i)] = true;  // facing the middle
        } else {
            leftArm[static_cast<std::size_t>(i)] = true;
        }
        placed[static_cast<std::size_t>(i)] = true;
    }
    for (int j = 1; j < n; ++j) {
        const bool left = rightArm[static_cast<std::size_t>(j)];
        const bool right = leftArm[static_cast<std::size_t>(j + 1)];
        forms[static_cast<std::size_t>(j - 1)] = left && right ? CouplingForm::Pi
                                                 : left        ? CouplingForm::SeriesThenShunt
                                                 : right       ? CouplingForm::ShuntThenSeries
                                                               : CouplingForm::Shunt;
    }
    return forms;
}

int SlotsOf(CouplingForm form) {
    switch (form) {
        case CouplingForm::Shunt:
            return 1;
        case CouplingForm::SeriesThenShunt:
        case CouplingForm::ShuntThenSeries:
            return 2;
        case CouplingForm::Pi:
            return 3;
    }
    return 1;
}

const TopologyDescriptor& GeneratedDescriptor(const LadderShape& shape) {
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<GeneratedTopology>> made;
    const int circuit = CircuitOfShape(shape);
    const std::lock_guard<std::mutex> lock(mutex);
    auto& topology = made[circuit];
    if (!topology) topology = Generate(shape);
    return topology->descriptor;
}

}  // namespace feldan
