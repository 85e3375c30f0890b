// The designs beyond the classic table: which ladder each entry of the topology list is, which
// prototype a response gives it, and how a design is told to be classic.
#pragma once

#include <optional>
#include <string>

#include "circuit/generated_ladders.h"
#include "engine/prototype_generator.h"

namespace feldan {

// A ladder by its structure and number of crystals.
struct LadderChoice {
    LadderStructure structure = LadderStructure::Plain;
    int crystals = 0;
};

// The ladder of a FilterType 1..FilterTypeCount; crystals 0 for any other value.
LadderChoice LadderOfFilterType(int filterType);

// The FilterType of a ladder, 0 when the list has none.
int FilterTypeOfLadder(LadderStructure structure, int crystals);

// The FilterType of a structure and the order the command line gives it: crystals, or a QER
// ladder's poles; 0 when the list has none.
int FilterTypeOfOrder(LadderStructure structure, int order);

// The word that names a structure on the command line and in a project ("ladder", "cw", "qer"),
// the structure a word names, and the order a ladder is given by.
const char* StructureWord(LadderStructure structure);
std::optional<LadderStructure> StructureOfWord(const std::string& word);
int OrderOfLadder(const LadderChoice& ladder);

// Crystals of a FilterType, 0 for a value outside the list.
int CrystalCountOf(int filterType);

// True when a CW ladder: the ones that read Ck.
bool UsesCk(int filterType);

// True when a QER ladder, whose response is its own whatever the response list says.
bool IsQer(int filterType);

// A row of the QER table: the coupling capacitor is g_in·Cm·f0/BW and both terminations
// π·Lm·BW/q1 (BW the 3 dB width). Zeros for a count of poles outside 4..12.
struct QerRow {
    double gIn = 0;
    double q1 = 0;
};
QerRow QerRowOf(int poles);

// A classic topology with a classic response: the 35 designs of the table, synthesised as they
// always were, bit for bit. Everything else is generated.
bool IsClassicDesign(int filterType, int responseType);

inline constexpr double MinRippleDb = 0.01;
inline constexpr double MaxRippleDb = 3;

// The prototype of a generated design: Butterworth, Chebyshev of the classic responses'
// ripples or of `rippleDb`, Bessel, Legendre or a tabulated response, of `order` elements.
// Throws std::invalid_argument for a response outside the list or an order it does not have.
LadderPrototype PrototypeOfResponse(int responseType, int order, double rippleDb);

// The numbers of crystals a response can be designed for: 2..12 from a formula, a table's rows.
struct ResponseOrders {
    int lowest = 0;
    int highest = 0;
};
ResponseOrders OrdersOfResponse(int responseType);

// The word that names a response on the command line and in a project file: "butterworth",
// "chebyshev" (every ripple), "bessel", "legendre", "gaussian", "gaussian6", "gaussian12",
// "linear-phase:0.05", "linear-phase:0.5"; empty outside the list.
std::string ResponseKeyword(int responseType);
// The response a word names, 0 for none; "chebyshev" is the one of any ripple.
int ResponseOfKeyword(const std::string& keyword);

// The response a request names (feldan-cli's --response, the web build's "response"): "1" to
// "5" (the classic ones), "chebyshev:R" with the ripple text R, or a keyword but "chebyshev"
// alone, which has no ripple to go with it. Nothing for a text that names none.
struct ResponseChoice {
    int responseType = 0;
    std::string ripple;  // the text R of "chebyshev:R", else empty
};
std::optional<ResponseChoice> ResponseOfRequest(const std::string& text);

// The designation of a generated design in the status text: "B05-", "Be05-" (Bessel), "L05-"
// (Legendre), "G05-", "G05-6dB-", "G05-12dB-" (Gaussian), "Lp05-0.05-", "Lp05-0.5-" (linear
// phase), "T05-10-" (a classic ripple by its reflection in %), "T05-0.1dB-" (a ripple as typed),
// with "C" after the order for a CW ladder, as the classic designations have it; unlike the
// classic CW ones, every designation ends in a dash, so that the band width that follows stays
// apart from the ripple.
std::string GeneratedDesignation(const LadderChoice& ladder, int responseType,
                                 const std::string& rippleText);

}  // namespace feldan
