// A NanoVNA V2 or LiteVNA on a pseudo-terminal, written from the protocol's description: it
// parses the opcodes, keeps the registers, sweeps the two-port behind it into FIFO records as
// they are read, and misbehaves on request as devices in the field do. It also notes what the
// host asked of it, for the tests to check.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "instruments/simulated/simulated_analyser.h"

namespace feldan::simulated {

enum class V2Misbehaviour {
    None,
    Silent,          // answers nothing at all
    MissFirstRead,   // does not answer the first register read after it starts
    FirmwareUpdate,  // its bootloader: firmware major 0xFF
    StopMidRecord,   // sends half of a record, then says nothing more
    DropMidRecord,   // sends half of a record, then closes its end of the pseudo-terminal
    GarbleRecord,    // sends a record with a frequency index of 0xFFFF
    ShortRead,       // answers the first FIFO read of every scan with half the records asked
};

struct SimulatedV2Settings {
    TwoPortResponse response;
    // Firmware a.0.b as F3 = a, F4 = b; 1.0.1 and older send a wrong S21 at the first point.
    unsigned firmwareMajor = 1;
    unsigned firmwareMinor = 3;
    unsigned hardware = 2;
    // A LiteVNA: leaving USB mode forgets the sweep, which falls back to the device's own.
    bool forgetsSweep = false;
    // Reading k (from 0) of a point has S21 off by (k + 1)·readingStep in both components.
    double readingStep = 0;
    double clockPpm = 0;  // a point of frequency f is measured at f·(1 + clockPpm·1e-6)
    V2Misbehaviour misbehaviour = V2Misbehaviour::None;
    int atScan = 1;  // the scan (FIFO clears, counted from 1) and its record that misbehave
    int atRecord = 5;
};

class SimulatedV2 {
  public:
    explicit SimulatedV2(SimulatedV2Settings settings);
    ~SimulatedV2();
    SimulatedV2(const SimulatedV2&) = delete;
    SimulatedV2& operator=(const SimulatedV2&) = delete;

    const std::string& Port() const { return port_; }
    int Scans() const { return scans_; }
    // The first bytes the host sent, up to 16.
    std::string FirstBytes() const;
    // The most records one FIFO read asked for; 0 asks for all of them.
    int LargestFifoRead() const { return largestRead_; }
    bool AskedForAllRecords() const { return askedForAll_; }
    // Scans whose start, step, points and readings were all written since the scan before.
    int ScansWithSweepWritten() const { return rewritten_; }

  private:
    void Run();
    // Answers the commands at the front of `pending_`; false when the simulator falls silent.
    bool Parse();
    bool Fifo(int count);
    bool Send(const std::string& bytes);
    std::string RecordAt();
    void ResetSweep();

    SimulatedV2Settings settings_;
    int master_ = -1;
    int slave_ = -1;
    std::string port_;
    std::string pending_;
    std::map<unsigned, std::uint64_t> registers_;
    unsigned written_ = 0;  // bits of the sweep registers written since the last scan
    int index_ = 0;         // of the next record: its point and its reading
    int reading_ = 0;
    int recordInScan_ = 0;
    int fifoReads_ = 0;  // in this scan
    bool readMissed_ = false;
    mutable std::mutex seenMutex_;
    std::string seen_;
    std::atomic<bool> stop_{false};
    std::atomic<int> scans_{0};
    std::atomic<int> largestRead_{0};
    std::atomic<bool> askedForAll_{false};
    std::atomic<int> rewritten_{0};
    std::thread thread_;
};

}  // namespace feldan::simulated
