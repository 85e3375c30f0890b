#include "engine/matching.h"

#include <gtest/gtest.h>

#include <memory>

#include "circuit/analysis.h"
#include "engine/ladder_design.h"

namespace feldan {
namespace {

// The network and its load, seen from 50 Ω, are 50 Ω: worked here from the parts, not from
// the formulas that chose them.
TEST(Matching, LNetworkPresentsTheTerminationAt50Ohm) {
    for (double termination : {301.12, 616.15, 12.5, 50.0 * 1.0001}) {
        SCOPED_TRACE(termination);
        const LNetwork network = LMatch(50, termination, 8861736);
        const Impedance z = LoadedLNetwork(network, termination, 8861736);
        EXPECT_NEAR(z.re, 50, 50 * 1e-3);
        EXPECT_NEAR(z.im, 0, 50 * 1e-3);
    }
    EXPECT_NEAR(TransformerTurnsRatio(50, 450), 3, 1e-12);
}

// A lossless network that matches exactly at Fo passes all the power the filter would take from
// its own terminations: |S21| in the system equals the filter's between its terminations. Both
// sides of the capacitor are tried: a system resistance below the filter's and one above; and
// designs whose two ends differ, each end matched on its own.
TEST(MatchedFilter, AtFoPassesWhatTheFilterPassesBetweenItsOwnTerminations) {
    std::vector<DesignFields> designs;
    for (int type : {2, 3, 7}) {
        DesignFields fields;
        fields.filterType = type;
        designs.push_back(fields);
    }
    for (const auto& [response, crystals] :
         {std::pair{ResponseType::Bessel, 5}, {ResponseType::GaussianTo6Db, 8}}) {
        DesignFields fields;
        fields.filterType = FilterTypeOfLadder(LadderStructure::Plain, crystals);
        fields.responseType = int(response);
        designs.push_back(fields);
    }
    for (const DesignFields& fields : designs) {
        const auto build = BuildDesign(fields, '.');
        const std::optional<BuiltDesign>& built = build.built;
        ASSERT_TRUE(built) << MessageText(build.message);
        const int type = built->design.synthesis.Circuit;
        const double rin = built->design.synthesis.InputOhm;
        const double rout = rin * OutputOverInput(built->design.synthesis);
        const double foHz = built->design.input.FoKHz * 1000;
        for (double systemOhm : {50.0, 20 * std::max(rin, rout)}) {
            SCOPED_TRACE(testing::Message() << "circuit " << type << ", " << systemOhm << " Ohm");
            const MatchedEnds ends = MatchEnds(systemOhm, rin, rout, foHz, nullptr).ends;
            EXPECT_EQ(ends.network.shuntAtTo, systemOhm < rin);
            EXPECT_EQ(ends.OutputNetwork().shuntAtTo, systemOhm < rout);
            auto plain = std::make_unique<CircuitAnalysis>();
            BuildSchematicNetlist(type, built->values, rin, rout, plain->netlist);
            PrepareNetlist(plain->netlist);
            auto matched = std::make_unique<CircuitAnalysis>();
            BuildMatchedSchematicNetlist(type, built->values, ends, matched->netlist);
            PrepareNetlist(matched->netlist);
            const TwoPortPoint a = plain->AnalyseTwoPort(TwoPi * foHz);
            const TwoPortPoint b = matched->AnalyseTwoPort(TwoPi * foHz);
            ASSERT_TRUE(a.ok && b.ok);
            EXPECT_NEAR(DecibelsOf(b.s21), DecibelsOf(a.s21), 0.1);
            // The crystal band is narrow beside Fo: the networks hardly move its edges.
            const CalculationResult measured = MeasureMatched(*built, built->values, ends);
            ASSERT_EQ(measured.outcome, Outcome::Done);
            EXPECT_NEAR(measured.measurements.MeasuredDfHz,
                        built->schematic.measurements.MeasuredDfHz,
                        0.01 * built->schematic.measurements.MeasuredDfHz);
        }
    }
}

}  // namespace
}  // namespace feldan
