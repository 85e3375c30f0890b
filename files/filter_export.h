// The designed filter as files for other tools: the comment lines that head them, its
// S-parameters as Touchstone and the sweep's whole table as CSV.
#pragma once

#include <string>
#include <vector>

#include "engine/sweep.h"

namespace feldan {

// The design in words for the heads of exported files: the circuit, the crystal data, the
// circuit swept and its ends, the crystals of a set and their trims.
std::vector<std::string> DesignComments(const DesignedFilter& filter);

// A version 1.1 .s2p (Hz, RI) of the sweep of `request`. A file holds one reference resistance,
// so a filter whose two ends differ is referred to its input's, as an analyser of that
// impedance would see it, and the comments say so.
std::string FilterTouchstone(DesignedFilter& filter, SweepRequest request);

// The sweep's table: |S21|, its phase, the group delay, |S11| and the input impedance.
std::string SweepTableCsv(const SweepResult& sweep, double foHz);

}  // namespace feldan
