// The records a NanoVNA V2 or LiteVNA sends from its FIFO, one per reading: 32 bytes, the
// forward, reflected and transmitted waves as int32 pairs (real, imaginary), the frequency index
// as u16 and six bytes unused, all little-endian.
#pragma once

#include <complex>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace feldan {

inline constexpr std::size_t V2RecordBytes = 32;

struct V2Record {
    std::complex<double> forward;
    std::complex<double> reflected;
    std::complex<double> transmitted;
    unsigned index = 0;
};

// The record in the first V2RecordBytes of `bytes`, which must hold them.
V2Record DecodeV2Record(std::string_view bytes);

// The readings of one scan, summed by frequency index as they arrive: `points` indices, each
// with `readings` records, in whatever order the device sends them.
class V2ScanRecords {
  public:
    V2ScanRecords(int points, int readings);

    // Takes the whole records at the front of `bytes`, at most `most`, and erases them; a part
    // of a record stays for the bytes still to come. Throws InstrumentError VnaBadRecord naming
    // `port` and the record's number in the scan for an index beyond the points, an index that
    // has all its readings already, or a forward wave of zero.
    void Take(std::string& bytes, int most, const std::string& port);

    int Records() const { return records_; }
    int Wanted() const { return points_ * readings_; }
    bool Complete() const { return records_ == Wanted(); }

    // The mean over the readings of each index of reflected/forward (S11) and
    // transmitted/forward (S21); dividing by the forward wave suits old firmware and new.
    std::vector<std::complex<double>> MeanS11() const;
    std::vector<std::complex<double>> MeanS21() const;

  private:
    int points_;
    int readings_;
    int records_ = 0;
    std::vector<int> counts_;
    std::vector<std::complex<double>> s11_;
    std::vector<std::complex<double>> s21_;
};

}  // namespace feldan
