// A NanoVNA of the text shell on a pseudo-terminal, written from the shell's description: it
// echoes what it is sent, answers info, version and scan (any mask of frequency, S11 and S21)
// from a two-port behind it with noise of a stated level, ends every answer with "ch> ", and
// misbehaves on request. It runs on its own thread; a program opens Port() as a serial port.
#pragma once

#include <array>
#include <atomic>
#include <complex>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "engine/crystal.h"

namespace feldan::simulated {

// S11 and S21 of what is behind the analyser, at a frequency.
using TwoPortResponse = std::function<std::array<std::complex<double>, 2>(double hz)>;

// A crystal in series between the two ports, each `portOhm`: S21 = 2R/(2R + Z), S11 = Z/(2R + Z).
TwoPortResponse CrystalInSeries(const CrystalModel& crystal, double portOhm = 50);

enum class Misbehaviour {
    None,
    StopAnswering,  // from a line of a scan's answer on, says nothing more
    DropPort,       // at a line of a scan's answer, closes its end of the pseudo-terminal
    GarbleLine,     // sends a line of a scan's answer with its bytes mangled
    ShortLine,      // sends a line of a scan's answer with its last two numbers missing
    OmitPrompt,     // ends a scan's answer without the prompt
    NoShell,        // a device of another kind: answers every line with "ERROR"
};

struct SimulatedAnalyserSettings {
    TwoPortResponse response;
    std::string info = "NanoVNA-H";  // the first line of `info`
    std::string version = "1.2.00";
    int maxScanPoints = 101;  // a scan of more is refused with a line of text
    double noise = 0;         // standard deviation of each component of S11 and S21
    std::uint64_t seed = 1;
    // The clock's error: a point reported at f is measured at f·(1 + clockPpm·1e-6).
    double clockPpm = 0;
    Misbehaviour misbehaviour = Misbehaviour::None;
    int atScan = 1;  // the scan (counted from 1) and the line of its answer that misbehave
    int atLine = 5;
};

class SimulatedAnalyser {
  public:
    explicit SimulatedAnalyser(SimulatedAnalyserSettings settings);
    ~SimulatedAnalyser();
    SimulatedAnalyser(const SimulatedAnalyser&) = delete;
    SimulatedAnalyser& operator=(const SimulatedAnalyser&) = delete;

    // The path of the pseudo-terminal's slave side, "/dev/pts/N".
    const std::string& Port() const { return port_; }
    // The scans answered so far.
    int Scans() const { return scans_; }

  private:
    void Run();
    // The answer to one command line; false when the simulator is to fall silent.
    bool Answer(const std::string& line);
    bool Send(const std::string& bytes);

    SimulatedAnalyserSettings settings_;
    int master_ = -1;
    int slave_ = -1;
    std::string port_;
    std::atomic<bool> stop_{false};
    std::atomic<int> scans_{0};
    std::thread thread_;
};

}  // namespace feldan::simulated
