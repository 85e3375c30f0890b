// The search, zoom, average and fit of a crystal behind the simulated analyser: the crystal found
// is the one behind it, and a fault or a stop ends the measurement with what was measured kept.
#include <gtest/gtest.h>

#include "instruments/crystal_measurement.h"
#include "instruments/serial_ports.h"
#include "instruments/simulated/simulated_analyser.h"

namespace feldan {
namespace {

using namespace std::chrono_literals;

const CrystalModel Crystal = CrystalFromSeriesResonance(9.999e6, 0.07, 12, 4e-12);

struct Measured {
    CrystalMeasurement result;
    int scans = 0;  // as the simulator counts them
};

Measured Measure(simulated::SimulatedAnalyserSettings settings,
                 const CrystalMeasurementSettings& measurement,
                 const ProgressCallback& progress = {}) {
    if (!settings.response) settings.response = simulated::CrystalInSeries(Crystal);
    simulated::SimulatedAnalyser device(settings);
    const auto port = PosixSerialPort::Open(device.Port());
    NanoVnaShell shell(*port, "pts", ReadLimits{300ms, 50ms, 300ms, 300ms});
    AnalyserIdentity identity = shell.Connect();
    Measured measured{MeasureCrystal(shell, identity, measurement, progress), 0};
    measured.scans = device.Scans();
    return measured;
}

CrystalMeasurementSettings Near(double hz, double ppm = 0) {
    CrystalMeasurementSettings settings;
    settings.nominalHz = hz;
    settings.ppm = ppm;
    return settings;
}

TEST(MeasureCrystal, FindsTheCrystalBehindTheAnalyser) {
    struct Case {
        const char* board;
        int maxPoints;
        double noise;
        double nominalHz;  // off the crystal's fs by kilohertz, as a printed frequency is
        double clockPpm;   // of the simulated analyser, and given as the correction
    };
    const Case cases[] = {
        {"NanoVNA-H", 101, 2e-4, 10e6, 0},
        {"NanoVNA-H 4", 401, 2e-4, 9.995e6, 0},
        {"NanoVNA-H", 101, 0, 10.003e6, 0},
        {"NanoVNA-H", 101, 2e-4, 10e6, -30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.board) + " noise " + std::to_string(c.noise));
        simulated::SimulatedAnalyserSettings settings;
        settings.info = c.board;
        settings.maxScanPoints = c.maxPoints;
        settings.noise = c.noise;
        settings.clockPpm = c.clockPpm;
        const Measured measured = Measure(settings, Near(c.nominalHz, c.clockPpm));
        const CrystalMeasurement& m = measured.result;
        ASSERT_TRUE(m.fit.has_value()) << MessageText(*m.message);
        EXPECT_FALSE(m.message) << MessageText(*m.message);
        EXPECT_NEAR(m.fit->model.fsHz, Crystal.fsHz, 2);
        EXPECT_NEAR(m.fit->model.lmH, Crystal.lmH, 0.02 * Crystal.lmH);
        EXPECT_NEAR(m.fit->model.rmOhm, Crystal.rmOhm, 0.5);
        // Noise of 2e-4 against a target of 1e-4 calls for about four scans; none for two.
        EXPECT_NEAR(m.noise, c.noise, 0.2 * c.noise + 1e-9);
        EXPECT_NEAR(m.averages, c.noise > 0 ? 4 : 2, c.noise > 0 ? 1 : 0);
        EXPECT_EQ(m.scans, measured.scans);
        // The kept sweep is what the fit took: increasing, around the crystal's fs.
        ASSERT_EQ(m.sweep.frequencyHz.size(), m.sweep.measured.size());
        for (std::size_t i = 1; i < m.sweep.frequencyHz.size(); ++i) {
            ASSERT_GT(m.sweep.frequencyHz[i], m.sweep.frequencyHz[i - 1]);
        }
        EXPECT_LT(m.sweep.frequencyHz.front(), Crystal.fsHz - 5000);
        EXPECT_GT(m.sweep.frequencyHz.back(), Crystal.fsHz + 5000);
    }
}

TEST(MeasureCrystal, EndsWithAMessageAndKeepsWhatWasMeasured) {
    // No crystal in the fixture: only the fixture's leakage comes through.
    simulated::SimulatedAnalyserSettings open;
    open.response = [](double) { return std::array<std::complex<double>, 2>{1.0, 1e-4}; };
    open.noise = 2e-4;
    const Measured none = Measure(open, Near(10e6));
    EXPECT_FALSE(none.result.fit);
    EXPECT_EQ(none.result.message->id, MessageId::VnaNoCrystal);
    EXPECT_EQ(none.result.sweep.frequencyHz.size(), 401u);

    // The port vanishes in the middle of the zoom: the search sweep is kept.
    simulated::SimulatedAnalyserSettings dropped;
    dropped.misbehaviour = simulated::Misbehaviour::DropPort;
    dropped.atScan = 5;
    const Measured cut = Measure(dropped, Near(10e6));
    EXPECT_FALSE(cut.result.fit);
    EXPECT_EQ(cut.result.message->id, MessageId::VnaPortClosed);
    EXPECT_EQ(cut.result.sweep.frequencyHz.size(), 401u);

    // Stopped by the caller after the search: the progress saw every stage up to there.
    std::vector<MeasurementStage> stages;
    const Measured stopped = Measure({}, Near(10e6), [&](const MeasurementProgress& progress) {
        stages.push_back(progress.stage);
        return progress.stage == MeasurementStage::Search;
    });
    EXPECT_EQ(stopped.result.message->id, MessageId::VnaCancelled);
    EXPECT_EQ(stopped.scans, 4);
    ASSERT_EQ(stages.size(), 5u);
    EXPECT_EQ(stages[3], MeasurementStage::Search);
    EXPECT_EQ(stages[4], MeasurementStage::Zoom);
    EXPECT_EQ(stopped.result.sweep.frequencyHz.size(), 401u);
}

}  // namespace
}  // namespace feldan
