// The shell and the sweeps through a serial port on the simulated analyser, and each fault of a
// port or a device with its own message.
#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

#include "instruments/analyser_connection.h"
#include "instruments/analyser_sweep.h"
#include "instruments/serial_ports.h"
#include "instruments/simulated/simulated_analyser.h"

namespace feldan {
namespace {

using namespace std::chrono_literals;
using simulated::Misbehaviour;
using simulated::SimulatedAnalyser;
using simulated::SimulatedAnalyserSettings;

const CrystalModel Crystal = CrystalFromSeriesResonance(9.999e6, 0.07, 12, 4e-12);

// Short limits: the simulator answers at once, so any wait of this length is a fault.
constexpr ReadLimits Short{300ms, 50ms, 300ms, 300ms};

SimulatedAnalyserSettings CrystalAnalyser() {
    SimulatedAnalyserSettings settings;
    settings.response = simulated::CrystalInSeries(Crystal);
    return settings;
}

struct Session {
    explicit Session(const SimulatedAnalyserSettings& settings)
        : device(settings),
          port(PosixSerialPort::Open(device.Port())),
          shell(*port, "pts", Short) {}
    SimulatedAnalyser device;
    std::unique_ptr<PosixSerialPort> port;
    NanoVnaShell shell;
};

void Sweep(Session& session, AnalyserIdentity& identity, const SweepPlan& plan,
           AnalyserSweep& sweep) {
    MeasurementContext context{session.shell, identity, {}, MeasurementStage::Sweep, 0};
    MeasureSweep(context, plan, sweep);
}

TEST(NanoVnaShell, KnowsTheBoardsScanLength) {
    struct Case {
        std::string info;
        int maxPoints;      // of the simulated board
        int expectedTried;  // what the shell takes from the name
    };
    const Case cases[] = {
        {"NanoVNA-H", 101, 101},
        {"Board: NanoVNA-H 4", 401, 401},
        {"SomeVNA-X", 101, 401},  // not named: tried at 401, and a refusal lowers it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.info);
        SimulatedAnalyserSettings settings = CrystalAnalyser();
        settings.info = c.info;
        settings.maxScanPoints = c.maxPoints;
        Session session(settings);
        AnalyserIdentity identity = session.shell.Connect();
        EXPECT_EQ(identity.board, c.info);
        EXPECT_EQ(identity.firmware, "1.2.00");
        EXPECT_EQ(identity.maxScanPoints, c.expectedTried);
        // 803 points: as few scans as the board's length allows, of about equal size.
        AnalyserSweep sweep;
        Sweep(session, identity, {9.99e6, 10.01e6, 803, 1, 0}, sweep);
        ASSERT_EQ(sweep.size(), 803u);
        EXPECT_EQ(identity.maxScanPoints, c.maxPoints);
        EXPECT_EQ(session.device.Scans(), (803 + c.maxPoints - 1) / c.maxPoints);
    }
}

// Joined scans give the crystal's own S-parameters at increasing frequencies, and the clock's
// error, corrected, gives them at the true frequencies.
TEST(MeasureSweep, JoinedScansHoldTheCrystalsSParameters) {
    for (const double ppm : {0.0, 25.0}) {
        SCOPED_TRACE(ppm);
        SimulatedAnalyserSettings settings = CrystalAnalyser();
        settings.clockPpm = ppm;
        Session session(settings);
        AnalyserIdentity identity = session.shell.Connect();
        AnalyserSweep sweep;
        Sweep(session, identity, {9.995e6, 10.005e6, 250, 1, ppm}, sweep);
        ASSERT_EQ(sweep.size(), 250u);
        for (std::size_t i = 0; i < sweep.size(); ++i) {
            if (i > 0) {
                ASSERT_GT(sweep.frequencyHz[i], sweep.frequencyHz[i - 1]);
            }
            const std::complex<double> z = Crystal.Impedance(sweep.frequencyHz[i]);
            EXPECT_NEAR(std::abs(sweep.s21[i] - 100.0 / (100.0 + z)), 0, 1e-6) << i;
            EXPECT_NEAR(std::abs(sweep.s11[i] - z / (100.0 + z)), 0, 1e-6) << i;
        }
        EXPECT_NEAR(sweep.frequencyHz.front(), 9.995e6, 1);
        EXPECT_NEAR(sweep.frequencyHz.back(), 10.005e6, 1);
    }
}

TEST(MeasureSweep, EachFaultEndsWithItsMessageAndKeepsTheScansBefore) {
    struct Case {
        Misbehaviour misbehaviour;
        MessageId id;
        int line;  // of the answer, in the message
    };
    const Case cases[] = {
        {Misbehaviour::DropPort, MessageId::VnaPortClosed, 0},
        {Misbehaviour::StopAnswering, MessageId::VnaTimeout, 0},
        {Misbehaviour::GarbleLine, MessageId::VnaScanLine, 5},
        {Misbehaviour::ShortLine, MessageId::VnaScanLine, 5},
        {Misbehaviour::OmitPrompt, MessageId::VnaNoPrompt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.misbehaviour));
        SimulatedAnalyserSettings settings = CrystalAnalyser();
        settings.misbehaviour = c.misbehaviour;
        settings.atScan = 2;
        Session session(settings);
        AnalyserIdentity identity = session.shell.Connect();
        AnalyserSweep sweep;
        try {
            Sweep(session, identity, {9.99e6, 10.01e6, 300, 1, 0}, sweep);
            ADD_FAILURE() << "no fault";
        } catch (const InstrumentError& error) {
            EXPECT_EQ(error.message().id, c.id) << error.what();
            EXPECT_EQ(error.message().file, "pts");
            EXPECT_EQ(error.message().line, c.line);
        }
        EXPECT_EQ(sweep.size(), 100u);  // the first of three scans
    }
}

TEST(NanoVnaShell, APortWithoutTheShellIsNoAnalyser) {
    SimulatedAnalyserSettings settings = CrystalAnalyser();
    settings.misbehaviour = Misbehaviour::NoShell;
    Session session(settings);
    try {
        session.shell.Connect();
        ADD_FAILURE() << "connected";
    } catch (const InstrumentError& error) {
        EXPECT_EQ(error.message().id, MessageId::VnaNotAnalyser);
    }
    // A shell whose info names no analyser (a tinySA, say) is none either.
    settings = CrystalAnalyser();
    settings.info = "tinySA v1.3";
    Session other(settings);
    EXPECT_THROW(other.shell.Connect(), InstrumentError);
}

TEST(PosixSerialPort, RefusalsSayWhatToDo) {
    SimulatedAnalyser device(CrystalAnalyser());
    const auto first = PosixSerialPort::Open(device.Port());
    try {
        PosixSerialPort::Open(device.Port());
        ADD_FAILURE() << "opened twice";
    } catch (const InstrumentError& error) {
        EXPECT_EQ(error.message().id, MessageId::VnaBusy);
    }
    EXPECT_EQ(OpenFailure("/dev/ttyACM0", EACCES).message().id, MessageId::VnaNoPermission);
    EXPECT_NE(std::string(OpenFailure("/dev/ttyACM0", EACCES).what()).find("dialout"),
              std::string::npos);
    EXPECT_EQ(OpenFailure("/dev/ttyACM0", EBUSY).message().id, MessageId::VnaBusy);
    try {
        PosixSerialPort::Open("/dev/nonexistent-port");
        ADD_FAILURE() << "opened";
    } catch (const InstrumentError& error) {
        EXPECT_EQ(error.message().id, MessageId::VnaOpenFailed);
        EXPECT_EQ(error.message().file, "/dev/nonexistent-port");
    }
}

// One way in for every front end: a port that opens and answers is an analyser with its
// identity; each way it can fail names the path it was given.
TEST(ConnectAnalyser, OpensConnectsOrNamesThePort) {
    struct Case {
        const char* what;
        Misbehaviour misbehaviour;
        std::string info;
        bool missingPort;
        std::optional<MessageId> fault;
    };
    const Case cases[] = {
        {"an analyser", Misbehaviour::None, "NanoVNA-H 4", false, std::nullopt},
        {"no shell", Misbehaviour::NoShell, "NanoVNA-H", false, MessageId::VnaNotAnalyser},
        {"another device", Misbehaviour::None, "tinySA v1.3", false, MessageId::VnaNotAnalyser},
        {"no port", Misbehaviour::None, "NanoVNA-H", true, MessageId::VnaOpenFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimulatedAnalyserSettings settings = CrystalAnalyser();
        settings.misbehaviour = c.misbehaviour;
        settings.info = c.info;
        SimulatedAnalyser device(settings);
        const std::string path = c.missingPort ? "/dev/nonexistent-port" : device.Port();
        try {
            AnalyserConnection analyser = ConnectAnalyser(path, Short);
            EXPECT_FALSE(c.fault);
            EXPECT_EQ(analyser.identity.board, c.info);
            EXPECT_EQ(analyser.identity.maxScanPoints, LargeBoardScanPoints);
            EXPECT_EQ(analyser.shell->Port(), path);
        } catch (const InstrumentError& error) {
            EXPECT_EQ(std::optional(error.message().id), c.fault) << error.what();
            EXPECT_EQ(error.message().file, path);
        }
    }
}

}  // namespace
}  // namespace feldan
