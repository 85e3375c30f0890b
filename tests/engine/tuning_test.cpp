#include "engine/tuning.h"

#include <gtest/gtest.h>

#include <cmath>

namespace feldan {
namespace {

BuiltDesign Built(std::span<const CrystalModel> crystals = {}, bool trim = false) {
    DesignFields fields;  // the start design: four crystals, Butterworth
    const auto build = BuildDesign(fields, '.', crystals, trim);
    const std::optional<BuiltDesign>& built = build.built;
    if (!built) ADD_FAILURE() << MessageText(build.message);
    return *built;
}

const TunablePart& Part(const std::vector<TunablePart>& parts, const std::string& label) {
    for (const TunablePart& part : parts)
        if (part.label == label) return part;
    ADD_FAILURE() << "no part " << label;
    return parts.front();
}

TEST(TunableParts, EverySlotOnceTheTerminationAndTheTrimsOfASet) {
    const BuiltDesign plain = Built();
    std::vector<std::string> labels;
    for (const TunablePart& part : TunablePartsOf(plain, nullptr, {}))
        labels.push_back(JoinedLabels(part.labels));
    EXPECT_EQ(labels, (std::vector<std::string>{"C1=C5", "C2=C4", "C3", "Rin"}));

    // A set trimmed to its highest crystal: the three below it get a trim, in pF.
    std::vector<CrystalModel> set;
    for (double shiftHz : {-300.0, 0.0, -150.0, -80.0})
        set.push_back(CrystalFromSeriesResonance(8861736 + shiftHz, 10.1e-3, 5.7, 6.3e-12));
    const BuiltDesign trimmed = Built(set, true);
    const std::vector<TunablePart> parts = TunablePartsOf(trimmed, nullptr, {});
    ASSERT_EQ(parts.size(), 7u);
    EXPECT_EQ(parts[4].label, "Ct1");
    EXPECT_EQ(parts[5].label, "Ct3");
    EXPECT_DOUBLE_EQ(parts[4].value, trimmed.values.Crystal[1].TrimF * 1e12);
}

TEST(TunableParts, TheTunedValueOverridesTheRoundedOneWhichOverridesTheDesign) {
    const BuiltDesign built = Built();
    RoundingRequest request;
    request.series = ESeries::E12;
    const RoundingResult rounding = RoundDesign(built, request);
    const std::vector<TunedPart> tuning = {{"C3", 123.5}, {"C9", 7}, {"Ct1", 5}};
    const std::vector<TunablePart> parts = TunablePartsOf(built, &rounding, tuning);
    ASSERT_EQ(parts.size(), 4u);  // C9 and Ct1 belong to other designs
    const TunablePart& c1 = Part(parts, "C1");
    EXPECT_EQ(c1.designed, built.values.CapPF[std::size_t(c1.index)]);
    EXPECT_EQ(c1.built, rounding.capacitors[0].roundedPF);
    EXPECT_FALSE(c1.Tuned());
    EXPECT_EQ(Part(parts, "C3").value, 123.5);
    EXPECT_EQ(TuningOf(parts), (std::vector<TunedPart>{{"C3", 123.5}}));

    const TunedCircuit circuit = TunedCircuitOf(built, parts);
    EXPECT_EQ(circuit.values.CapPF[std::size_t(Part(parts, "C3").index)], 123.5);
    EXPECT_EQ(circuit.values.CapPF[std::size_t(c1.index)], rounding.capacitors[0].roundedPF);
    EXPECT_EQ(circuit.terminationOhm, built.design.synthesis.InputOhm);
}

TEST(TunableParts, UntouchedPartsMeasureAsTheDesignAndATunedOneMovesTheBand) {
    const BuiltDesign built = Built();
    std::vector<TunablePart> parts = TunablePartsOf(built, nullptr, {});
    const TunedCircuit same = TunedCircuitOf(built, parts);
    const CalculationResult asDesigned =
        MeasureSchematic(built, same.values, same.terminationOhm, same.outputTerminationOhm);
    ASSERT_EQ(asDesigned.curve.size(), built.schematic.curve.size());
    for (std::size_t i = 0; i < asDesigned.curve.size(); ++i) {
        EXPECT_EQ(asDesigned.curve[i].x, built.schematic.curve[i].x);
        EXPECT_EQ(asDesigned.curve[i].y, built.schematic.curve[i].y);
    }
    // The coupling capacitor in the middle sets the spacing of the meshes: more of it, a
    // narrower band.
    parts[2].value *= 1.2;
    const TunedCircuit tuned = TunedCircuitOf(built, parts);
    const CalculationResult narrower =
        MeasureSchematic(built, tuned.values, tuned.terminationOhm, tuned.outputTerminationOhm);
    EXPECT_LT(narrower.measurements.MeasuredDfHz, built.schematic.measurements.MeasuredDfHz);
}

TEST(TuningStep, PercentStepsMultiplyAndSeriesStepsWalkTheMembers) {
    struct Case {
        double value;
        TuningStep step;
        int notches;
        double expected;
    };
    const Case cases[] = {
        {100, TuningStep::OnePercent, 1, 101},
        {100, TuningStep::OnePercent, -2, 100 / 1.0201},
        {100, TuningStep::TenthPercent, 1, 100.1},
        {50, TuningStep::E12, 1, 56},
        {56, TuningStep::E12, -2, 39},
        {50, TuningStep::E24, 2, 56},
        {100, TuningStep::E96, -1, 97.6},
        {100, TuningStep::E12, 0, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " by " << c.notches);
        EXPECT_NEAR(SteppedValue(c.value, c.step, c.notches), c.expected, c.expected * 1e-12);
    }
}

}  // namespace
}  // namespace feldan
