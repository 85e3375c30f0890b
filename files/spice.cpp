#include "files/spice.h"

#include <map>
#include <set>

#include "engine/number_text.h"

namespace feldan {

namespace {

std::string Number(double value) {
    char buffer[40];
    const auto end =
        DoubleToChars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14).ptr;
    return std::string(buffer, end);
}

// One line of a comment; SPICE ends a comment at the line end, so line breaks become blanks.
std::string Comment(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return "* " + text + "\n";
}

// Node names: ground 0, the source's node "src", the input after the source resistance "in",
// the output across the load "out", the others n<number>.
struct NodeNames {
    int driven = 0;
    int inNode = 0;
    int outNode = 0;

    explicit NodeNames(const Netlist& netlist) {
        driven = netlist.Sources[1].DrivenNode;
        const Branch& rs = netlist.Branches[netlist.SourceBranch];
        inNode = rs.From == driven ? rs.To : rs.From;
        const Branch& rl = netlist.Branches[netlist.LoadBranch];
        outNode = rl.From == 0 ? rl.To : rl.From;
    }
    std::string operator()(int n) const {
        if (n == 0) return "0";
        if (n == driven) return "src";
        if (n == inNode) return "in";
        if (n == outNode) return "out";
        return "n" + std::to_string(n);
    }
};

// One subcircuit per crystal position, with that position's values.
std::string CrystalSubcircuits(const DesignedFilter& filter) {
    const Netlist& netlist = filter.analysis->netlist;
    std::map<int, std::pair<int, int>> crystalNodes;  // position: the nodes across its C0
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        if (filter.roles[b].element == Element::C0)
            crystalNodes[filter.roles[b].index] = {netlist.Branches[b].From,
                                                   netlist.Branches[b].To};
    }
    std::string out;
    for (const auto& [position, nodes] : crystalNodes) {
        const Resonator& r = filter.values.Crystal[position];
        const std::string name = "ZQ" + std::to_string(position);
        out += ".subckt " + name + " a b\n";
        out += "Lm a m1 " + Number(r.LmH) + "\n";
        out += "Cm m1 m2 " + Number(r.CmF) + "\n";
        out += "Rm m2 b " + Number(r.RmOhm) + "\n";
        out += "C0 a b " + Number(r.C0F) + "\n";
        for (int k = 0; k < r.ModeCount; ++k) {
            // Each unwanted mode: a further motional arm across C0, on nodes of its own.
            const SeriesArm& mode = r.Modes[static_cast<std::size_t>(k)];
            const std::string n = std::to_string(k + 2);
            out += "Lm" + n + " a m" + n + "a " + Number(mode.L) + "\n";
            out += "Cm" + n + " m" + n + "a m" + n + "b " + Number(mode.C) + "\n";
            out += "Rm" + n + " m" + n + "b b " + Number(mode.R) + "\n";
        }
        out += ".ends " + name + "\n";
    }
    return out;
}

bool InsideCrystal(Element element) {
    return element == Element::Lm || element == Element::Cm || element == Element::Rm;
}

// The source, then a line per branch of the circuit outside the crystals' subcircuits.
std::string CircuitLines(const DesignedFilter& filter, const NodeNames& node) {
    const Netlist& netlist = filter.analysis->netlist;
    std::string out = "V1 src 0 DC 0 AC 1\n";
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        const Branch& branch = netlist.Branches[b];
        const BranchRole& role = filter.roles[b];
        const std::string ends = node(branch.From) + " " + node(branch.To);
        switch (role.element) {
            case Element::Lm:
            case Element::Cm:
            case Element::Rm:
                break;  // inside the crystal's subcircuit
            case Element::C0: {
                const std::string name = "ZQ" + std::to_string(role.index);
                out += "X" + name + " " + ends + " " + name + "\n";
                break;
            }
            case Element::Trim:
                out +=
                    "CT" + std::to_string(role.index) + " " + ends + " " + Number(branch.C) + "\n";
                break;
            case Element::Rs:
                out += "Rs " + ends + " " + Number(1 / branch.G) + "\n";
                break;
            case Element::RL:
                out += "RL " + ends + " " + Number(1 / branch.G) + "\n";
                break;
            case Element::Cap: {
                const std::string name =
                    role.label.empty() ? "Ca" + std::to_string(b) : std::string(role.label);
                out += name + " " + ends + " " + Number(branch.C) + "\n";
                break;
            }
        }
    }
    return out;
}

// SPICE solves the operating point before .ac, and the nodes between series capacitors and
// crystals have no DC path of their own: every node gets one through 1 TOhm to ground, which
// at the filter's frequencies (a few hundred Ohm) changes the response by less than 1e-9.
std::string DcPaths(const DesignedFilter& filter, const NodeNames& node) {
    const Netlist& netlist = filter.analysis->netlist;
    std::set<int> nodes;
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        if (InsideCrystal(filter.roles[b].element)) continue;
        nodes.insert(netlist.Branches[b].From);
        nodes.insert(netlist.Branches[b].To);
    }
    nodes.erase(0);
    nodes.erase(node.driven);  // held by the source
    std::string out =
        Comment("Rdc*: a DC path of 1 TOhm from every node to ground, for the operating point.");
    for (int n : nodes)
        out += "Rdc_" + node(n) + " " + node(n) + " 0 1e12\n";
    return out;
}

// The analysis and the dialect's own way of giving its result.
std::string AnalysisLines(const SpiceRequest& request) {
    std::string out = ".ac lin " + std::to_string(request.points) + " " + Number(request.fromHz) +
                      " " + Number(request.toHz) + "\n";
    if (request.dialect == SpiceDialect::Ngspice) {
        out +=
            ".control\n"
            "set wr_singlescale\n"
            "set wr_vecnames\n"
            "option numdgt=15\n"
            "run\n"
            "wrdata " +
            request.dataFile +
            " v(out)\n"
            "quit\n"
            ".endc\n";
    } else {
        out +=
            ".meas AC vout_max MAX mag(V(out))\n"
            ".meas AC f_max WHEN mag(V(out))=vout_max\n";
    }
    return out;
}

}  // namespace

std::string SpiceNetlist(const DesignedFilter& filter, const SpiceRequest& request) {
    const bool schematic = filter.circuit == CircuitChoice::Schematic;
    const NodeNames node(filter.analysis->netlist);
    std::string out = "Feldan crystal filter, " +
                      std::string(schematic ? "schematic as built" : "analysed circuit") + "\n";
    for (const std::string& line : request.comments)
        out += Comment(line);
    if (!schematic) {
        out += Comment(
            "The analysed circuit ends in the termination resistance in series with an end "
            "capacitor, and may hold T sections where the schematic draws pi sections; its "
            "capacitors without a schematic label are named Ca<branch> after their slot.");
    }
    out += CrystalSubcircuits(filter);
    out += CircuitLines(filter, node);
    out += DcPaths(filter, node);
    out += AnalysisLines(request);
    out += ".end\n";
    return out;
}

}  // namespace feldan
