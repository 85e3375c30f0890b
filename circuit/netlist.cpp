#include "circuit/netlist.h"

namespace feldan {

void NumberEquations(Netlist& netlist) {
    netlist.EquationOf[0] = 0;
    for (int i = 1; i <= netlist.NodeCount; ++i) {
        bool driven = false;
        for (int s = 1; s <= netlist.SourceCount; ++s) {
            if (netlist.Sources[s].DrivenNode == i) driven = true;
        }
        netlist.EquationOf[i] = netlist.EquationOf[i - 1] + (driven ? 0 : 1);
    }
    // A driven node has no unknown voltage of its own: it shares its reference node's equation.
    for (int s = 1; s <= netlist.SourceCount; ++s) {
        const Source& source = netlist.Sources[s];
        netlist.EquationOf[source.DrivenNode] = netlist.EquationOf[source.RefNode];
    }
}

void ComputeBranchEmfs(Netlist& netlist) {
    for (int b = 1; b <= netlist.BranchCount; ++b) {
        Complex emf;
        const Branch& branch = netlist.Branches[b];
        for (int s = 1; s <= netlist.SourceCount; ++s) {
            const Source& source = netlist.Sources[s];
            if (branch.From == source.DrivenNode) {
                emf.re += source.Emf.re;
                emf.im += source.Emf.im;
            }
            if (branch.To == source.DrivenNode) {
                emf.re -= source.Emf.re;
                emf.im -= source.Emf.im;
            }
        }
        netlist.BranchEmf[b] = emf;
    }
}

void PrepareNetlist(Netlist& netlist) {
    NumberEquations(netlist);
    ComputeBranchEmfs(netlist);
}

}  // namespace feldan
