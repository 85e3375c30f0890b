#include "files/sweep_csv.h"

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

double ValueOf(SweepColumn column, const SweepPoint& p) {
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

}  // namespace

std::string TableNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[40];
    const auto end =
        DoubleToChars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17).ptr;
    return std::string(buffer, end);
}

std::string CurveCsv(std::span<const CurvePoint> curve) {
    std::string out = "detuning_khz,attenuation_db\n";
    for (const CurvePoint& point : curve)
        out += TableNumber(point.x) + ',' + TableNumber(point.y) + '\n';
    return out;
}

std::string CurvesCsv(std::span<const std::vector<CurvePoint>> curves) {
    std::string out = "curve,detuning_khz,attenuation_db\n";
    for (std::size_t k = 0; k < curves.size(); ++k) {
        for (const CurvePoint& point : curves[k])
            out += std::to_string(k + 1) + ',' + TableNumber(point.x) + ',' + TableNumber(point.y) +
                   '\n';
    }
    return out;
}

std::string SweepCsv(const SweepResult& sweep, double foHz, std::span<const SweepColumn> columns) {
    std::string out = "frequency_hz,detuning_khz";
    for (SweepColumn column : columns)
        out += std::string(",") + NameOf(column);
    out += '\n';
    for (const SweepPoint& p : sweep.points) {
        out += TableNumber(p.hz) + ',' + TableNumber((p.hz - foHz) / 1000);
        for (SweepColumn column : columns)
            out += ',' + (p.ok ? TableNumber(ValueOf(column, p)) : std::string());
        out += '\n';
    }
    return out;
}

}  // namespace feldan
