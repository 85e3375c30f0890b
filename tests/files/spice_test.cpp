// The exported netlists run in ngspice, and ngspice must find the response Feldan computes.
#include "files/spice.h"

#include "engine/ladder_design.h"
#include "engine/transient.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

namespace feldan {
namespace {

namespace fs = std::filesystem;

struct Row {
    double hz;
    std::complex<double> vout;
};

// Runs ngspice in batch mode on a netlist in its own folder and reads what the .control block
// wrote: frequency, re and im of v(out). The run must end with status 0 and log no warning or
// error (a singular operating point, a failed gmin stepping, an unknown line).
void RunBatch(const std::string& netlist, const fs::path& folder) {
    fs::create_directories(folder);
    std::ofstream(folder / "filter.cir") << netlist;
    const std::string command =
        "cd '" + folder.string() + "' && ngspice -b filter.cir > ngspice.log 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << "ngspice -b failed; see " << (folder / "ngspice.log");
    std::ifstream log(folder / "ngspice.log");
    for (std::string line; std::getline(log, line);) {
        std::string lower = line;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(lower.find("warning"), std::string::npos) << line;
        EXPECT_EQ(lower.find("error"), std::string::npos) << line;
    }
}

std::vector<Row> RunNgspice(const std::string& netlist, const fs::path& folder) {
    RunBatch(netlist, folder);
    std::ifstream data(folder / "feldan-ac.txt");
    std::string header;
    std::getline(data, header);
    std::vector<Row> rows;
    double hz, re, im;
    while (data >> hz >> re >> im)
        rows.push_back({hz, {re, im}});
    return rows;
}

// The seven classic topologies, then every other entry of the list, and the classic counts
// generated for a Chebyshev response of a ripple the table lacks.
std::vector<DesignFields> EveryTopology() {
    std::vector<DesignFields> designs;
    for (int type = 1; type <= FilterTypeCount; ++type) {
        DesignFields design;
        design.filterType = type;
        designs.push_back(design);
        if (type > ClassicFilterTypeCount) continue;
        design.responseType = int(ResponseType::Chebyshev);
        design.ripple = "0.5";
        designs.push_back(design);
    }
    // Ends of different terminations.
    for (int crystals : {3, 12}) {
        DesignFields design;
        design.filterType = FilterTypeOfLadder(LadderStructure::Plain, crystals);
        design.responseType = int(ResponseType::Bessel);
        designs.push_back(design);
    }
    DesignFields legendre;
    legendre.filterType = FilterTypeOfLadder(LadderStructure::Cw, 6);
    legendre.responseType = int(ResponseType::Legendre);
    designs.push_back(legendre);
    // The tabulated families, the transitional Gaussian of 8 crystals with its table's own source,
    // and a Cohn ladder (the QER ladders are in the list above).
    for (const auto& [type, crystals] : {std::pair{ResponseType::Gaussian, 5},
                                         {ResponseType::GaussianTo6Db, 8},
                                         {ResponseType::GaussianTo12Db, 6},
                                         {ResponseType::LinearPhase005Deg, 7},
                                         {ResponseType::LinearPhase05Deg, 4},
                                         {ResponseType::Cohn, 5}}) {
        DesignFields design;
        design.filterType = FilterTypeOfLadder(LadderStructure::Plain, crystals);
        design.responseType = int(type);
        designs.push_back(design);
    }
    return designs;
}

TEST(SpiceExport, NgspiceFindsFeldansResponseForEveryTopologyAndBothCircuits) {
    const fs::path base =
        fs::path(testing::TempDir()) / ("feldan_spice_" + std::to_string(::getpid()));
    for (const DesignFields& design : EveryTopology()) {
        const int type = design.filterType * 10 + design.responseType;
        for (CircuitChoice circuit : {CircuitChoice::Analysed, CircuitChoice::Schematic}) {
            SCOPED_TRACE(testing::Message()
                         << "type " << design.filterType << ", response " << design.responseType
                         << (circuit == CircuitChoice::Schematic ? ", schematic" : ", analysed"));
            DesignedFilter filter = DesignFilter(design, '.', circuit);
            ASSERT_EQ(filter.design.outcome, Outcome::Done);
            SweepRequest request;
            request.points = 61;
            request.circuit = circuit;
            const SweepResult sweep = SweepFilter(filter, request);
            SpiceRequest spice;
            spice.fromHz = sweep.fromHz;
            spice.toHz = sweep.toHz;
            spice.points = request.points;
            spice.comments = {"test design"};
            const std::string netlist = SpiceNetlist(filter, spice);
            // SPICE reads "M" as milli: the values are plain numbers.
            EXPECT_EQ(netlist.find("meg"), std::string::npos);
            const std::vector<Row> rows = RunNgspice(
                netlist,
                base / (std::to_string(type) + (circuit == CircuitChoice::Schematic ? "s" : "a")));
            ASSERT_EQ(rows.size(), sweep.points.size());
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const SweepPoint& p = sweep.points[i];
                ASSERT_TRUE(p.ok);
                EXPECT_NEAR(rows[i].hz, p.hz, p.hz * 1e-12);
                // S21 = 2·V(out)·√(Rs/RL) of the 1 V source: 2·V(out) with equal ends.
                const std::complex<double> s21 =
                    2.0 * rows[i].vout * std::sqrt(filter.portOhm / filter.outputPortOhm);
                // At the crystals' own series resonance (Fo) the node between Lm and Cm has an
                // admittance that cancels to rounding: the nodal solver, which takes its pivots
                // in order as the Calculate command always has, loses digits there (ngspice
                // pivots). Everywhere else the two agree to 1e-5 dB: on the skirts of the
                // twelve-crystal Bessel they part by 1.5e-6 dB, even solved at the very
                // frequencies ngspice prints.
                const bool atResonance = std::fabs(p.hz - filter.design.input.FoKHz * 1000) < 1;
                EXPECT_NEAR(DecibelsOfS(s21), DecibelsOfS(p.s21), atResonance ? 1e-4 : 1e-5)
                    << p.hz;
                const double phaseDifference =
                    std::remainder(DegreesOf(s21) - DegreesOf(p.s21), 360.0);
                EXPECT_NEAR(phaseDifference, 0, 1e-4) << p.hz;
            }
        }
    }
    if (!HasFailure()) fs::remove_all(base);
}

TEST(SpiceExport, LtspiceDialectEndsWithMeasurements) {
    DesignFields design;
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Schematic);
    SpiceRequest spice;
    spice.dialect = SpiceDialect::LTspice;
    spice.fromHz = 8.85e6;
    spice.toHz = 8.87e6;
    const std::string netlist = SpiceNetlist(filter, spice);
    // The circuit itself, with its DC paths, is the one that runs clean in ngspice above: the
    // dialects differ only in what follows the .ac line.
    SpiceRequest ngspice = spice;
    ngspice.dialect = SpiceDialect::Ngspice;
    const std::string ngspiceNetlist = SpiceNetlist(filter, ngspice);
    const std::size_t body = netlist.find(".ac lin ");
    ASSERT_NE(body, std::string::npos);
    EXPECT_EQ(netlist.substr(0, body), ngspiceNetlist.substr(0, ngspiceNetlist.find(".ac lin ")));
    EXPECT_NE(netlist.find("\nRdc_in in 0 1e12\n"), std::string::npos);
    EXPECT_NE(netlist.find(".meas AC"), std::string::npos);
    EXPECT_EQ(netlist.find(".control"), std::string::npos);
    // The schematic's parts under their labels, the crystals as subcircuits.
    for (const char* part :
         {"\nC1 ", "\nC5 ", "\nXZQ1 ", ".subckt ZQ4 a b", "\nRs src in ", "\nRL out 0 "})
        EXPECT_NE(netlist.find(part), std::string::npos) << part;
}

// The width at levelDb below the highest point, between the outermost crossings, each edge
// interpolated between the points about it: as an exact design is measured, from ngspice's own
// numbers.
double WidthOf(const std::vector<Row>& rows, double levelDb) {
    std::vector<double> db;
    for (const Row& row : rows)
        db.push_back(DecibelsOfS(2.0 * row.vout));
    const double level = *std::max_element(db.begin(), db.end()) + levelDb;
    const auto crossing = [&](std::size_t inside, std::size_t outside) {
        return rows[inside].hz + (rows[outside].hz - rows[inside].hz) * (db[inside] - level) /
                                     (db[inside] - db[outside]);
    };
    std::size_t lower = 0, upper = rows.size() - 1;
    while (lower < upper && db[lower] < level)
        ++lower;
    while (upper > lower && db[upper] < level)
        --upper;
    if (lower == 0 || upper + 1 == rows.size()) return 0;
    return crossing(upper, upper + 1) - crossing(lower, lower - 1);
}

TEST(SpiceExport, NgspiceFindsTheWidthOfAnExactDesign) {
    const fs::path base =
        fs::path(testing::TempDir()) / ("feldan_spice_exact_" + std::to_string(::getpid()));
    for (const auto& [type, response, level] :
         {std::tuple{2, 1, "-3"}, std::tuple{7, 4, "-3"}, std::tuple{3, 2, "-20"}}) {
        SCOPED_TRACE(testing::Message() << type << "/" << response << " at " << level);
        DesignFields design;
        design.filterType = type;
        design.responseType = response;
        design.texts.Level = level;
        design.exact = true;
        const DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Schematic);
        ASSERT_EQ(filter.design.outcome, Outcome::Done);
        const double foHz = filter.design.input.FoKHz * 1000;
        SpiceRequest spice;
        spice.fromHz = foHz - 4000;
        spice.toHz = foHz + 9000;
        spice.points = 13001;
        const std::vector<Row> rows =
            RunNgspice(SpiceNetlist(filter, spice), base / std::to_string(type));
        ASSERT_EQ(rows.size(), 13001u);
        EXPECT_NEAR(WidthOf(rows, filter.design.input.LevelDb), 3100, 2);
    }
    if (!HasFailure()) fs::remove_all(base);
}

// Eight crystals with a mode 20 kHz up of twice their Rm: each subcircuit carries the mode's
// arm, and ngspice finds the second pass band the sweep finds, in both circuits.
TEST(SpiceExport, NgspiceFindsTheSecondPassBandOfCrystalsWithModes) {
    const fs::path base =
        fs::path(testing::TempDir()) / ("feldan_spice_modes_" + std::to_string(::getpid()));
    CrystalModel crystal = CrystalFromSeriesResonance(9e6, 15e-3, 12, 3.5e-12);
    crystal.modes = {ModeFromSeriesResonance(9.02e6, 15e-3, 24)};
    const std::vector<CrystalModel> crystals(8, crystal);
    DesignFields design;
    design.filterType = static_cast<int>(FilterType::Ladder8);
    design.texts.Df = "2400";
    for (CircuitChoice circuit : {CircuitChoice::Analysed, CircuitChoice::Schematic}) {
        SCOPED_TRACE(circuit == CircuitChoice::Schematic ? "schematic" : "analysed");
        DesignedFilter filter = DesignFilter(design, '.', circuit, crystals);
        ASSERT_EQ(filter.design.outcome, Outcome::Done);
        SweepRequest request;
        request.circuit = circuit;
        request.fromDetuningHz = 15e3;
        request.toDetuningHz = 30e3;
        request.points = 151;
        const SweepResult sweep = SweepFilter(filter, request);
        SpiceRequest spice;
        spice.fromHz = sweep.fromHz;
        spice.toHz = sweep.toHz;
        spice.points = request.points;
        const std::string netlist = SpiceNetlist(filter, spice);
        EXPECT_NE(netlist.find("\nRm2 m2b b 2.4"), std::string::npos);
        const std::vector<Row> rows = RunNgspice(
            netlist, base / (circuit == CircuitChoice::Schematic ? "schematic" : "analysed"));
        ASSERT_EQ(rows.size(), sweep.points.size());
        double peakDb = -1e9;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::complex<double> s21 =
                2.0 * rows[i].vout * std::sqrt(filter.portOhm / filter.outputPortOhm);
            EXPECT_NEAR(DecibelsOfS(s21), DecibelsOfS(sweep.points[i].s21), 1e-3) << rows[i].hz;
            peakDb = std::max(peakDb, DecibelsOfS(s21));
        }
        EXPECT_GT(peakDb, -10);  // a pass band, not a ripple on the stop band
    }
    if (!HasFailure()) fs::remove_all(base);
}

// A design scaled down so that a transient run is accurate in few steps (Fo 50 kHz, dF 5 kHz):
// ngspice switches a carrier on at the middle of the band through the exported schematic; the
// output's envelope, demodulated over whole carrier periods, follows the step response Feldan
// takes from S21 within 2 % of its settled value.
TEST(SpiceExport, NgspiceTransientFollowsTheStepResponse) {
    DesignFields design;
    design.texts.Fo = "50";
    design.texts.Df = "5000";
    design.texts.Ld = "10";
    design.texts.Cs = "10";
    design.texts.Rd = "1";
    DesignedFilter filter = DesignFilter(design, '.', CircuitChoice::Schematic);
    ASSERT_EQ(filter.design.outcome, Outcome::Done);
    const EnvelopeSpectrum spectrum = SpectrumOfFilter(filter, -3);
    const EnvelopeResponse step = EnvelopeOf(spectrum);
    const double fc = spectrum.centreHz;
    constexpr int PerPeriod = 200;
    const double dt = 1 / (fc * PerPeriod);
    const double stopSec = 100 / fc;

    std::string netlist = SpiceNetlist(filter, SpiceRequest{});
    const auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t at = netlist.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        netlist.replace(at, from.size(), to);
    };
    std::ostringstream source, control;
    source.precision(15);
    source << "V1 src 0 DC 0 SIN(0 1 " << fc << " 0 0 0)";
    replace("V1 src 0 DC 0 AC 1", source.str());
    control.precision(15);
    control << ".tran " << dt << ' ' << stopSec << " 0 " << dt << " uic\n.control\nset "
            << "wr_singlescale\noption numdgt=15\nrun\nlinearize v(out)\nwrdata "
            << "feldan-tran.txt v(out)\nquit\n.endc\n.end\n";
    netlist.erase(netlist.find(".ac lin "));
    netlist += control.str();
    const fs::path folder =
        fs::path(testing::TempDir()) / ("feldan_spice_tran_" + std::to_string(::getpid()));
    RunBatch(netlist, folder);
    std::vector<double> out;
    std::ifstream data(folder / "feldan-tran.txt");
    for (double t, v; data >> t >> v;)
        out.push_back(v);
    ASSERT_GT(out.size(), std::size_t(90 * PerPeriod));

    // The complex envelope: v·e^(−jωt), averaged over the period centred on each sample.
    std::vector<double> envelope(out.size(), 0.0);
    std::complex<double> sum = 0;
    std::vector<std::complex<double>> mixed(out.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        mixed[i] = out[i] * std::polar(1.0, -2 * std::acos(-1.0) * double(i) / PerPeriod);
    for (std::size_t i = 0; i < out.size(); ++i) {
        sum += mixed[i];
        if (i >= PerPeriod) sum -= mixed[i - PerPeriod];
        if (i + 1 >= PerPeriod) envelope[i + 1 - PerPeriod / 2] = 2 * std::abs(sum) / PerPeriod;
    }
    // Settled: the mean of the last ten periods.
    const std::size_t end = out.size() - PerPeriod / 2;
    double settled = 0;
    for (std::size_t i = end - 10 * PerPeriod; i < end; ++i)
        settled += envelope[i] / (10 * PerPeriod);
    double largest = 0;
    for (std::size_t i = PerPeriod; i < end; ++i) {
        const double t = double(i) * dt;
        const std::size_t k = std::size_t(t / step.dtSec);
        if (k + 1 >= step.step.size()) break;
        const double u = t / step.dtSec - double(k);
        const double ours = std::abs(step.step[k]) * (1 - u) + std::abs(step.step[k + 1]) * u;
        largest = std::max(largest, std::abs(envelope[i] / settled - ours));
    }
    EXPECT_LT(largest, 0.02);
    if (!HasFailure()) fs::remove_all(folder);
}

}  // namespace
}  // namespace feldan
