#include "files/filter_export.h"

#include "circuit/topologies.h"
#include "engine/number_text.h"
#include "files/sweep_csv.h"
#include "files/touchstone.h"

namespace feldan {
namespace {

std::string Short(double value) {
    return GeneralText(value, 10);
}

}  // namespace

std::vector<std::string> DesignComments(const DesignedFilter& filter) {
    const CalculationResult& d = filter.design;
    const DesignInput& in = d.input;
    std::vector<std::string> lines = {
        "Feldan crystal filter " + std::string(DescriptorOf(d.synthesis.Circuit).name) + ", " +
            d.synthesis.PrototypeName + Short(in.DfHz) + " Hz",
        "Fo=" + Short(in.FoKHz) + " kHz Ld=" + Short(in.LdMH) + " mH Cs=" + Short(in.CsPF) +
            " pF Rd=" + Short(in.RdOhm) + " Ohm" +
            (in.CkPF != 0 ? " Ck=" + Short(in.CkPF) + " pF" : std::string()),
        filter.circuit == CircuitChoice::Schematic
            ? "circuit: the schematic as built, Rin=" + Short(d.synthesis.InputOhm) + " Ohm"
            : "circuit: the analysed circuit, " + Short(d.synthesis.TermOhm) + " Ohm",
    };
    if (filter.portOhm == filter.outputPortOhm) {
        lines.back() += " at both ends";
    } else {
        lines.back() += " at the input, " + Short(filter.outputPortOhm) + " Ohm at the output";
    }
    const CrystalSetDesign& set = filter.crystalSet;
    if (!set.trimF.empty()) {
        std::string crystals = set.trim ? "crystals of a set, trimmed (pF):" : "crystals of a set";
        for (std::size_t k = 0; set.trim && k < set.trimF.size(); ++k)
            crystals += " ZQ" + std::to_string(k + 1) + "=" + Short(set.trimF[k] * 1e12);
        lines.push_back(crystals);
    }
    return lines;
}

std::string FilterTouchstone(DesignedFilter& filter, SweepRequest request) {
    std::vector<std::string> comments = DesignComments(filter);
    if (!request.referenceOhm && filter.outputPortOhm != filter.portOhm) {
        request.referenceOhm = filter.portOhm;
        comments.push_back("both ports referred to the input's " + Short(filter.portOhm) +
                           " Ohm; the output's is " + Short(filter.outputPortOhm) + " Ohm");
    }
    const SweepResult sweep = SweepFilter(filter, request);
    TouchstoneData data;
    data.ports = 2;
    data.referenceOhm = sweep.referenceOhm;
    for (const SweepPoint& p : sweep.points) {
        if (!p.ok) continue;
        data.frequencyHz.push_back(p.hz);
        data.s.push_back({p.s11, p.s21, p.s12, p.s22});
    }
    return TouchstoneBytes(data, comments);
}

std::string SweepTableCsv(const SweepResult& sweep, double foHz) {
    constexpr SweepColumn Columns[] = {SweepColumn::S21Db,         SweepColumn::S21Deg,
                                       SweepColumn::GroupDelaySec, SweepColumn::S11Db,
                                       SweepColumn::ZinReOhm,      SweepColumn::ZinImOhm};
    return SweepCsv(sweep, foHz, Columns);
}

}  // namespace feldan
