#include "files/sweep_csv.h"

#include <algorithm>
#include <cmath>

#include "engine/number_text.h"

namespace feldan {

namespace {

const char* NameOf(SweepColumn column) {
    switch (column) {
        case SweepColumn::S21Db:
            return "s21_db";
        case SweepColumn::S21Deg:
            return "s21_deg";
        case SweepColumn::GroupDelaySec:
            return "group_delay_s";
        case SweepColumn::S11Db:
            return "s11_db";
        case SweepColumn::ReturnLossDb:
            return "return_loss_db";
        case SweepColumn::ZinReOhm:
            return "zin_re_ohm";
        case SweepColumn::ZinImOhm:
            return "zin_im_ohm";
    }
    return "";
}

}  // namespace

double SweepValueOf(SweepColumn column, const SweepPoint& p) {
    switch (column) {
        case SweepColumn::S21Db:
            return DecibelsOfS(p.s21);
        case SweepColumn::S21Deg:
            return DegreesOf(p.s21);
        case SweepColumn::GroupDelaySec:
            return p.groupDelaySec;
        case SweepColumn::S11Db:
            return DecibelsOfS(p.s11);
        case SweepColumn::ReturnLossDb:
            return -DecibelsOfS(p.s11);
        case SweepColumn::ZinReOhm:
            return p.zin.real();
        case SweepColumn::ZinImOhm:
            return p.zin.imag();
    }
    return 0;
}

std::string TableNumber(double value) {
    if (!std::isfinite(value)) return "null";
    return GeneralText(value, 17);
}

TableColumn FullColumn(std::string name, std::span<const double> values) {
    return TableColumn{std::move(name), {values.begin(), values.end()}};
}

std::string TableCsv(std::span<const TableColumn> columns) {
    std::string out;
    std::size_t rows = 0;
    for (const TableColumn& column : columns) {
        out += (out.empty() ? "" : ",") + column.name;
        rows = std::max(rows, column.values.size());
    }
    out += '\n';
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c > 0) out += ',';
            const std::vector<std::optional<double>>& values = columns[c].values;
            if (row < values.size() && values[row]) out += TableNumber(*values[row]);
        }
        out += '\n';
    }
    return out;
}

std::string CurveCsv(std::span<const CurvePoint> curve) {
    TableColumn detuning{"detuning_khz", {}}, attenuation{"attenuation_db", {}};
    for (const CurvePoint& point : curve) {
        detuning.values.push_back(point.x);
        attenuation.values.push_back(point.y);
    }
    const TableColumn columns[] = {std::move(detuning), std::move(attenuation)};
    return TableCsv(columns);
}

std::string CurvesCsv(std::span<const std::vector<CurvePoint>> curves) {
    TableColumn number{"curve", {}}, detuning{"detuning_khz", {}},
        attenuation{"attenuation_db", {}};
    for (std::size_t k = 0; k < curves.size(); ++k) {
        for (const CurvePoint& point : curves[k]) {
            number.values.push_back(double(k + 1));
            detuning.values.push_back(point.x);
            attenuation.values.push_back(point.y);
        }
    }
    const TableColumn columns[] = {std::move(number), std::move(detuning), std::move(attenuation)};
    return TableCsv(columns);
}

std::string SweepCsv(const SweepResult& sweep, double foHz, std::span<const SweepColumn> columns) {
    return TableCsv(SweepTable(sweep, foHz, columns));
}

std::vector<TableColumn> SweepTable(const SweepResult& sweep, double foHz,
                                    std::span<const SweepColumn> columns) {
    std::vector<TableColumn> table = {{"frequency_hz", {}}, {"detuning_khz", {}}};
    for (SweepColumn column : columns)
        table.push_back({NameOf(column), {}});
    for (const SweepPoint& p : sweep.points) {
        table[0].values.push_back(p.hz);
        table[1].values.push_back((p.hz - foHz) / 1000);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            table[c + 2].values.push_back(p.ok ? std::optional(SweepValueOf(columns[c], p))
                                               : std::nullopt);
        }
    }
    return table;
}

}  // namespace feldan
