#include "cli/calculation.h"

#include "files/sweep_csv.h"

namespace feldan::cli {

std::string NumberText(double value) {
    return TableNumber(value);
}

void WriteJson(const CalculationReport& report, std::ostream& out) {
    DumpJson(CalculationJson(report), out);
    out << '\n';
}

void WriteCurveCsv(const std::vector<CurvePoint>& curve, std::ostream& out) {
    out << CurveCsv(curve);
}

}  // namespace feldan::cli
