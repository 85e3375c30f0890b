// The built filter found from its sweep. The sweeps "as built" come from the test's own chain
// matrices of the schematic (not the program's nodal analysis), with seeded errors and complex
// noise at −60 dB, as an analyser hands them over: S21 and S11, nothing of port 2.
#include "engine/diagnosis.h"
#include "engine/diagnosis_model.h"
#include "engine/ladder_design.h"
#include "engine/project.h"
#include "engine/tuning.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

namespace feldan {
namespace {

using Cd = std::complex<double>;

// What was soldered: each capacitor part's factor over its value in force, each crystal's
// offset, Rm over the design's, and the cable delay.
struct Soldered {
    std::vector<double> capFactor;
    std::vector<double> offsetHz;
    double rmFactor = 1;
    double delaySec = 0;
};

// The two-port of the schematic between ports of r as a chain (ABCD) matrix product.
struct Chain {
    Cd a = 1, b = 0, c = 0, d = 0;
    Chain Then(const Chain& o) const {
        return {a * o.a + b * o.c, a * o.b + b * o.d, c * o.a + d * o.c, c * o.b + d * o.d};
    }
};

struct Sparameters {
    Cd s21, s11, s22;
};

Sparameters ChainSweepPoint(const BuiltDesign& built, const Soldered& truth, double hz, double r) {
    const double w = 2 * std::numbers::pi * hz;
    const Cd j(0, 1);
    Chain chain{1, 0, 0, 1};
    std::size_t cap = 0, crystal = 0;
    Cd series = 0;  // the crystals met since the last capacitor, a parallel one across the last
    bool pending = false;
    const auto flush = [&] {
        if (pending) chain = chain.Then({1, series, 0, 1});
        pending = false;
    };
    for (const SchematicItem& item : DescriptorOf(built.design.synthesis.Circuit).schematic) {
        if (item.kind == SchematicItemKind::Crystal ||
            item.kind == SchematicItemKind::ParallelCrystal) {
            const Resonator& x = built.values.Crystal[static_cast<std::size_t>(item.index)];
            const double fs = 1 / (2 * std::numbers::pi * std::sqrt(x.LmH * x.CmF));
            const double f = fs + truth.offsetHz[crystal++];
            const double cm = 1 / (std::pow(2 * std::numbers::pi * f, 2) * x.LmH);
            const Cd arm = x.RmOhm * truth.rmFactor + j * w * x.LmH + 1.0 / (j * w * cm);
            Cd z = arm / (1.0 + arm * j * w * x.C0F);
            if (x.TrimF > 0) z += 1.0 / (j * w * x.TrimF);
            if (item.kind == SchematicItemKind::ParallelCrystal) {
                series = series * z / (series + z);
            } else {
                flush();
                series = z;
                pending = true;
            }
            continue;
        }
        flush();
        const double c = built.values.CapPF[static_cast<std::size_t>(item.index)] * 1e-12 *
                         truth.capFactor[cap++];
        chain = item.kind == SchematicItemKind::ShuntCapacitor
                    ? chain.Then({1, 0, j * w * c, 1})
                    : chain.Then({1, 1.0 / (j * w * c), 0, 1});
    }
    flush();
    const Cd sum = chain.a + chain.b / r + chain.c * r + chain.d;
    const Cd delay = std::polar(1.0, -w * truth.delaySec);
    return {2.0 / sum * delay, (chain.a + chain.b / r - chain.c * r - chain.d) / sum * delay,
            (-chain.a + chain.b / r - chain.c * r + chain.d) / sum * delay};
}

// 401 points over twice the band either side of its centre, noise of −60 dB on each complex
// value; S22 left out as a NanoVNA leaves it.
DiagnosisSweep SweepOf(const BuiltDesign& built, const Soldered& truth, double r, bool s11,
                       unsigned seed) {
    const PassBand band = *BandOf(built.schematic);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, 1e-3 / std::sqrt(2.0));
    DiagnosisSweep sweep;
    sweep.portOhm = r;
    for (int i = 0; i < 401; ++i) {
        const double hz = band.CentreHz() + band.WidthHz() * (4.0 * i / 400 - 2);
        const Sparameters s = ChainSweepPoint(built, truth, hz, r);
        sweep.hz.push_back(hz);
        sweep.s21.push_back(s.s21 + Cd(noise(random), noise(random)));
        if (s11) sweep.s11.push_back(s.s11 + Cd(noise(random), noise(random)));
    }
    return sweep;
}

BuiltDesign Built(int filterType) {
    DesignFields fields;
    fields.filterType = filterType;
    const DesignBuild build = BuildDesign(fields, '.');
    EXPECT_TRUE(build.built) << MessageText(build.message);
    return *build.built;
}

// Capacitors within ±5 %, crystals within ±20 Hz, Q at 80 % of the design's, half a ns of cable.
Soldered Seeded(const BuiltDesign& built, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    Soldered truth;
    const auto& items = DescriptorOf(built.design.synthesis.Circuit).schematic;
    for (const SchematicItem& item : items) {
        if (item.kind != SchematicItemKind::ShuntCapacitor &&
            item.kind != SchematicItemKind::SeriesCapacitor)
            truth.offsetHz.push_back(20 * u(random));
        else
            truth.capFactor.push_back(1 + 0.05 * u(random));
    }
    truth.rmFactor = 1 / 0.8;
    truth.delaySec = 0.5e-9;
    return truth;
}

// Every part pinned by the sweep (a bound under 0.15 % or 0.6 Hz) within 0.5 % and 2 Hz, every
// other within four of its bounds.
void ExpectReading(const DiagnosisReading& reading, const Soldered& truth) {
    for (std::size_t k = 0; k < reading.capacitors.size(); ++k) {
        const FittedCapacitor& c = reading.capacitors[k];
        const double error = std::fabs(c.errorPct - 100 * (truth.capFactor[k] - 1));
        EXPECT_LE(error, c.boundPct <= 0.15 ? 0.5 : 4 * c.boundPct) << c.label;
    }
    for (std::size_t k = 0; k < reading.crystals.size(); ++k) {
        const FittedCrystal& q = reading.crystals[k];
        const double error = std::fabs(q.offsetHz - truth.offsetHz[k]);
        EXPECT_LE(error, q.boundHz <= 0.6 ? 2 : 4 * q.boundHz) << "ZQ" << q.position;
    }
}

struct LadderCase {
    int filterType;
    std::vector<std::vector<std::string>> groups;  // the π sections and the crystals beside them
};

// Measured through the design's own terminations, with S11: the plain ladder is pinned part by
// part; a CW ladder and the classic eight-crystal ladder are pinned but for their π sections,
// whose capacitors trade with the crystals either side and are named as groups.
TEST(Diagnosis, FindsTheSeededErrorsOfEachLadder) {
    const LadderCase cases[] = {
        {2, {}},
        {5, {{"C3", "C4", "C5", "ZQ2", "ZQ3"}}},
        {4, {{"C4", "C5", "C6", "ZQ3", "ZQ4"}, {"C8", "C9", "C10", "ZQ5", "ZQ6"}}},
    };
    for (const LadderCase& c : cases) {
        for (unsigned seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(testing::Message() << "type " << c.filterType << " seed " << seed);
            const BuiltDesign built = Built(c.filterType);
            const Soldered truth = Seeded(built, seed);
            const double r = built.design.synthesis.InputOhm;
            const Diagnosis d = DiagnoseFilter(built, SweepOf(built, truth, r, true, seed));
            ASSERT_EQ(d.verdict, DiagnosisVerdict::Fitted) << MessageText(d.message);
            EXPECT_NEAR(d.residualDb, -60, 1);
            EXPECT_FALSE(d.ambiguous);
            ExpectReading(d.reading, truth);
            EXPECT_NEAR(d.rmOhm / (d.designRmOhm * truth.rmFactor), 1, 0.02);
            EXPECT_NEAR(d.qu / d.designQu, 0.8, 0.016);
            EXPECT_NEAR(d.delaySec, truth.delaySec, 0.05e-9);
            ASSERT_EQ(d.weakGroups.size(), c.groups.size());
            for (std::size_t g = 0; g < c.groups.size(); ++g)
                EXPECT_EQ(d.weakGroups[g].labels, c.groups[g]);
            if (c.groups.empty()) {
                for (const FittedCapacitor& part : d.reading.capacitors)
                    EXPECT_LE(part.boundPct, 0.15) << part.label;
            }
        }
    }
}

// A QER ladder, each end two crystals in parallel: the pinned parts as on a plain ladder, the
// rest within their bounds, and the fitted Rm and delay those soldered.
TEST(Diagnosis, FindsTheSeededErrorsOfAQerLadder) {
    for (const int poles : {4, 6}) {
        SCOPED_TRACE(testing::Message() << poles << " poles");
        const BuiltDesign built = Built(FilterTypeOfOrder(LadderStructure::Qer, poles));
        Soldered truth = Seeded(built, 5);
        // Two crystals in parallel can be swapped unseen: the reading gives the first the lower.
        auto& offsets = truth.offsetHz;
        std::sort(offsets.begin(), offsets.begin() + 2);
        std::sort(offsets.end() - 2, offsets.end());
        const Diagnosis d =
            DiagnoseFilter(built, SweepOf(built, truth, built.design.synthesis.InputOhm, true, 5));
        ASSERT_EQ(d.verdict, DiagnosisVerdict::Fitted) << MessageText(d.message);
        EXPECT_NEAR(d.residualDb, -60, 1);
        ASSERT_EQ(d.reading.crystals.size(), static_cast<std::size_t>(poles + 2));
        ExpectReading(d.reading, truth);
        EXPECT_NEAR(d.rmOhm / (d.designRmOhm * truth.rmFactor), 1, 0.02);
        EXPECT_NEAR(d.delaySec, truth.delaySec, 0.05e-9);
        // ZQ1 is 18 Hz low; which of the pair, only a measurement of each can tell.
        const std::string text = DiagnosisText(d, Language::Russian);
        EXPECT_NE(text.find("кварц 1 или 2 ниже на 18 Гц"), std::string::npos) << text;
        EXPECT_NE(text.find("Кварцы 1 и 2 стоят параллельно"), std::string::npos) << text;
    }
}

// Built as designed and swept in 50 Ohm, a filter wants its design's own ends: the resistance,
// and the end capacitor where the schematic has one (a QER ends in its crystals).
TEST(Diagnosis, FindsTheDesignsEndsFromA50OhmSweep) {
    for (const int filterType : {2, 5, FilterTypeOfOrder(LadderStructure::Qer, 6)}) {
        SCOPED_TRACE(testing::Message() << "type " << filterType);
        const BuiltDesign built = Built(filterType);
        Soldered asDesigned = Seeded(built, 1);
        std::fill(asDesigned.capFactor.begin(), asDesigned.capFactor.end(), 1.0);
        std::fill(asDesigned.offsetHz.begin(), asDesigned.offsetHz.end(), 0.0);
        asDesigned.rmFactor = 1;
        asDesigned.delaySec = 0;
        const Diagnosis d = DiagnoseFilter(built, SweepOf(built, asDesigned, 50, true, 2));
        ASSERT_EQ(d.verdict, DiagnosisVerdict::Fitted) << MessageText(d.message);
        const double r = built.design.synthesis.InputOhm;
        const bool qer = IsQer(filterType);
        const auto& schematic = DescriptorOf(built.design.synthesis.Circuit).schematic;
        const double endPF =
            qer ? 0 : built.values.CapPF[static_cast<std::size_t>(schematic.front().index)];
        for (const EndTermination& end : {d.input, d.output}) {
            EXPECT_NEAR(end.fittedOhm / r, 1, 0.02);
            EXPECT_NEAR(end.fittedPF, endPF, 0.02 * endPF);
        }
    }
}

// With S21 alone a QER ladder is its own mirror: an error at one end is ambiguous, and each
// reading gives each doubled end's lower resonance to its first crystal. Two crystals in
// parallel that differ are told apart: they are no pair.
TEST(Diagnosis, ReadsAQerLadderBothWaysAndTellsUnequalCrystals) {
    BuiltDesign built = Built(FilterTypeOfOrder(LadderStructure::Qer, 4));
    Soldered truth = Seeded(built, 1);
    std::fill(truth.capFactor.begin(), truth.capFactor.end(), 1.0);
    std::fill(truth.offsetHz.begin(), truth.offsetHz.end(), 0.0);
    truth.capFactor[0] = 1.08;
    truth.offsetHz[0] = -25;
    truth.delaySec = 0;
    const Diagnosis d = DiagnoseFilter(built, SweepOf(built, truth, 50, false, 3));
    ASSERT_EQ(d.verdict, DiagnosisVerdict::Fitted) << MessageText(d.message);
    ASSERT_TRUE(d.ambiguous);
    ASSERT_TRUE(d.mirrored);
    for (const DiagnosisReading* reading : {&d.reading, &*d.mirrored}) {
        EXPECT_LE(reading->crystals[0].offsetHz, reading->crystals[1].offsetHz);
        EXPECT_LE(reading->crystals[4].offsetHz, reading->crystals[5].offsetHz);
    }
    EXPECT_EQ(d.parallelPairs, (std::vector<std::pair<int, int>>{{1, 2}, {5, 6}}));

    built.values.Crystal[2].LmH *= 1.05;
    const Diagnosis unequal = DiagnoseFilter(built, SweepOf(built, truth, 50, true, 3));
    EXPECT_EQ(unequal.parallelPairs, (std::vector<std::pair<int, int>>{{5, 6}}));
}

// S21 alone cannot tell a filter from its mirror image: with an error on one side only, the
// orientation is ambiguous and the truth is one of the two readings.
TEST(Diagnosis, S21AloneGivesBothReadingsOfAnAsymmetricError) {
    const BuiltDesign built = Built(2);
    Soldered truth;
    truth.capFactor = {1, 1.08, 1, 1, 1};
    truth.offsetHz = {-25, 0, 0, 0};
    truth.rmFactor = 1.1;
    const Diagnosis d =
        DiagnoseFilter(built, SweepOf(built, truth, built.design.synthesis.InputOhm, false, 7));
    ASSERT_EQ(d.verdict, DiagnosisVerdict::Fitted) << MessageText(d.message);
    ASSERT_TRUE(d.ambiguous);
    ASSERT_TRUE(d.mirrored);
    // The truth within four bounds of one reading, and that reading's C2 nearer the truth's
    // 8 % than its C4 (the mirror's is the other way round).
    const auto matches = [&](const DiagnosisReading& reading) {
        const FittedCapacitor& c2 = reading.capacitors[1];
        const FittedCrystal& zq1 = reading.crystals[0];
        return std::fabs(c2.errorPct - 8) < 4 * c2.boundPct &&
               std::fabs(zq1.offsetHz + 25) < 4 * zq1.boundHz &&
               c2.errorPct > reading.capacitors[3].errorPct;
    };
    EXPECT_NE(matches(d.reading), matches(*d.mirrored));
    // The mirror reads the parts of the other end.
    EXPECT_NEAR(d.mirrored->capacitors[3].errorPct, d.reading.capacitors[1].errorPct, 1e-9);
    EXPECT_NEAR(d.mirrored->crystals[3].offsetHz, d.reading.crystals[0].offsetHz, 1e-9);
}

// The one capacitor 10 % high and one crystal 30 Hz low: the words name both, and the changes
// bring them back (a standard value near designed²/fitted; a series trim whose shift, worked
// out here from the crystal's own reactance, is the 30 Hz).
TEST(Diagnosis, NamesTheWorstPartsAndWhatBringsThemBack) {
    const BuiltDesign built = Built(2);
    Soldered truth;
    truth.capFactor = {1, 1, 1.10, 1, 1};
    truth.offsetHz = {0, -30, 0, 0};
    const Diagnosis d =
        DiagnoseFilter(built, SweepOf(built, truth, built.design.synthesis.InputOhm, true, 3));
    ASSERT_EQ(d.verdict, DiagnosisVerdict::Fitted);
    const std::string russian = DiagnosisText(d, Language::Russian);
    EXPECT_NE(russian.find("C3 стоит на 10,0 % больше расчётного"), std::string::npos) << russian;
    EXPECT_NE(russian.find("кварц 2 ниже на 30 Гц"), std::string::npos) << russian;
    EXPECT_NE(DiagnosisText(d, Language::English).find("crystal 2 is 30 Hz low"),
              std::string::npos);
    ASSERT_GE(d.advice.size(), 2u);
    EXPECT_EQ(d.advice[0].label, "C3");
    EXPECT_EQ(d.advice[0].value,
              RoundToSeries(d.reading.capacitors[2].designedPF / 1.1, ESeries::E24));
    EXPECT_EQ(d.advice[1].kind, AdviceKind::AddTrim);
    const Resonator& x = built.values.Crystal[2];
    const double fs = 1 / (2 * std::numbers::pi * std::sqrt(x.LmH * x.CmF)) - 30;
    const double cm = 1 / (std::pow(2 * std::numbers::pi * fs, 2) * x.LmH);
    const double trimF = d.advice[1].value * 1e-12;
    // The crystal with its trim resonates where Lm, Cm and the trim in series with C0 (the
    // static capacitance only shunts the arm, so take the series zero of the whole reactance).
    const auto reactance = [&](double hz) {
        const double w = 2 * std::numbers::pi * hz;
        const Cd j(0, 1);
        const Cd arm = j * w * x.LmH + 1.0 / (j * w * cm);
        return (arm / (1.0 + arm * j * w * x.C0F) + 1.0 / (j * w * trimF)).imag();
    };
    double low = fs, high = fs + 200;
    for (int i = 0; i < 60; ++i)
        (reactance((low + high) / 2) < 0 ? low : high) = (low + high) / 2;
    EXPECT_NEAR(low - fs, 30, 3);  // an E24 step is at most 10 % of the trim
}

// The derivatives the fit takes agree with differences of its residual.
TEST(Diagnosis, TheModelsDerivativesAreThoseOfItsResidual) {
    const BuiltDesign built = Built(5);
    const Soldered truth = Seeded(built, 4);
    DiagnosisModel model(built, SweepOf(built, truth, built.design.synthesis.InputOhm, true, 4));
    Eigen::VectorXd theta = Eigen::VectorXd::Zero(model.Parameters());
    theta[1] = 0.02;
    theta[model.CrystalParameter(0)] = 12;
    theta[model.DelayParameter()] = 0.3;
    Eigen::VectorXd r, up, down;
    Eigen::MatrixXd jacobian;
    model.Evaluate(theta, r, &jacobian);
    for (int p = 0; p < model.Parameters(); ++p) {
        const double h = p >= model.CrystalParameter(0) && p < model.RmParameter() ? 1e-3 : 1e-6;
        Eigen::VectorXd moved = theta;
        moved[p] += h;
        model.Evaluate(moved, up, nullptr);
        moved[p] -= 2 * h;
        model.Evaluate(moved, down, nullptr);
        const Eigen::VectorXd difference = (up - down) / (2 * h);
        EXPECT_LT((difference - jacobian.col(p)).norm(), 1e-5 * jacobian.col(p).norm()) << p;
    }
}

// Carried on as the build in force, the fitted values are that filter: a part set apart from
// its slot (C4 of the four-crystal ladder's C2 = C4), the crystals moved (a QER ladder's doubled
// ends too, which hold no capacitor) and Rm scaled as fitted.
TEST(Diagnosis, TheFittedValuesAppliedAreTheFittedFilter) {
    struct Case {
        int filterType;
        Soldered truth;
        std::string apart;
        int place;
    };
    const Case cases[] = {
        {2, {{1, 1.06, 1, 0.97, 1}, {12, 0, -15, 0}, 1.2, 0}, "C4", 3},
        {FilterTypeOfOrder(LadderStructure::Qer, 4),
         {{1, 1, 0.95}, {0, 0, 10, -8, 0, 0}, 1.2, 0},
         "",
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.filterType);
        Project project;
        project.design.filterType = c.filterType;
        const ProjectBuild before = BuildProject(project, '.');
        const BuiltDesign built = AsBuilt(before);
        const DiagnosisSweep sweep =
            SweepOf(built, c.truth, built.design.synthesis.InputOhm, true, 9);
        const Diagnosis d = DiagnoseFilter(built, sweep);
        ASSERT_EQ(d.verdict, DiagnosisVerdict::Fitted);
        project.tuning = TuningOfDiagnosis(d, project.tuning);
        const ProjectBuild after = BuildProject(project, '.');
        const std::vector<Cd> applied =
            SchematicS21(AsBuilt(after), AsBuilt(after).values, d.portOhm, sweep.hz);
        const std::vector<Cd> fitted = FittedResponse(built, d, sweep.hz);
        for (std::size_t i = 0; i < fitted.size(); ++i)
            EXPECT_LT(std::abs(applied[i] - fitted[i]), 1e-9) << sweep.hz[i];
        if (!c.apart.empty()) {
            EXPECT_TRUE(std::any_of(
                after.parts.begin(), after.parts.end(),
                [&](const TunablePart& p) { return p.label == c.apart && p.part == c.place; }));
        }
    }
}

// A sweep beside the band, or one that is nothing but noise, gets a message and no values.
TEST(Diagnosis, RefusesWhatItCannotFit) {
    const BuiltDesign built = Built(2);
    const Soldered truth = Seeded(built, 1);
    DiagnosisSweep beside = SweepOf(built, truth, 50, true, 1);
    for (double& hz : beside.hz)
        hz += 100e3;
    const Diagnosis off = DiagnoseFilter(built, beside);
    EXPECT_EQ(off.verdict, DiagnosisVerdict::Refused);
    EXPECT_EQ(off.message.id, MessageId::DiagnosisNoBand);

    DiagnosisSweep noise = SweepOf(built, truth, 50, true, 1);
    std::mt19937 random(5);
    std::normal_distribution<double> n(0, 0.3);
    for (Cd& s : noise.s21)
        s = Cd(n(random), n(random));
    const Diagnosis nothing = DiagnoseFilter(built, noise);
    EXPECT_EQ(nothing.verdict, DiagnosisVerdict::NotConverged);
    EXPECT_EQ(nothing.message.id, MessageId::DiagnosisNotConverged);
    EXPECT_TRUE(nothing.reading.capacitors.empty());
    EXPECT_NE(MessageText(nothing.message).find("невязка"), std::string::npos);

    // Stopped, it says so and gives nothing either.
    const std::atomic<bool> stop{true};
    const Diagnosis stopped = DiagnoseFilter(built, SweepOf(built, truth, 50, true, 1), {}, &stop);
    EXPECT_EQ(stopped.verdict, DiagnosisVerdict::Cancelled);
    EXPECT_TRUE(stopped.reading.capacitors.empty());
}

}  // namespace
}  // namespace feldan
