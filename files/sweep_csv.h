// Tables of curves, sweeps and responses in time as CSV, the one form the window's export and
// feldan-cli write: a header line of column names, then a row per point, every number with 17
// significant digits (they read back to the same double) and a decimal point whatever the
// locale, frequencies in Hz, detunings in kHz, delays in s, times in ms.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/sweep.h"

namespace feldan {

// The quantities a sweep's table can hold after its frequency_hz and detuning_khz columns.
enum class SweepColumn { S21Db, S21Deg, GroupDelaySec, S11Db, ReturnLossDb, ZinReOhm, ZinImOhm };

// The value of a column at a point of a sweep, in the column's unit.
double SweepValueOf(SweepColumn column, const SweepPoint& point);

// A number as the tables write it: 17 significant digits, "." ("null" if not finite).
std::string TableNumber(double value);

// A column of a table: its name, and a value a row; a row without one leaves its cell empty.
struct TableColumn {
    std::string name;
    std::vector<std::optional<double>> values;
};

// A column with a value in every row.
TableColumn FullColumn(std::string name, std::span<const double> values);

// The names as the header row, then a row for every value of the longest column.
std::string TableCsv(std::span<const TableColumn> columns);

// "detuning_khz,attenuation_db" and the curve's points.
std::string CurveCsv(std::span<const CurvePoint> curve);

// "curve,detuning_khz,attenuation_db": the points of each curve under its number, from 1.
std::string CurvesCsv(std::span<const std::vector<CurvePoint>> curves);

// The sweep's frequencies, their detuning from foHz, and the columns asked; a point without a
// solution keeps its frequencies and leaves the columns empty.
std::string SweepCsv(const SweepResult& sweep, double foHz, std::span<const SweepColumn> columns);
// The same as columns, for a table that adds its own.
std::vector<TableColumn> SweepTable(const SweepResult& sweep, double foHz,
                                    std::span<const SweepColumn> columns);

}  // namespace feldan
