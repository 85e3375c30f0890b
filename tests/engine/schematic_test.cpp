// The schematic of each topology against its analysed circuit: the labels the result text uses,
// the exact parallel equivalent of an analysed end, and the response of the schematic's netlist in
// the pass band of every design at the window's initial inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "circuit/analysis.h"
#include "circuit/topologies.h"
#include "engine/result_text.h"
#include "engine/synthesis.h"
#include "tests/support/designed_circuit.h"

namespace feldan {
namespace {

// The result text lists the capacitors of the picture from input to output, mirrored ones of one
// slot in one entry ("C1=C4="), two entries to a line. The same lines, built from the schematic.
std::vector<std::string> CapacitorEntriesOf(const TopologyDescriptor& d) {
    std::vector<int> slots;
    std::map<int, std::string> labels;
    for (const SchematicItem& part : d.schematic) {
        if (!IsCapacitorItem(part.kind)) continue;
        if (!labels.contains(part.index)) slots.push_back(part.index);
        labels[part.index] += std::string(part.label) + "=";
    }
    std::vector<std::string> entries;
    for (int slot : slots)
        entries.push_back(labels[slot] + "<" + std::to_string(slot) + ">");
    return entries;
}

// The entries of the result text, each value replaced by the slot whose distinct value it shows.
std::vector<std::string> ResultTextEntriesOf(int filterType) {
    CalculationResult state;
    state.input.filterType = filterType;
    for (int k = 1; k <= CapSlotCount; ++k)
        state.synthesis.CapPF[k] = 1000 + k;
    std::string text = ComposeResultText(state, '.');
    // The 4CW labels carry a Cyrillic Es, which the picture draws as C.
    for (std::size_t at; (at = text.find("С")) != std::string::npos;)
        text.replace(at, std::string("С").size(), "C");
    std::vector<std::string> entries;
    for (std::size_t at = 0; (at = text.find("=10", at)) != std::string::npos;) {
        const std::size_t begin = text.find_last_of("\r ", at) + 1;
        const int slot = std::stoi(text.substr(at + 1)) - 1000;
        entries.push_back(text.substr(begin, at + 1 - begin) + "<" + std::to_string(slot) + ">");
        at = text.find(';', at);
    }
    return entries;
}

TEST(TopologyDescriptor, SchematicLabelsAreThoseOfTheResultText) {
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        EXPECT_EQ(CapacitorEntriesOf(DescriptorOf(filterType)), ResultTextEntriesOf(filterType));
    }
}

// Labels run C1, C2, ... over shunt and series capacitors alike and ZQ1, ZQ2, ... over the
// crystals, in drawing order; the crystals take the positions of the analysed circuit.
TEST(TopologyDescriptor, SchematicPartsAreNumberedInDrawingOrder) {
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        const TopologyDescriptor& d = DescriptorOf(filterType);
        int capacitors = 0;
        int crystals = 0;
        for (const SchematicItem& part : d.schematic) {
            if (!IsCapacitorItem(part.kind)) {
                EXPECT_EQ(part.label, "ZQ" + std::to_string(++crystals));
                EXPECT_EQ(part.index, crystals);
            } else {
                EXPECT_EQ(part.label, "C" + std::to_string(++capacitors));
            }
        }
        EXPECT_EQ(crystals, d.crystalCount);
        EXPECT_EQ(d.schematic.front().kind, SchematicItemKind::ShuntCapacitor);
        EXPECT_EQ(d.schematic.back().index, d.schematic.front().index);
        int highest = 0;
        for (const AnalysedBranch& b : d.branches)
            highest = std::max(highest, b.element == Element::Lm ? b.index : 0);
        EXPECT_EQ(highest, d.crystalCount);
    }
}

TEST(TopologyDescriptor, CendIsTheCapacitorNextToTheSourceResistance) {
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        const TopologyDescriptor& d = DescriptorOf(filterType);
        const auto rs =
            std::find_if(d.branches.begin(), d.branches.end(),
                         [](const AnalysedBranch& b) { return b.element == Element::Rs; });
        ASSERT_NE(rs, d.branches.end());
        const int input = rs->from == d.counts.DrivenNode ? rs->to : rs->from;
        int found = 0;
        for (const AnalysedBranch& b : d.branches) {
            if (b.element != Element::Cap || (b.from != input && b.to != input)) continue;
            ++found;
            EXPECT_EQ(b.index, d.endSlot);
        }
        EXPECT_EQ(found, 1);
    }
}

// Every branch of both netlists says what it is: a SPICE export names its parts from this.
TEST(BranchRoles, NameEveryBranchOfBothNetlists) {
    ElementValues values;
    values.SetAllCrystals(ResonatorOfDesign(10.1, 3.1936e-14, 5.7, 6.3));
    values.Crystal[2].TrimF = 10e-12;
    values.SourceOhm = values.LoadOhm = 257;
    for (int k = 1; k <= 28; ++k)
        values.CapPF[k] = 100 + k;
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        const TopologyDescriptor& d = DescriptorOf(filterType);
        for (bool schematic : {false, true}) {
            SCOPED_TRACE(schematic ? "schematic" : "analysed");
            Netlist netlist;
            BranchRoles roles;
            if (schematic) {
                BuildSchematicNetlist(filterType, values, 900, netlist, &roles);
            } else {
                BuildNetlist(filterType, values, netlist, &roles);
            }
            std::map<std::string, int> crystalBranches;
            std::vector<std::string> capacitors;
            for (int b = 1; b <= netlist.BranchCount; ++b) {
                const BranchRole& role = roles[b];
                if (role.element == Element::Cap) {
                    EXPECT_EQ(netlist.Branches[b].C, values.CapPF[role.index] * 1e-12);
                    if (schematic) {
                        capacitors.emplace_back(role.label);
                    } else {
                        EXPECT_EQ(role.label, "");
                    }
                } else if (role.element == Element::Rs || role.element == Element::RL) {
                    EXPECT_EQ(
                        b, role.element == Element::Rs ? netlist.SourceBranch : netlist.LoadBranch);
                    EXPECT_EQ(1 / netlist.Branches[b].G, schematic ? 900 : 257);
                } else {
                    EXPECT_EQ(role.label, "ZQ" + std::to_string(role.index));
                    ++crystalBranches[std::string(role.label)];
                }
            }
            EXPECT_EQ(static_cast<int>(crystalBranches.size()), d.crystalCount);
            for (const auto& [label, count] : crystalBranches)
                EXPECT_EQ(count, label == "ZQ2" ? 5 : 4) << label;
            if (schematic) {
                std::vector<std::string> drawn;
                for (const SchematicItem& part : d.schematic) {
                    if (IsCapacitorItem(part.kind)) drawn.emplace_back(part.label);
                }
                EXPECT_EQ(capacitors, drawn);
            }
        }
    }
}

// At Fo the series end and its parallel equivalent have the same admittance.
TEST(ParallelEquivalentOfEnd, HasTheAdmittanceOfTheSeriesEndAtFo) {
    for (double cendPF : {47., 168.7, 1200.}) {
        for (double termOhm : {50., 257.02, 2000.}) {
            const double foKHz = 8861.736;
            const ParallelEnd end = ParallelEquivalentOfEnd(cendPF, termOhm, foKHz);
            const double w = TwoPi * foKHz * 1000;
            const std::complex<double> series =
                1. / (termOhm + 1. / std::complex<double>(0, w * cendPF * 1e-12));
            const std::complex<double> parallel(1 / end.InputOhm, w * end.ShuntPF * 1e-12);
            EXPECT_LT(std::abs(parallel - series) / std::abs(series), 1e-13)
                << cendPF << " pF, " << termOhm << " Ohm";
            EXPECT_GT(end.InputOhm, termOhm);
            EXPECT_LT(end.ShuntPF, cendPF);
        }
    }
}

// The netlist of the picture against the analysed circuit, for every topology and response at the
// window's initial inputs, where the analysed response is within 10 dB of its maximum. The ends
// of the picture are the exact parallel equivalents of the analysed ends at Fo, so the two differ
// only as the frequency leaves Fo; the π sections are exact. They agree within 0.006 dB: the
// largest deviation, printed below, is 0.0059 dB on the upper skirt of 4CW with the Chebyshev
// 0.044 dB response.
TEST(SchematicNetlist, FollowsTheAnalysedCircuitAcrossThePassBand) {
    double worstDb = 0;
    std::string worstDesign;
    for (int filterType = 1; filterType <= 7; ++filterType) {
        for (int responseType = 1; responseType <= 5; ++responseType) {
            SCOPED_TRACE(testing::Message()
                         << "type " << filterType << ", response " << responseType);
            const auto designed = testsupport::Designed(filterType, responseType);
            ASSERT_TRUE(designed->ok);
            CircuitAnalysis* analysed = designed->circuit.get();
            const DesignInput& state = designed->result.input;
            // The schematic exactly as the summary tells the user to build it: its capacitors
            // and InputOhm at both ends.
            const Synthesis& synthesis = designed->result.synthesis;
            const ElementValues values = ElementValuesOf(state, synthesis);
            auto schematic = std::make_unique<CircuitAnalysis>();
            schematic->BuildSchematic(filterType, values, synthesis.InputOhm);

            std::vector<double> omegas;
            for (double hz = -8000; hz <= 11000; hz += 5)
                omegas.push_back(TwoPi * (state.FoKHz * 1000 + hz));
            std::vector<TwoPortPoint> a(omegas.size()), s(omegas.size());
            analysed->SweepTwoPort(omegas, a);
            schematic->SweepTwoPort(omegas, s);
            double peakDb = -1e9;
            for (const TwoPortPoint& p : a) {
                ASSERT_TRUE(p.ok);
                peakDb = std::max(peakDb, DecibelsOf(p.s21));
            }
            int inBand = 0;
            for (std::size_t i = 0; i < omegas.size(); ++i) {
                const double analysedDb = DecibelsOf(a[i].s21);
                if (analysedDb < peakDb - 10) continue;
                ++inBand;
                ASSERT_TRUE(s[i].ok);
                const double deviation = std::abs(DecibelsOf(s[i].s21) - analysedDb);
                EXPECT_LT(deviation, 0.01) << (omegas[i] / TwoPi - state.FoKHz * 1000) << " Hz";
                if (deviation > worstDb) {
                    worstDb = deviation;
                    worstDesign = std::string(DescriptorOf(filterType).name) + ", response " +
                                  std::to_string(responseType) + ", " +
                                  std::to_string(omegas[i] / TwoPi - state.FoKHz * 1000) +
                                  " Hz from Fo";
                }
            }
            // The band is 2 to 3 kHz wide, and lies wholly within the frequencies swept.
            EXPECT_GT(inBand, 300);
            EXPECT_LT(DecibelsOf(a.front().s21), peakDb - 10);
            EXPECT_LT(DecibelsOf(a.back().s21), peakDb - 10);
        }
    }
    std::printf("Schematic against analysed, largest deviation in the pass band: %.5f dB (%s)\n",
                worstDb, worstDesign.c_str());
}

}  // namespace
}  // namespace feldan
