// The one table form of curves and sweeps: numbers read back to their bits, a point without a
// solution keeps its frequency, and the columns are those asked.
#include "files/sweep_csv.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <sstream>

#include "engine/number_text.h"

namespace feldan {
namespace {

TEST(SweepCsv, NumbersReadBackExactlyAndAFailedPointLeavesItsColumnsEmpty) {
    SweepResult sweep;
    SweepPoint good;
    good.hz = 8861736.123456789;
    good.ok = true;
    good.s21 = {0.1, 0.2};
    good.s11 = {0.5, 0};  // |S11| = 0.5: 6.0206 dB of return loss
    good.groupDelaySec = 1.234567890123456e-3;
    good.zin = {301.12345678901234, -7.5};
    SweepPoint failed;
    failed.hz = 8861737;
    sweep.points = {good, failed};
    constexpr SweepColumn columns[] = {SweepColumn::GroupDelaySec, SweepColumn::ReturnLossDb,
                                       SweepColumn::ZinReOhm};
    std::istringstream csv(SweepCsv(sweep, 8861000, columns));
    std::string header, first, second;
    std::getline(csv, header);
    std::getline(csv, first);
    std::getline(csv, second);
    EXPECT_EQ(header, "frequency_hz,detuning_khz,group_delay_s,return_loss_db,zin_re_ohm");
    std::istringstream row(first);
    std::vector<double> values;
    for (std::string cell; std::getline(row, cell, ',');)
        values.push_back(std::stod(cell));
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[0], good.hz);
    EXPECT_EQ(values[2], good.groupDelaySec);
    EXPECT_NEAR(values[3], 20 * std::log10(2.0), 1e-12);
    EXPECT_EQ(values[4], good.zin.real());
    EXPECT_EQ(second, "8861737,0.73699999999999999,,,");
}

TEST(SweepCsv, CurvesAreNumberedFromOne) {
    const std::vector<std::vector<CurvePoint>> curves = {{{0.5, -3}}, {}, {{-0.25, -1.5}}};
    EXPECT_EQ(CurvesCsv(curves), "curve,detuning_khz,attenuation_db\n1,0.5,-3\n3,-0.25,-1.5\n");
    EXPECT_EQ(CurveCsv(curves[0]), "detuning_khz,attenuation_db\n0.5,-3\n");
}

// Every double read back from the table is the one written, bit for bit; a short column leaves
// its cells empty, a value that is not finite is "null".
TEST(TableCsv, ReadsBackBitForBit) {
    const std::vector<double> values = {0.1,
                                        1.0 / 3,
                                        -2.0 / 7 * 1e-300,
                                        std::numeric_limits<double>::denorm_min(),
                                        std::numeric_limits<double>::max(),
                                        9.000000000000002e6,
                                        -0.0};
    const TableColumn columns[] = {
        FullColumn("time_ms", values), {"short", {1.5, std::nullopt}}, {"odd", {INFINITY}}};
    std::istringstream csv(TableCsv(columns));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "time_ms,short,odd");
    for (std::size_t row = 0; std::getline(csv, line); ++row) {
        ASSERT_LT(row, values.size());
        const std::string cell = line.substr(0, line.find(','));
        double read = 0;
        const auto parsed = DoubleFromChars(cell.data(), cell.data() + cell.size(), read);
        EXPECT_EQ(parsed.ptr, cell.data() + cell.size()) << cell;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read), std::bit_cast<std::uint64_t>(values[row]))
            << cell;
        if (row == 0) {
            EXPECT_EQ(line.substr(cell.size()), ",1.5,null");
        }
        if (row == 1) {
            EXPECT_EQ(line.substr(cell.size()), ",,");
        }
    }
}

}  // namespace
}  // namespace feldan
