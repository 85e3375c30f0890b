#include "instruments/v2_records.h"

#include <algorithm>
#include <cstdint>

#include "instruments/instrument_error.h"

namespace feldan {

namespace {

std::int32_t Int32At(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return static_cast<std::int32_t>(value);
}

std::complex<double> WaveAt(std::string_view bytes, std::size_t at) {
    return {double(Int32At(bytes, at)), double(Int32At(bytes, at + 4))};
}

}  // namespace

V2Record DecodeV2Record(std::string_view bytes) {
    V2Record record;
    record.forward = WaveAt(bytes, 0);
    record.reflected = WaveAt(bytes, 8);
    record.transmitted = WaveAt(bytes, 16);
    record.index = unsigned(static_cast<unsigned char>(bytes[24])) |
                   unsigned(static_cast<unsigned char>(bytes[25])) << 8;
    return record;
}

V2ScanRecords::V2ScanRecords(int points, int readings)
    : points_(std::max(points, 0)),
      readings_(std::max(readings, 1)),
      counts_(std::size_t(points_)),
      s11_(std::size_t(points_)),
      s21_(std::size_t(points_)) {}

void V2ScanRecords::Take(std::string& bytes, int most, const std::string& port) {
    const std::size_t whole =
        std::min<std::size_t>(bytes.size() / V2RecordBytes, std::size_t(std::max(most, 0)));
    std::size_t at = 0;
    for (std::size_t n = 0; n < whole; ++n, at += V2RecordBytes) {
        const V2Record record = DecodeV2Record(std::string_view(bytes).substr(at));
        const int number = records_ + 1;
        if (record.index >= unsigned(points_) || counts_[record.index] == readings_ ||
            record.forward == 0.0) {
            bytes.erase(0, at + V2RecordBytes);
            throw PortFault(MessageId::VnaBadRecord, port, std::to_string(number));
        }
        ++counts_[record.index];
        s11_[record.index] += record.reflected / record.forward;
        s21_[record.index] += record.transmitted / record.forward;
        records_ = number;
    }
    bytes.erase(0, at);
}

std::vector<std::complex<double>> V2ScanRecords::MeanS11() const {
    std::vector<std::complex<double>> mean = s11_;
    for (std::complex<double>& s : mean)
        s /= readings_;
    return mean;
}

std::vector<std::complex<double>> V2ScanRecords::MeanS21() const {
    std::vector<std::complex<double>> mean = s21_;
    for (std::complex<double>& s : mean)
        s /= readings_;
    return mean;
}

}  // namespace feldan
