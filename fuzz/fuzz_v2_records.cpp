// The V2 record reader on any bytes, fed in pieces of any size: every record is taken or
// refused with its message, never a crash; the records taken stay within the scan, and a
// complete scan has finite means.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "instruments/instrument_error.h"
#include "instruments/v2_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    // The first bytes choose the scan and the size of the pieces the rest arrives in.
    const int points = 1 + data[0] % 8;
    const int readings = 1 + data[1] % 4;
    const std::size_t piece = 1 + data[2] % 64;
    const std::string input(reinterpret_cast<const char*>(data) + 3, size - 3);
    feldan::V2ScanRecords records(points, readings);
    std::string buffer;
    try {
        for (std::size_t at = 0; at < input.size() && !records.Complete(); at += piece) {
            buffer += input.substr(at, piece);
            records.Take(buffer, records.Wanted() - records.Records(), "fuzz");
            FELDAN_FUZZ_CHECK(buffer.size() < feldan::V2RecordBytes || records.Complete(), input);
        }
    } catch (const feldan::InstrumentError& error) {
        FELDAN_FUZZ_CHECK(error.message().id == feldan::MessageId::VnaBadRecord, input);
        return 0;
    }
    FELDAN_FUZZ_CHECK(records.Records() <= records.Wanted(), input);
    if (!records.Complete()) return 0;
    for (const auto& means : {records.MeanS11(), records.MeanS21()})
        for (const std::complex<double>& s : means)
            FELDAN_FUZZ_CHECK(std::isfinite(s.real()) && std::isfinite(s.imag()), input);
    return 0;
}
