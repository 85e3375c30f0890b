#include "engine/built_design.h"
#include "engine/project.h"
#include "engine/rounding.h"
#include "engine/tolerance.h"

#include <gtest/gtest.h>

#include <cmath>

namespace feldan {
namespace {

BuiltDesign Built(int type = 2) {
    DesignFields fields;
    fields.filterType = type;
    const auto build = BuildDesign(fields, '.');
    const std::optional<BuiltDesign>& built = build.built;
    if (!built) ADD_FAILURE() << MessageText(build.message);
    return *built;
}

// A design that does not build says how: a slip of the calculation is a warning (exit 1 of the
// command line), a text that is no number an error (exit 2).
TEST(BuiltDesign, ARefusalCarriesItsOutcomeAndMessage) {
    struct Case {
        const char* level;
        const char* rd;
        Outcome outcome;
        MessageId id;
    };
    for (const Case& c : {Case{"0", "5.7", Outcome::Warning, MessageId::BadLevel},
                          Case{"-3", "abc", Outcome::Error, MessageId::NotAFloat},
                          Case{"-3", "5.7", Outcome::Done, MessageId::None}}) {
        DesignFields fields;
        fields.texts.Level = c.level;
        fields.texts.Rd = c.rd;
        const DesignBuild build = BuildDesign(fields, '.');
        EXPECT_EQ(build.outcome, c.outcome) << c.level << ' ' << c.rd;
        EXPECT_EQ(build.message.id, c.id);
        EXPECT_EQ(build.built.has_value(), c.outcome == Outcome::Done);
    }
}

TEST(TunedSchematic, AsDesignedItIsTheBuiltDesignAndAnotherTerminationMovesTheBand) {
    const BuiltDesign built = Built();
    const double ohm = built.design.synthesis.InputOhm;
    const CalculationResult same = MeasureSchematic(built, built.values, ohm, ohm);
    EXPECT_EQ(same.measurements.MeasuredDfHz, built.schematic.measurements.MeasuredDfHz);
    EXPECT_EQ(same.curve.size(), built.schematic.curve.size());
    // Twice the resistance across the end capacitors loads the end meshes less: a narrower band.
    const CalculationResult mismatched = MeasureSchematic(built, built.values, 2 * ohm, 2 * ohm);
    EXPECT_LT(mismatched.measurements.MeasuredDfHz, 0.9 * same.measurements.MeasuredDfHz);
}

TEST(Rounding, EveryPartIsAStandardValueAndTheRoundedFilterIsMeasured) {
    const BuiltDesign built = Built();
    for (ESeries series : {ESeries::E6, ESeries::E12, ESeries::E24, ESeries::E96}) {
        SCOPED_TRACE(NameOf(series));
        RoundingRequest request;
        request.series = series;
        request.parallelPct = 2;
        const RoundingResult r = RoundDesign(built, request);
        ASSERT_EQ(r.capacitors.size(), 3u);  // C1=C5, C2=C4, C3
        EXPECT_EQ(r.capacitors[0].labels, (std::vector<std::string>{"C1", "C5"}));
        for (const RoundedCapacitor& c : r.capacitors) {
            if (c.pair) {
                EXPECT_EQ(RoundToSeries(c.pair->larger, series), c.pair->larger);
                EXPECT_EQ(RoundToSeries(c.pair->smaller, series), c.pair->smaller);
            } else {
                EXPECT_EQ(RoundToSeries(c.roundedPF, series), c.roundedPF);
                EXPECT_LE(std::fabs(c.roundedPF / c.nominalPF - 1), 0.02 + 1e-12);
            }
        }
        EXPECT_EQ(r.rounded.outcome, Outcome::Done);
        EXPECT_GT(r.rounded.measurements.MeasuredDfHz, 0);
    }
}

// Rounded to E6 the filter changes; the refitted termination brings its response nearer the
// ideal one than the nominal termination does (which is what the refit minimises).
TEST(Rounding, RefittedTerminationBringsTheBandBack) {
    const BuiltDesign built = Built();
    RoundingRequest request;
    request.series = ESeries::E6;
    const RoundingResult plain = RoundDesign(built, request);
    request.refitTermination = true;
    const RoundingResult refit = RoundDesign(built, request);
    EXPECT_NE(refit.roundedTerminationOhm, refit.nominalTerminationOhm);
    const double nominal = built.schematic.measurements.MeasuredDfHz;
    EXPECT_LT(std::fabs(refit.rounded.measurements.MeasuredDfHz - nominal),
              std::fabs(plain.rounded.measurements.MeasuredDfHz - nominal) + 1);
    request.terminationToE24 = true;
    const RoundingResult e24 = RoundDesign(built, request);
    EXPECT_EQ(RoundToSeries(e24.roundedTerminationOhm, ESeries::E24), e24.roundedTerminationOhm);
}

TEST(Tolerance, NoSpreadGivesTheNominalDesignEveryTime) {
    const BuiltDesign built = Built();
    ToleranceRequest request;
    request.trials = 8;
    const ToleranceResult r = RunTolerance(built, request);
    EXPECT_EQ(r.trials, 8);
    EXPECT_EQ(r.failed, 0);
    EXPECT_EQ(r.yield, 1);
    EXPECT_EQ(r.bandwidth.min, r.nominalBandwidthHz);
    EXPECT_EQ(r.bandwidth.max, r.nominalBandwidthHz);
    // Every trial is the nominal filter, so is its flatness (which a builder sees, 0.14 dB).
    EXPECT_NEAR(r.flatness.min, FlatnessOf(built.schematic.curve), 1e-9);
    EXPECT_NEAR(r.flatness.max, 0.14, 0.005);
    ASSERT_EQ(r.envelope.size(), r.nominalCurve.size());
    for (std::size_t i = 0; i < r.envelope.size(); i += 50)
        EXPECT_NEAR(r.envelope[i].median, r.nominalCurve[i].y, 1e-9);
}

TEST(Tolerance, SameSeedSameResultOnOneThreadOrTwo) {
    const BuiltDesign built = Built();
    ToleranceRequest request;
    request.trials = 40;
    request.capTolerancePct = 5;
    request.distribution = Distribution::Normal;
    request.fsSpreadHz = 20;
    request.rmSpreadPct = 10;
    request.threads = 1;
    const ToleranceResult one = RunTolerance(built, request);
    request.threads = 2;
    const ToleranceResult two = RunTolerance(built, request);
    EXPECT_EQ(one.bandwidthHz, two.bandwidthHz);
    EXPECT_EQ(one.rippleDb, two.rippleDb);
    EXPECT_EQ(one.yield, two.yield);
    // A spread: the percentiles are in order and the envelope holds the nominal curve.
    EXPECT_LE(one.bandwidth.p5, one.bandwidth.median);
    EXPECT_LE(one.bandwidth.median, one.bandwidth.p95);
    EXPECT_LT(one.bandwidth.min, one.bandwidth.max);
    for (std::size_t i = 0; i < one.envelope.size(); ++i) {
        EXPECT_LE(one.envelope[i].min, one.nominalCurve[i].y + 1e-9);
        EXPECT_GE(one.envelope[i].max, one.nominalCurve[i].y - 1e-9);
    }
    request.seed = 2;
    EXPECT_NE(RunTolerance(built, request).bandwidthHz, one.bandwidthHz);
}

TEST(Tolerance, RippleAndPercentilesByHand) {
    const std::vector<CurvePoint> twoPeaks = {{0, -3}, {1, -1}, {2, -1.5}, {3, -1.2}, {4, -4}};
    EXPECT_NEAR(RippleOf(twoPeaks), 0.5, 1e-12);
    EXPECT_EQ(RippleOf({{0, -3}, {1, -1}, {2, -4}}), 0);
    const Percentiles p = PercentilesOf({5, 1, 4, 2, 3});
    EXPECT_EQ(p.min, 1);
    EXPECT_EQ(p.median, 3);
    EXPECT_EQ(p.max, 5);
    EXPECT_EQ(p.p5, 1);
    EXPECT_EQ(p.p95, 5);
}

}  // namespace
}  // namespace feldan

namespace feldan {
namespace {

// A project rounded to E12 and with C3 moved by hand: the tolerance run without spread and the
// swept schematic both describe that filter, whose every capacitor is the value in force, and
// not the designed one. Its width is measured here on a netlist of those values built by hand.
TEST(AsBuilt, ToleranceAndSweepTakeTheRoundedAndTunedParts) {
    Project project;
    RoundingRequest e12;
    e12.series = ESeries::E12;
    project.rounding = e12;
    project.tuning = {{"C3", 150}};
    const ProjectBuild build = BuildProject(project, '.');
    ASSERT_TRUE(build.built);
    ElementValues values = build.built->values;
    for (const TunablePart& part : build.parts) {
        if (part.kind != TunableKind::Capacitor) continue;
        values.CapPF[std::size_t(part.index)] = part.value;
        if (part.label == "C3") {
            EXPECT_EQ(part.value, 150);
        }
    }
    const CalculationResult byHand = MeasureSchematic(
        *build.built, values, build.circuit.terminationOhm, build.circuit.outputTerminationOhm);
    ASSERT_EQ(byHand.outcome, Outcome::Done);
    EXPECT_NE(byHand.measurements.MeasuredDfHz, build.built->schematic.measurements.MeasuredDfHz);

    ToleranceRequest request;
    request.trials = 4;
    const ToleranceResult r = RunTolerance(AsBuilt(build), request);
    EXPECT_EQ(r.nominalBandwidthHz, byHand.measurements.MeasuredDfHz);
    EXPECT_EQ(r.bandwidth.median, byHand.measurements.MeasuredDfHz);

    const DesignedFilter swept = FilterOfBuild(build, CircuitChoice::Schematic);
    for (int slot = 1; slot <= CapSlotCount; ++slot)
        EXPECT_EQ(swept.values.CapPF[std::size_t(slot)], values.CapPF[std::size_t(slot)]) << slot;
    EXPECT_EQ(swept.portOhm, build.circuit.terminationOhm);
}

}  // namespace
}  // namespace feldan
