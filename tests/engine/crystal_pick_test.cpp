#include "engine/crystal_pick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <set>

#include "engine/built_design.h"
#include "engine/design_run.h"
#include "engine/ladder_design.h"

namespace feldan {
namespace {

using Complex = std::complex<double>;

// Crystals of a 10 MHz batch: 15 mH, 10 Ohm, 4 pF, fs and Lm as given.
CrystalModel Crystal(double fsHz, double lmH = 15e-3) {
    return CrystalFromSeriesResonance(fsHz, lmH, 10, 4e-12);
}

PickRequest RequestFor(FilterType type, bool trim) {
    PickRequest request;
    request.design.filterType = static_cast<int>(type);
    request.design.texts.Df = "500";
    request.trim = trim;
    return request;
}

// The schematic's voltage transfer into its load, by the chain matrix of its parts from source
// to load: written here apart from the engine's nodal solver.
double LevelDb(int circuit, const ElementValues& v, double sourceOhm, double loadOhm, double hz) {
    const double w = 2 * std::numbers::pi * hz;
    Complex a = 1, b = 0, c = 0, d = 1;
    const auto series = [&](Complex z) {
        b += a * z;
        d += c * z;
    };
    for (const SchematicItem& item : DescriptorOf(circuit).schematic) {
        const double farad = v.CapPF[static_cast<std::size_t>(item.index)] * 1e-12;
        if (item.kind == SchematicItemKind::ShuntCapacitor) {
            a += b * Complex(0, w * farad);
            c += d * Complex(0, w * farad);
        } else if (item.kind == SchematicItemKind::SeriesCapacitor) {
            series(Complex(0, -1 / (w * farad)));
        } else {
            const Resonator& r = v.Crystal[static_cast<std::size_t>(item.index)];
            Complex y = Complex(0, w * r.C0F) + 1.0 / Complex(r.RmOhm, w * r.LmH - 1 / (w * r.CmF));
            for (int m = 0; m < r.ModeCount; ++m) {
                const SeriesArm& arm = r.Modes[static_cast<std::size_t>(m)];
                y += 1.0 / Complex(arm.R, w * arm.L - 1 / (w * arm.C));
            }
            series(1.0 / y + (r.TrimF > 0 ? Complex(0, -1 / (w * r.TrimF)) : Complex(0)));
        }
    }
    return 20 * std::log10(std::abs(loadOhm /
                                    (a * loadOhm + b + c * sourceOhm * loadOhm + d * sourceOhm)));
}

struct Chain {
    int circuit;
    ElementValues values;
    double sourceOhm, loadOhm;
    double At(double hz) const { return LevelDb(circuit, values, sourceOhm, loadOhm, hz); }
};

Chain ChainOf(const BuiltDesign& built) {
    const Synthesis& s = built.design.synthesis;
    return {s.Circuit, built.values, s.InputOhm, s.OutputOhm};
}

// The largest difference of the set's response from the design's on equal crystals of the set's
// mean, over the design's −3 dB band, both by the chain matrix.
double DepartureDb(const DesignFields& design, std::span<const CrystalModel> bag,
                   const std::vector<std::size_t>& positions, bool trim) {
    std::vector<CrystalModel> crystals;
    for (std::size_t i : positions)
        crystals.push_back(bag[i]);
    const DesignBuild set = BuildDesign(design, '.', crystals, trim);
    const DesignBuild equal = BuildDesign(DesignOfCrystalSet(design, crystals, trim).fields, '.');
    EXPECT_TRUE(set.built && equal.built);
    if (!set.built || !equal.built) return INFINITY;
    const Chain ofSet = ChainOf(*set.built), ofDesign = ChainOf(*equal.built);
    const double foHz = equal.built->design.input.FoKHz * 1000, dfHz = 500;
    std::vector<double> hz, db;
    for (double f = foHz - 2 * dfHz; f <= foHz + 4 * dfHz; f += 1) {
        hz.push_back(f);
        db.push_back(ofDesign.At(f));
    }
    const double peak = *std::max_element(db.begin(), db.end());
    double worst = 0;
    for (std::size_t k = 0; k < hz.size(); ++k) {
        if (db[k] >= peak - 3) worst = std::max(worst, std::fabs(ofSet.At(hz[k]) - db[k]));
    }
    return worst;
}

TEST(PickByResponse, TakesTheMatchedFourOfABagKnownByFs) {
    // Eight crystals 30 to 150 Hz apart and two outliers, all else equal; in the larger bag
    // fifty more, 97 Hz apart, leave too many sets to search them all.
    const double offsets[] = {799, 811, 821, 829, 677, 704, 733, 747, 1300, 300};
    for (const int more : {0, 50}) {
        std::vector<CrystalModel> bag;
        for (double offset : offsets)
            bag.push_back(Crystal(9994000 + offset));
        for (int k = 0; k < more; ++k)
            bag.push_back(Crystal(9996000 + 97 * k));
        for (const bool trim : {false, true}) {
            SCOPED_TRACE(more * 10 + trim);
            const PickResult result = PickByResponse(bag, RequestFor(FilterType::Ladder4, trim));
            ASSERT_TRUE(result.byResponse);
            const std::vector<std::size_t>& picked = result.byResponse->crystals;
            EXPECT_EQ(std::set<std::size_t>(picked.begin(), picked.end()),
                      (std::set<std::size_t>{0, 1, 2, 3}));
            EXPECT_EQ(result.exhaustive, more == 0);
            if (more == 0) {
                EXPECT_EQ(result.setsSearched, 210);  // C(10, 4)
            }
            EXPECT_EQ(result.byResponse->trimCount, trim ? 3 : 0);
        }
    }
}

TEST(PickByResponse, AMatchedResponseBeatsTheSmallestFsSpread) {
    // Twenty crystals of fs within ±50 Hz and Lm within ±12 %: the spread of fs alone misses
    // what the spread of Lm does to the meshes.
    std::mt19937_64 random(20240611);
    const auto uniform = [&] { return 2 * (static_cast<double>(random() >> 11) * 0x1.0p-53) - 1; };
    std::vector<CrystalModel> bag;
    for (int k = 0; k < 20; ++k)
        bag.push_back(Crystal(9995000 + 50 * uniform(), 15e-3 * (1 + 0.12 * uniform())));
    for (const bool trim : {false, true}) {
        SCOPED_TRACE(trim);
        const PickRequest request = RequestFor(FilterType::Ladder8, trim);
        const PickResult result = PickByResponse(bag, request);
        ASSERT_TRUE(result.byResponse && result.byFsSpread);
        EXPECT_EQ(result.setsSearched, 125970);  // C(20, 8)
        const double picked = DepartureDb(request.design, bag, result.byResponse->crystals, trim);
        const double spread = DepartureDb(request.design, bag, result.byFsSpread->crystals, trim);
        EXPECT_LT(picked, spread);
        // The engine's own departure agrees with the chain matrix.
        EXPECT_NEAR(result.byResponse->departureDb, picked, 1e-3);
        EXPECT_NEAR(result.byFsSpread->departureDb, spread, 1e-3);
    }
}

TEST(PickByResponse, UnwantedModesSpreadRatherThanLinedUp) {
    // Ten crystals within 27 Hz, each with a mode near 10.025 MHz: in the first five the modes
    // lie within 80 Hz, in the others 2.5 kHz apart.
    std::vector<CrystalModel> bag;
    for (int k = 0; k < 10; ++k) {
        CrystalModel c = Crystal(9995000 + 3 * k);
        c.modes = {ModeFromSeriesResonance(k < 5 ? 10025000 + 20 * k : 10020000 + 2500 * (k - 5),
                                           30e-3, 20)};
        bag.push_back(c);
    }
    const PickRequest request = RequestFor(FilterType::Ladder4, false);
    const PickResult result = PickByResponse(bag, request);
    ASSERT_TRUE(result.byResponse && result.byFsSpread);
    // The highest point about the modes against the pass band's, by the chain matrix.
    const auto unwantedDb = [&](const std::vector<std::size_t>& positions) {
        std::vector<CrystalModel> crystals;
        for (std::size_t i : positions)
            crystals.push_back(bag[i]);
        const DesignBuild build = BuildDesign(request.design, '.', crystals, false);
        EXPECT_TRUE(build.built);
        if (!build.built) return 0.0;
        const Chain chain = ChainOf(*build.built);
        double band = -INFINITY, unwanted = -INFINITY;
        for (double f = 9994000; f <= 9997000; f += 2)
            band = std::max(band, chain.At(f));
        for (double f = 10017000; f <= 10033000; f += 2)
            unwanted = std::max(unwanted, chain.At(f));
        return unwanted - band;
    };
    const double picked = unwantedDb(result.byResponse->crystals);
    const double spread = unwantedDb(result.byFsSpread->crystals);
    EXPECT_GT(spread, -10);  // the modes lined up pass a second band
    EXPECT_LT(picked, spread - 40);
    ASSERT_TRUE(result.byResponse->worstUnwanted && result.byFsSpread->worstUnwanted);
    EXPECT_NEAR(result.byFsSpread->worstUnwanted->levelDb, spread, 0.5);
}

TEST(PickByResponse, EqualCrystalsAreTheDesignItself) {
    const std::vector<CrystalModel> bag(6, Crystal(9995000));
    const PickResult result = PickByResponse(bag, RequestFor(FilterType::Ladder4, true));
    ASSERT_TRUE(result.byResponse);
    EXPECT_LT(result.byResponse->departureDb, 1e-9);
    EXPECT_EQ(result.byResponse->meshSpreadHz, 0);
    EXPECT_EQ(result.byResponse->trimCount, 0);
}

TEST(PickByResponse, RefusesOrStopsWithNothingPicked) {
    const std::vector<CrystalModel> three(3, Crystal(9995000));
    const PickResult tooFew = PickByResponse(three, RequestFor(FilterType::Ladder4, false));
    EXPECT_EQ(tooFew.message.id, MessageId::PickTooFew);
    PickRequest qer = RequestFor(FilterType::Ladder4, false);
    qer.design.filterType = FilterTypeOfOrder(LadderStructure::Qer, 4);
    EXPECT_EQ(PickByResponse(std::vector<CrystalModel>(8, Crystal(9995000)), qer).message.id,
              MessageId::PickNoQer);
    EXPECT_FALSE(tooFew.byResponse);
    const std::atomic<bool> cancel{true};
    const std::vector<CrystalModel> six(6, Crystal(9995000));
    const PickResult stopped =
        PickByResponse(six, RequestFor(FilterType::Ladder4, false), {}, &cancel);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_FALSE(stopped.byResponse);
}

}  // namespace
}  // namespace feldan
