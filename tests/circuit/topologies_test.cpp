// The seven netlists: counts, element kinds, connectivity, and the circuit they describe held
// against the same filter computed as a cascade of two-port sections.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <complex>
#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include "circuit/analysis.h"
#include "circuit/topologies.h"

namespace feldan {
namespace {

// The crystal of the designs below, in the design's units.
constexpr double LdMH = 10.1;
constexpr double MotionalCapF = 1 / (39478.417604355091 * 8861.736 * 8861.736 * 10.1);
constexpr double RdOhm = 5.7;
constexpr double CsPF = 6.3;

// Every element kind and every capacitor slot gets a value of its own, so that a branch can be
// told apart by its value alone.
ElementValues DistinctValues() {
    ElementValues v;
    v.SetAllCrystals(ResonatorOfDesign(LdMH, MotionalCapF, RdOhm, CsPF));
    v.SourceOhm = 257.02;
    v.LoadOhm = 311.5;
    for (int k = 1; k <= 28; ++k)
        v.CapPF[k] = 40 + 7.25 * k;
    return v;
}

enum class Kind { Lm, Cm, Rm, Co, Rs, RL, Cap, Unknown };

struct Classified {
    Kind kind = Kind::Unknown;
    int slot = 0;
};

// The kind of a branch, from which one field is set and to what value: the crystal's values
// converted exactly as the netlists always have (Ld·0.001, Cs·1e-12), so equal crystals keep
// their bits.
Classified Classify(const Branch& b, const ElementValues& v) {
    const int set = (b.G != 0) + (b.C != 0) + (b.L != 0);
    if (set != 1) return {};
    if (b.L == LdMH * 0.001) return {Kind::Lm};
    if (b.C == MotionalCapF) return {Kind::Cm};
    if (b.G == 1 / RdOhm) return {Kind::Rm};
    if (b.C == CsPF * 1e-12) return {Kind::Co};
    if (b.G == 1 / v.SourceOhm) return {Kind::Rs};
    if (b.G == 1 / v.LoadOhm) return {Kind::RL};
    for (int k = 1; k <= 28; ++k) {
        if (b.C != 0 && b.C == v.CapPF[k] * 1e-12) return {Kind::Cap, k};
    }
    return {};
}

struct Expected {
    int filterType;
    int nodes;
    int branches;
    int drivenNode;
    int outputNode;
    int resonators;
    std::set<int> slots;  // the CapPF slots the netlist reads
};

const std::vector<Expected>& ExpectedTopologies() {
    static const std::vector<Expected> expected = {
        {1, 13, 18, 13, 12, 3, {1}},
        {2, 16, 23, 16, 12, 4, {1, 2}},
        {3, 24, 35, 1, 11, 6, {1, 2, 3, 4}},
        {4, 32, 47, 1, 32, 8, {1, 2, 3, 4, 5, 6}},
        {5, 17, 25, 1, 17, 4, {1, 21, 22, 23}},
        {6, 24, 37, 1, 24, 6, {1, 3, 24, 25, 26, 27}},
        {7, 31, 49, 1, 31, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 16, 17}},
    };
    return expected;
}

TEST(BuildNetlist, SetsTheCountsAndTheOneSource) {
    for (const Expected& e : ExpectedTopologies()) {
        SCOPED_TRACE(e.filterType);
        Netlist netlist;
        netlist.NodeCount = 99;  // whatever was there before
        BuildNetlist(e.filterType, DistinctValues(), netlist);
        EXPECT_EQ(netlist.NodeCount, e.nodes);
        EXPECT_EQ(netlist.BranchCount, e.branches);
        EXPECT_EQ(netlist.SourceCount, 1);
        EXPECT_EQ(netlist.EquationCount, e.nodes - 1);
        EXPECT_EQ(netlist.Sources[1].DrivenNode, e.drivenNode);
        EXPECT_EQ(netlist.Sources[1].RefNode, 0);
        EXPECT_EQ(netlist.Sources[1].Emf.re, 1);
        EXPECT_EQ(netlist.Sources[1].Emf.im, 0);

        const TopologyCounts& counts = CountsOf(e.filterType);
        EXPECT_EQ(counts.NodeCount, e.nodes);
        EXPECT_EQ(counts.BranchCount, e.branches);
        EXPECT_EQ(counts.DrivenNode, e.drivenNode);
        EXPECT_EQ(counts.OutputNode, e.outputNode);
    }
}

TEST(BuildNetlist, RejectsAFilterTypeOutsideOneToSeven) {
    Netlist netlist;
    for (int filterType : {0, 8, -1}) {
        SCOPED_TRACE(filterType);
        EXPECT_THROW(BuildNetlist(filterType, DistinctValues(), netlist), std::out_of_range);
        EXPECT_THROW(CountsOf(filterType), std::out_of_range);
    }
}

TEST(BuildNetlist, EveryBranchCarriesExactlyOneKnownElement) {
    const ElementValues values = DistinctValues();
    for (const Expected& e : ExpectedTopologies()) {
        SCOPED_TRACE(e.filterType);
        Netlist netlist;
        BuildNetlist(e.filterType, values, netlist);
        std::map<Kind, int> kinds;
        std::set<int> slots;
        for (int b = 1; b <= netlist.BranchCount; ++b) {
            const Classified c = Classify(netlist.Branches[b], values);
            EXPECT_NE(c.kind, Kind::Unknown) << "branch " << b;
            ++kinds[c.kind];
            if (c.kind == Kind::Cap) slots.insert(c.slot);
        }
        EXPECT_EQ(kinds[Kind::Lm], e.resonators);
        EXPECT_EQ(kinds[Kind::Cm], e.resonators);
        EXPECT_EQ(kinds[Kind::Rm], e.resonators);
        EXPECT_EQ(kinds[Kind::Co], e.resonators);
        EXPECT_EQ(kinds[Kind::Rs], 1);
        EXPECT_EQ(kinds[Kind::RL], 1);
        EXPECT_EQ(slots, e.slots);
    }
}

TEST(BuildNetlist, BranchElevenIsTheOnlyLoadFromTheOutputNodeToGround) {
    const ElementValues values = DistinctValues();
    for (const Expected& e : ExpectedTopologies()) {
        SCOPED_TRACE(e.filterType);
        Netlist netlist;
        BuildNetlist(e.filterType, values, netlist);
        const Branch& load = netlist.Branches[OutputBranch];
        EXPECT_EQ(Classify(load, values).kind, Kind::RL);
        EXPECT_EQ(load.From, e.outputNode);
        EXPECT_EQ(load.To, 0);
        for (int b = 1; b <= netlist.BranchCount; ++b) {
            if (b == OutputBranch) continue;
            const Classified c = Classify(netlist.Branches[b], values);
            EXPECT_NE(c.kind, Kind::RL) << "branch " << b;
            // Rs joins the source node to the filter.
            if (c.kind == Kind::Rs) {
                EXPECT_TRUE(netlist.Branches[b].From == e.drivenNode ||
                            netlist.Branches[b].To == e.drivenNode);
            }
        }
    }
}

TEST(BuildNetlist, UsesEveryNodeFromOneToTheNodeCount) {
    for (const Expected& e : ExpectedTopologies()) {
        SCOPED_TRACE(e.filterType);
        Netlist netlist;
        BuildNetlist(e.filterType, DistinctValues(), netlist);
        std::vector<int> degree(netlist.NodeCount + 1, 0);
        int highest = 0;
        for (int b = 1; b <= netlist.BranchCount; ++b) {
            const Branch& branch = netlist.Branches[b];
            ASSERT_GE(branch.From, 0);
            ASSERT_GE(branch.To, 0);
            ASSERT_LE(branch.From, netlist.NodeCount);
            ASSERT_LE(branch.To, netlist.NodeCount);
            EXPECT_NE(branch.From, branch.To) << "branch " << b;
            ++degree[branch.From];
            ++degree[branch.To];
            highest = std::max({highest, branch.From, branch.To});
        }
        EXPECT_EQ(highest, netlist.NodeCount);
        for (int node = 1; node <= netlist.NodeCount; ++node) {
            EXPECT_GT(degree[node], 0) << "node " << node;
        }
    }
}

// A resonator is a Co branch between two outer nodes, bridged by Lm, Cm and Rm in series through
// two internal nodes that nothing else touches.
TEST(BuildNetlist, EveryStaticCapacitanceBridgesOneMotionalArm) {
    const ElementValues values = DistinctValues();
    for (const Expected& e : ExpectedTopologies()) {
        SCOPED_TRACE(e.filterType);
        Netlist netlist;
        BuildNetlist(e.filterType, values, netlist);
        std::vector<std::vector<int>> branchesAt(netlist.NodeCount + 1);
        for (int b = 1; b <= netlist.BranchCount; ++b) {
            branchesAt[netlist.Branches[b].From].push_back(b);
            branchesAt[netlist.Branches[b].To].push_back(b);
        }
        auto other = [&](int b, int node) {
            return netlist.Branches[b].From == node ? netlist.Branches[b].To
                                                    : netlist.Branches[b].From;
        };
        auto motional = [&](int b) {
            const Kind k = Classify(netlist.Branches[b], values).kind;
            return k == Kind::Lm || k == Kind::Cm || k == Kind::Rm;
        };
        int arms = 0;
        for (int co = 1; co <= netlist.BranchCount; ++co) {
            if (Classify(netlist.Branches[co], values).kind != Kind::Co) continue;
            const int a = netlist.Branches[co].From;
            const int d = netlist.Branches[co].To;
            // Walk from a through motional branches and nodes of degree 2.
            int found = 0;
            for (int start : branchesAt[a]) {
                if (!motional(start)) continue;
                std::set<Kind> seen = {Classify(netlist.Branches[start], values).kind};
                int node = other(start, a);
                int last = start;
                int internal = 0;
                while (node != d && branchesAt[node].size() == 2 && internal < 3) {
                    ++internal;
                    const int next =
                        branchesAt[node][0] == last ? branchesAt[node][1] : branchesAt[node][0];
                    if (!motional(next)) break;
                    seen.insert(Classify(netlist.Branches[next], values).kind);
                    node = other(next, node);
                    last = next;
                }
                if (node == d && internal == 2 && seen.size() == 3) ++found;
            }
            EXPECT_EQ(found, 1) << "Co branch " << co;
            arms += found;
        }
        EXPECT_EQ(arms, e.resonators);
    }
}

// Ladder capacitor values as the synthesis gives them, for prototype coefficients g1..g4.
ElementValues LadderValues(int filterType, double s, double g1, double g2, double g3, double g4) {
    ElementValues v = DistinctValues();
    v.LoadOhm = v.SourceOhm;
    auto& c = v.CapPF;
    switch (filterType) {
        case 1:
            c[1] = s * std::sqrt(g1 * g2);
            break;
        case 2:
            c[1] = s * std::sqrt(g1 * g2);
            c[2] = s * g2;
            break;
        case 3:
            c[1] = s * std::sqrt(g1 * g2);
            c[2] = s * std::sqrt(g2 * g3);
            c[3] = s * g3;
            c[4] = 1 / (1 / c[1] - 1 / c[3]);
            break;
        case 4:
            c[1] = s * std::sqrt(g1 * g2);
            c[2] = s * std::sqrt(g2 * g3);
            c[3] = s * std::sqrt(g3 * g4);
            c[4] = s * g4;
            c[5] = 1 / (1 / c[1] + 1 / c[2] - 1 / c[3] - 1 / c[4]);
            c[6] = 1 / (1 / c[1] - 1 / c[3]);
            break;
    }
    return v;
}

// Each resonator of a ladder closes its mesh through the capacitors next to it: outwards from
// each outer node through series capacitors until a shunt capacitor (or a termination) is met.
// With the synthesised values every mesh has the same total elastance.
TEST(BuildNetlist, LadderResonatorsSeeEqualMeshElastance) {
    struct Case {
        int filterType;
        double g1, g2, g3, g4;
    };
    const Case cases[] = {
        {1, 1.0, 2.0, 0, 0},
        {2, 0.7654, 1.848, 0, 0},
        {3, 0.5176, 1.414, 1.932, 0},
        {4, 0.3902, 1.111, 1.663, 1.962},
        {4, 1.0349, 1.6148, 2.0326, 1.8587},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.filterType << " g1 " << c.g1);
        const ElementValues values = LadderValues(c.filterType, 91.293, c.g1, c.g2, c.g3, c.g4);
        Netlist netlist;
        BuildNetlist(c.filterType, values, netlist);
        auto isCap = [&](int b) { return Classify(netlist.Branches[b], values).kind == Kind::Cap; };
        auto isTermination = [&](int b) {
            const Kind k = Classify(netlist.Branches[b], values).kind;
            return k == Kind::Rs || k == Kind::RL;
        };
        // The elastance from an outer node outwards.
        auto outwards = [&](int node, int resonatorCo) {
            double elastance = 0;
            int came = resonatorCo;
            for (int guard = 0; guard < 10; ++guard) {
                int series = 0;
                for (int b = 1; b <= netlist.BranchCount; ++b) {
                    const Branch& br = netlist.Branches[b];
                    if (br.From != node && br.To != node) continue;
                    if (isTermination(b)) return elastance;
                    if (!isCap(b)) continue;
                    if (br.To == 0 || br.From == 0) return elastance + 1 / br.C;
                    if (b != came) series = b;
                }
                if (series == 0) return elastance;
                const Branch& br = netlist.Branches[series];
                elastance += 1 / br.C;
                node = br.From == node ? br.To : br.From;
                came = series;
            }
            ADD_FAILURE() << "mesh does not close";
            return elastance;
        };
        const double expected = c.filterType == 1
                                    ? 2 / (values.CapPF[1] * 1e-12)
                                    : 1 / (values.CapPF[1] * 1e-12) + 1 / (values.CapPF[2] * 1e-12);
        int resonators = 0;
        for (int b = 1; b <= netlist.BranchCount; ++b) {
            if (Classify(netlist.Branches[b], values).kind != Kind::Co) continue;
            ++resonators;
            const double mesh =
                outwards(netlist.Branches[b].From, b) + outwards(netlist.Branches[b].To, b);
            EXPECT_NEAR(mesh / expected, 1, 1e-12) << "resonator with Co branch " << b;
        }
        EXPECT_EQ(resonators, ExpectedTopologies()[c.filterType - 1].resonators);
    }
}

// The filters as the schematics draw them: a chain of two-port sections from the source EMF to
// the load. A wrong node number or a swapped capacitor slot changes the response.
using Cx = std::complex<double>;

struct Section {
    enum Type { SourceR, SeriesCap, Resonator, ShuntCap, LoadR } type;
    int slot = 0;
};

std::vector<Section> ChainOf(int filterType) {
    using S = Section;
    const S rs{S::SourceR}, zq{S::Resonator}, rl{S::LoadR};
    auto ser = [](int k) { return S{S::SeriesCap, k}; };
    auto sh = [](int k) { return S{S::ShuntCap, k}; };
    switch (filterType) {
        case 1:
            return {rs, ser(1), zq, sh(1), zq, sh(1), zq, ser(1), rl};
        case 2:
            return {rs, ser(2), zq, sh(1), zq, sh(2), zq, sh(1), zq, ser(2), rl};
        case 3:
            return {rs,     ser(2), zq,    sh(1), zq,    sh(2), zq,     ser(4), sh(3),
                    ser(4), zq,     sh(2), zq,    sh(1), zq,    ser(2), rl};
        case 4:
            return {rs,    ser(2), zq,     sh(1), zq,     sh(2),  zq,    ser(6),
                    sh(3), zq,     ser(5), sh(4), ser(5), zq,     sh(3), ser(6),
                    zq,    sh(2),  zq,     sh(1), zq,     ser(2), rl};
        case 5:
            return {rs,     ser(21), zq,    sh(1), zq,      sh(23), ser(22),
                    sh(23), zq,      sh(1), zq,    ser(21), rl};
        case 6:
            return {rs, ser(24), zq,      sh(1),  zq, sh(27), ser(25), sh(26),  zq, sh(3),
                    zq, sh(26),  ser(25), sh(27), zq, sh(1),  zq,      ser(24), rl};
        case 7:
            return {rs,      ser(1), zq,    sh(2),  zq,    sh(3),   ser(4), sh(5), zq,
                    sh(6),   zq,     sh(7), ser(8), sh(9), zq,      sh(12), zq,    sh(13),
                    ser(14), sh(15), zq,    sh(16), zq,    ser(17), rl};
    }
    return {};
}

// The chain matrix [a b; c d] of the filter between its terminations.
struct Abcd {
    Cx a = 1, b = 0, c = 0, d = 1;
};

Abcd FilterChain(int filterType, const ElementValues& v, double omega) {
    const Cx j(0, 1);
    Abcd m;
    int position = 0;          // the resonators come in the order ZQ1, ZQ2, ...
    auto series = [&](Cx z) {  // [a b; c d] * [1 z; 0 1]
        m.b = m.a * z + m.b;
        m.d = m.c * z + m.d;
    };
    auto shunt = [&](Cx y) {  // [a b; c d] * [1 0; y 1]
        m.a = m.a + m.b * y;
        m.c = m.c + m.d * y;
    };
    for (const Section& s : ChainOf(filterType)) {
        switch (s.type) {
            case Section::SourceR:
            case Section::LoadR:
                break;
            case Section::SeriesCap:
                series(1. / (j * omega * v.CapPF[s.slot] * 1e-12));
                break;
            case Section::ShuntCap:
                shunt(j * omega * v.CapPF[s.slot] * 1e-12);
                break;
            case Section::Resonator: {
                const Resonator& q = v.Crystal[++position];
                const Cx arm = q.RmOhm + j * omega * q.LmH + 1. / (j * omega * q.CmF);
                series(1. / (1. / arm + j * omega * q.C0F));
                if (q.TrimF != 0) series(1. / (j * omega * q.TrimF));
                break;
            }
        }
    }
    return m;
}

// Output voltage for a 1 V EMF behind the source resistance, into the load: 1 / A of the whole
// chain [1 Rs; 0 1]·F·[1 0; 1/RL 1].
Cx CascadeOutput(int filterType, const ElementValues& v, double omega) {
    const Abcd f = FilterChain(filterType, v, omega);
    const double rs = v.SourceOhm, rl = v.LoadOhm;
    return 1. / (f.a + f.b / rl + rs * (f.c + f.d / rl));
}

// Crystals that differ from position to position, two of them with trim capacitors: a crystal
// branch tagged with the wrong position, or a trim in the wrong place, changes the response.
ElementValues UnequalCrystals() {
    ElementValues v = DistinctValues();
    for (int p = 1; p <= MaxCrystals; ++p) {
        v.Crystal[p] = ResonatorOfDesign(LdMH * (1 + 0.013 * p), MotionalCapF * (1 - 0.007 * p),
                                         RdOhm + 1.5 * p, CsPF + 0.4 * p);
    }
    v.Crystal[2].TrimF = 15e-12;
    v.Crystal[3].TrimF = 40e-12;
    return v;
}

TEST(BuildNetlist, SolvesToTheResponseOfTheSchematicCascade) {
    for (const ElementValues& values : {DistinctValues(), UnequalCrystals()}) {
        for (const Expected& e : ExpectedTopologies()) {
            SCOPED_TRACE(e.filterType);
            CircuitAnalysis circuit;
            circuit.Build(e.filterType, values);
            for (double offsetHz :
                 {-20000., -3000., -500., 0., 700., 1500., 2500., 4000., 30000.}) {
                SCOPED_TRACE(offsetHz);
                const double omega = 6.2831853071794 * (8861736 + offsetHz);
                ASSERT_TRUE(circuit.solver.SolveNodal(circuit.netlist, omega));
                const OutputLevel level =
                    MeasureOutput(circuit.netlist, circuit.solver, circuit.measure);
                ASSERT_TRUE(level.ok);
                const Complex got = circuit.measure.NodeVoltage[e.outputNode];
                const Cx want = CascadeOutput(e.filterType, values, omega);
                // Both are double-precision solutions of the same circuit; they differ by
                // rounding, amplified by the conditioning of the circuit at most a few thousand
                // times.
                EXPECT_NEAR(std::abs(Cx(got.re, got.im) - want) / std::abs(want), 0, 1e-9);
                EXPECT_NEAR(level.ResponseDb, 20 * std::log10(std::abs(want)), 1e-8);
            }
        }
    }
}

// FNV-1a over the counts, every branch's nodes and value bits, and the source.
std::uint64_t Digest(const Netlist& n) {
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&](std::uint64_t x) {
        for (int i = 0; i < 8; ++i) {
            h ^= (x >> (8 * i)) & 0xff;
            h *= 1099511628211ull;
        }
    };
    for (int count : {n.NodeCount, n.BranchCount, n.SourceCount, n.EquationCount})
        mix(count);
    for (int b = 1; b <= n.BranchCount; ++b) {
        const Branch& br = n.Branches[b];
        mix(br.From);
        mix(br.To);
        for (double x : {br.G, br.C, br.L})
            mix(std::bit_cast<std::uint64_t>(x));
    }
    mix(n.Sources[1].DrivenNode);
    mix(n.Sources[1].RefNode);
    mix(std::bit_cast<std::uint64_t>(n.Sources[1].Emf.re));
    return h;
}

// Recorded from the netlists of one crystal shared by every position, before each position had
// a resonator of its own: equal crystals must still give those netlists, bit for bit.
TEST(BuildNetlist, EqualCrystalsGiveTheNetlistsOfOneSharedCrystalBitForBit) {
    const std::uint64_t recorded[] = {
        0xe2d20e697afa28e8ull, 0xf5a8e6c482c11a31ull, 0x5a8fbaf1f5db79e2ull, 0x56df0db99fa2912aull,
        0x0ab36a90acd1a440ull, 0xf81db59e046e66deull, 0x688666d92d93f53bull};
    for (int filterType = 1; filterType <= 7; ++filterType) {
        Netlist netlist;
        BuildNetlist(filterType, DistinctValues(), netlist);
        EXPECT_EQ(Digest(netlist), recorded[filterType - 1]) << filterType;
    }
}

// A trim adds one node and one branch after all others, between the crystal's input-side node
// and the new node, and moves only that crystal's branches off the input-side node.
TEST(BuildNetlist, ATrimCapacitorIsAppendedInSeriesWithItsCrystal) {
    for (const Expected& e : ExpectedTopologies()) {
        SCOPED_TRACE(e.filterType);
        Netlist plain;
        BuildNetlist(e.filterType, DistinctValues(), plain);
        ElementValues values = DistinctValues();
        values.Crystal[2].TrimF = 22e-12;
        Netlist trimmed;
        BuildNetlist(e.filterType, values, trimmed);
        ASSERT_EQ(trimmed.NodeCount, plain.NodeCount + 1);
        ASSERT_EQ(trimmed.BranchCount, plain.BranchCount + 1);
        EXPECT_EQ(trimmed.EquationCount, trimmed.NodeCount - 1);
        const Branch& trim = trimmed.Branches[trimmed.BranchCount];
        EXPECT_EQ(trim.C, 22e-12);
        EXPECT_EQ(trim.To, trimmed.NodeCount);
        int moved = 0;
        for (int b = 1; b <= plain.BranchCount; ++b) {
            const Branch& was = plain.Branches[b];
            const Branch& is = trimmed.Branches[b];
            EXPECT_TRUE(was.G == is.G && was.C == is.C && was.L == is.L) << b;
            const int changedEnds = (was.From != is.From) + (was.To != is.To);
            if (changedEnds == 0) continue;
            ++moved;
            // Only an end at the trim's far node moved, from the trim's near node.
            EXPECT_EQ(changedEnds, 1) << b;
            EXPECT_TRUE(was.From == trim.From ? is.From == trim.To : is.To == trim.To) << b;
        }
        // The static capacitance and the first element of the motional arm.
        EXPECT_EQ(moved, 2);
    }
}

}  // namespace
}  // namespace feldan

namespace feldan {
namespace {

// The two-port quantities of the solver held against the textbook S-parameters of the cascade's
// chain matrix between real reference resistances Rs and RL. (S12 is left to the reciprocity
// test: AD − BC of a long chain cancels to rounding noise far out of the band.)
TEST(TwoPort, EveryTopologyMatchesTheChainMatrixOfItsCascade) {
    const ElementValues values = DistinctValues();
    for (const Expected& e : ExpectedTopologies()) {
        SCOPED_TRACE(e.filterType);
        CircuitAnalysis circuit;
        circuit.Build(e.filterType, values);
        for (double offsetHz : {-20000., -1200., 0., 900., 2500., 30000.}) {
            SCOPED_TRACE(offsetHz);
            const double omega = 6.2831853071794 * (8861736 + offsetHz);
            const TwoPortPoint p = circuit.AnalyseTwoPort(omega);
            ASSERT_TRUE(p.ok);
            const Abcd f = FilterChain(e.filterType, values, omega);
            const double r1 = values.SourceOhm, r2 = values.LoadOhm;
            const Cx den = f.a * r2 + f.b + f.c * r1 * r2 + f.d * r1;
            const Cx s21 = 2 * std::sqrt(r1 * r2) / den;
            const Cx s11 = (f.a * r2 + f.b - f.c * r1 * r2 - f.d * r1) / den;
            const Cx s22 = (-f.a * r2 + f.b - f.c * r1 * r2 + f.d * r1) / den;
            const Cx zin = (f.a * r2 + f.b) / (f.c * r2 + f.d);
            auto near = [](Cx got, Cx want) { return std::abs(got - want) / std::abs(want); };
            // Far out of the band S11 and S22 are within rounding of 1 in magnitude, so their
            // difference from the cascade is measured against 1.
            EXPECT_LT(near(p.s21, s21), 1e-9);
            EXPECT_LT(std::abs(p.s11 - s11), 1e-9);
            EXPECT_LT(std::abs(p.s22 - s22), 1e-9);
            EXPECT_LT(near(p.zin, zin), 1e-9);
        }
    }
}

}  // namespace
}  // namespace feldan
