// The V2 protocol: its records read alone, and the driver, the sweeps and the crystal
// measurement through a serial port on the simulated V2, each of its faults with its message.
#include <gtest/gtest.h>

#include <optional>

#include "instruments/analyser_connection.h"
#include "instruments/analyser_sweep.h"
#include "instruments/crystal_measurement.h"
#include "instruments/nanovna_v2.h"
#include "instruments/simulated/simulated_v2.h"
#include "instruments/v2_records.h"

namespace feldan {
namespace {

using namespace std::chrono_literals;
using simulated::SimulatedV2;
using simulated::SimulatedV2Settings;
using simulated::V2Misbehaviour;

const CrystalModel Crystal = CrystalFromSeriesResonance(9.999e6, 0.07, 12, 4e-12);
// Short limits: the simulator answers at once, so any wait of this length is a fault.
constexpr ReadLimits Short{300ms, 50ms, 300ms, 300ms, 1ms, 50ms};

std::string Record(std::initializer_list<std::int32_t> waves, unsigned index) {
    std::string bytes;
    for (const std::int32_t w : waves)
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((std::uint32_t(w) >> (8 * i)) & 0xff);
    bytes += static_cast<char>(index & 0xff);
    bytes += static_cast<char>(index >> 8);
    return bytes + std::string(6, '\x55');
}

TEST(V2ScanRecords, AveragesTheRatiosOfEachIndexWhateverTheOrder) {
    V2ScanRecords records(2, 2);
    // Forward 2, reflected 1, transmitted -2j at index 1; forward -4j at index 0: by hand.
    std::string bytes = Record({0, -4, 4, 0, 0, 4}, 0) + Record({2, 0, 1, 0, 0, -2}, 1) +
                        Record({2, 0, 0, 0, 2, 0}, 1) + Record({0, -4, 0, 4, -4, 0}, 0);
    bytes.resize(bytes.size() - 5);  // the last record not yet whole
    records.Take(bytes, 10, "pts");
    EXPECT_EQ(records.Records(), 3);
    EXPECT_EQ(bytes.size(), V2RecordBytes - 5);
    bytes += Record({0, -4, 0, 4, -4, 0}, 0).substr(V2RecordBytes - 5);
    records.Take(bytes, 10, "pts");
    ASSERT_TRUE(records.Complete());
    const auto s11 = records.MeanS11(), s21 = records.MeanS21();
    const std::complex<double> expected[][2] = {
        {{-0.5, 0.5}, {-0.5, -0.5}},  // (4/-4j + 4j/-4j) / 2, (4j/-4j + -4/-4j) / 2
        {{0.25, 0}, {0.5, -0.5}},     // (1/2 + 0/2) / 2, (-2j/2 + 2/2) / 2
    };
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(std::abs(s11[i] - expected[i][0]), 0, 1e-15) << i;
        EXPECT_NEAR(std::abs(s21[i] - expected[i][1]), 0, 1e-15) << i;
    }
}

TEST(V2ScanRecords, AGarbledRecordIsNamedByItsNumber) {
    const std::string good = Record({1, 0, 0, 0, 0, 0}, 0);
    const std::string cases[] = {
        good + Record({1, 0, 0, 0, 0, 0}, 3),  // an index beyond the points
        good + good,                           // a reading more than asked
        good + Record({0, 0, 5, 5, 5, 5}, 1),  // no forward wave to divide by
    };
    for (const std::string& bytes : cases) {
        V2ScanRecords records(3, 1);
        std::string left = bytes;
        try {
            records.Take(left, 10, "pts");
            ADD_FAILURE() << "taken";
        } catch (const InstrumentError& error) {
            EXPECT_EQ(error.message().id, MessageId::VnaBadRecord);
            EXPECT_EQ(error.message().value, "2");
        }
    }
}

struct Session {
    explicit Session(const SimulatedV2Settings& settings)
        : device(settings), port(PosixSerialPort::Open(device.Port())), v2(*port, "pts", Short) {}
    SimulatedV2 device;
    std::unique_ptr<PosixSerialPort> port;
    NanoVnaV2 v2;
};

SimulatedV2Settings Firmware(unsigned major, unsigned minor, bool lite = false) {
    SimulatedV2Settings settings;
    settings.response = simulated::CrystalInSeries(Crystal);
    settings.firmwareMajor = major;
    settings.firmwareMinor = minor;
    settings.forgetsSweep = lite;
    return settings;
}

TEST(NanoVnaV2, SaysWhoItIsAfterResettingTheParser) {
    struct Case {
        SimulatedV2Settings device;
        std::string board, firmware;
        int maxPoints;
    };
    const Case cases[] = {
        {Firmware(1, 3), "NanoVNA V2, hardware 2", "1.0.3", 1024},
        {Firmware(1, 1), "NanoVNA V2, hardware 2", "1.0.1", 1023},  // a point for the bad one
        {Firmware(2, 2, true), "LiteVNA, hardware 2", "2.2", 65535},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firmware);
        Session session(c.device);
        const AnalyserIdentity identity = session.v2.Connect();
        EXPECT_EQ(identity.family, AnalyserFamily::Binary);
        EXPECT_EQ(identity.board, c.board);
        EXPECT_EQ(identity.firmware, c.firmware);
        EXPECT_EQ(identity.maxScanPoints, c.maxPoints);
        EXPECT_EQ(session.device.FirstBytes().substr(0, 9), std::string(8, '\0') + "\x0d");
    }
}

// Old firmware's first point, the LiteVNA's forgotten sweep and a read answered short: the
// sweeps still hold the crystal's own S-parameters, read in pieces of at most 255 records.
TEST(NanoVnaV2, SweepsHoldTheCrystalsSParametersOnEveryFirmware) {
    SimulatedV2Settings shortRead = Firmware(1, 3);
    shortRead.misbehaviour = V2Misbehaviour::ShortRead;
    const SimulatedV2Settings devices[] = {Firmware(1, 3), Firmware(1, 1), Firmware(2, 2, true),
                                           shortRead};
    for (const SimulatedV2Settings& device : devices) {
        SCOPED_TRACE(std::to_string(device.firmwareMajor) + "." +
                     std::to_string(device.firmwareMinor));
        Session session(device);
        AnalyserIdentity identity = session.v2.Connect();
        for (const auto& [from, to] : {std::pair{9.99e6, 10.01e6}, std::pair{9.998e6, 10.0e6}}) {
            AnalyserSweep sweep;
            MeasurementContext context{session.v2, identity, {}, MeasurementStage::Sweep, 0};
            MeasureSweep(context, {from, to, 600, 1, 0}, sweep);
            ASSERT_EQ(sweep.size(), 600u);
            EXPECT_NEAR(sweep.frequencyHz.front(), from, 1);
            for (std::size_t i = 0; i < sweep.size(); ++i) {
                const std::complex<double> z = Crystal.Impedance(sweep.frequencyHz[i]);
                EXPECT_NEAR(std::abs(sweep.s21[i] - 100.0 / (100.0 + z)), 0, 1e-7) << i;
                EXPECT_NEAR(std::abs(sweep.s11[i] - z / (100.0 + z)), 0, 1e-7) << i;
            }
        }
        EXPECT_EQ(session.device.Scans(), 2);
        EXPECT_EQ(session.device.ScansWithSweepWritten(), 2);
        EXPECT_LE(session.device.LargestFifoRead(), V2MostRecordsPerRead);
        EXPECT_FALSE(session.device.AskedForAllRecords());
    }
}

// The device averages the readings of one frequency: reading k is off by (k + 1)·0.01, so the
// mean of N is off by (N + 1)·0.005; one scan whatever N.
TEST(NanoVnaV2, AveragingOfNGivesTheMeanOfNReadings) {
    for (const int averages : {1, 4, 7}) {
        SCOPED_TRACE(averages);
        SimulatedV2Settings settings = Firmware(1, 3);
        settings.readingStep = 0.01;
        Session session(settings);
        AnalyserIdentity identity = session.v2.Connect();
        AnalyserSweep sweep;
        MeasurementContext context{session.v2, identity, {}, MeasurementStage::Sweep, 0};
        MeasureSweep(context, {9.99e6, 10.01e6, 101, averages, 0}, sweep);
        ASSERT_EQ(sweep.size(), 101u);
        const double off = (averages + 1) * 0.005;
        for (std::size_t i = 0; i < sweep.size(); ++i) {
            const std::complex<double> s21 =
                100.0 / (100.0 + Crystal.Impedance(sweep.frequencyHz[i]));
            EXPECT_NEAR(std::abs(sweep.s21[i] - s21 - std::complex<double>(off, off)), 0, 1e-7);
        }
        EXPECT_EQ(session.device.Scans(), 1);
    }
}

TEST(NanoVnaV2, EachFaultEndsWithItsMessageAndKeepsTheScansBefore) {
    struct Case {
        V2Misbehaviour misbehaviour;
        MessageId id;
        bool connects;
    };
    const Case cases[] = {
        {V2Misbehaviour::Silent, MessageId::VnaNotAnalyser, false},
        {V2Misbehaviour::FirmwareUpdate, MessageId::VnaFirmwareUpdate, false},
        {V2Misbehaviour::MissFirstRead, MessageId::None, true},
        {V2Misbehaviour::StopMidRecord, MessageId::VnaTimeout, true},
        {V2Misbehaviour::DropMidRecord, MessageId::VnaPortClosed, true},
        {V2Misbehaviour::GarbleRecord, MessageId::VnaBadRecord, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.misbehaviour));
        SimulatedV2Settings settings = Firmware(1, 3);
        settings.misbehaviour = c.misbehaviour;
        settings.atScan = 2;
        Session session(settings);
        AnalyserSweep sweep;
        try {
            AnalyserIdentity identity = session.v2.Connect();
            EXPECT_TRUE(c.connects);
            MeasurementContext context{session.v2, identity, {}, MeasurementStage::Sweep, 0};
            MeasureSweep(context, {9.99e6, 10.01e6, 2000, 1, 0}, sweep);
            EXPECT_EQ(c.id, MessageId::None);
        } catch (const InstrumentError& error) {
            EXPECT_EQ(error.message().id, c.id) << error.what();
            EXPECT_EQ(error.message().file, "pts");
            EXPECT_EQ(sweep.size(), c.connects ? 1000u : 0u);  // the first of two scans
        }
    }
}

TEST(ConnectAnalyser, FindsTheV2ByItsAnswer) {
    SimulatedV2 device(Firmware(1, 1));
    const AnalyserConnection analyser = ConnectAnalyser(device.Port(), Short);
    EXPECT_EQ(analyser.identity.family, AnalyserFamily::Binary);
    EXPECT_EQ(analyser.identity.firmware, "1.0.1");
    EXPECT_EQ(device.FirstBytes().substr(0, 8), std::string(8, '\0'));
}

// Through the V2, as through the text shell: the crystal behind it, found and fitted.
TEST(MeasureCrystal, FindsTheCrystalBehindAV2) {
    for (const SimulatedV2Settings& device : {Firmware(1, 1), Firmware(2, 2, true)}) {
        Session session(device);
        AnalyserIdentity identity = session.v2.Connect();
        CrystalMeasurementSettings settings;
        settings.nominalHz = 10e6;
        const CrystalMeasurement m = MeasureCrystal(session.v2, identity, settings);
        ASSERT_TRUE(m.fit.has_value()) << MessageText(*m.message);
        EXPECT_NEAR(m.fit->model.fsHz, Crystal.fsHz, 2);
        EXPECT_NEAR(m.fit->model.lmH, Crystal.lmH, 0.02 * Crystal.lmH);
    }
}

}  // namespace
}  // namespace feldan
