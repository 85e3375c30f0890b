// A design on its way through a calculation: the texts the user gives, the numbers they stand
// for, the synthesis and the measurements.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "circuit/constants.h"  // TwoPi

namespace feldan {

// 4π² and 1000·4π² exactly as the engine has always used them (π = 3.1415926535897), like TwoPi.
// 1000·4π² is its own literal: multiplying the 4π² literal by 1000 rounds to another double.
inline constexpr double FourPiSquared = 39.478417604355091;
inline constexpr double ThousandFourPiSquared = 39478.417604355091;

// Item index of the topology list + 1: the seven classic topologies, then the plain ladders of
// 2, 5, 7, 9, 10, 11 and 12 crystals, the CW ladders of 10 and 12 and the QER ladders of 4 to 12
// poles (engine/ladder_design.h).
enum class FilterType : int { Ladder3 = 1, Ladder4, Ladder6, Ladder8, Cw4, Cw6, Cw8 };
// Item index of the response list + 1: the five classic responses, then the Chebyshev response
// of the ripple the design names, Bessel, Legendre and the tabulated low-ringing responses.
enum class ResponseType : int {
    Butterworth3 = 1,
    Chebyshev044,
    Chebyshev099,
    Chebyshev177,
    Chebyshev28,
    Chebyshev,
    Bessel,    // maximally flat delay
    Legendre,  // Papoulis's optimum L: monotonic, the steepest edge of the monotonic ones
    Gaussian,  // no overshoot at all, the gentlest skirts
    GaussianTo6Db,
    GaussianTo12Db,
    LinearPhase005Deg,  // flat delay over the band, steeper skirts than Bessel
    LinearPhase05Deg,
    Cohn,  // a plain ladder of equal coupling capacitors, terminated for the flattest top
};

// The classic lists, which a design file (.fdn) holds.
inline constexpr int ClassicFilterTypeCount = 7;
inline constexpr int ClassicResponseTypeCount = 5;
// The whole lists.
inline constexpr int FilterTypeCount = 25;
inline constexpr int ResponseTypeCount = 14;

inline constexpr int CapSlotCount = 28;

// The seven input texts exactly as typed.
struct InputTexts {
    std::string Fo = "8861.736";  // kHz
    std::string Df = "3100";      // Hz
    std::string Ld = "10.1";      // mH
    std::string Cs = "6.3";       // pF
    std::string Rd = "5.7";       // Ohm
    std::string Ck = "91";        // pF
    std::string Level = "-3";     // dB
};

// A design as the user gives it: the seven texts and the two selections. The selections are
// plain integers because a design file may carry values outside 1..7 and 1..5, which then
// simply select nothing.
struct DesignFields {
    InputTexts texts;
    int filterType = 2;
    int responseType = 1;
    // The way of design: false, the classic synthesis, bit for bit as it has always been; true,
    // exact to the request (engine/exact_design.h): the width measured at the level equals dF.
    // Part of a project (.feldan), never of a design file (.fdn).
    bool exact = false;
    // The pass-band ripple in dB of ResponseType::Chebyshev, as typed (0.01 to 3); the other
    // responses do not read it. Part of a project, never of a design file.
    std::string ripple = "0.1";
    // The coupling capacitor in pF, as typed, of a ladder whose couplings are all one value (QER,
    // Cohn): the design is then built around it and dF is what it makes. Empty: designed to dF.
    // Part of a project, never of a design file.
    std::string capacitor{};
};

// The inputs converted to numbers, in the units of the input fields.
struct DesignInput {
    int filterType = 0;
    int responseType = 0;
    double FoKHz = 0;
    double DfHz = 0;
    double LdMH = 0;
    double CsPF = 0;
    double RdOhm = 0;
    double CkPF = 0;  // 0 for the ladders, which do not use it
    double LevelDb = 0;
    double RippleDb = 0;  // of ResponseType::Chebyshev only
    bool Exact = false;   // designed exactly to the request
};

// What the synthesis makes of the input: the prototype, the scale of the design and the element
// values.
struct Synthesis {
    double ProtoG1 = 0;
    double ProtoG2 = 0;
    double ProtoG3 = 0;
    double ProtoG4 = 0;
    std::string PrototypeName;
    // A design outside the classic table: its prototype from the generator, g1..gn at [1..n] and
    // the load g(n+1); ProtoG1..ProtoG4 then repeat its first four. 0 for a classic design.
    int ProtoOrder = 0;
    std::array<double, 14> ProtoG{};

    // The circuit number the design is built as (circuit/topologies.h): its FilterType for a
    // classic design, a generated ladder's otherwise.
    int Circuit = 0;

    double FreqRatio = 0;
    double CapScalePF = 0;
    double MotionalCapF = 0;
    double TermOhm = 0;
    double SourceOhm = 0;
    double LoadOhm = 0;
    double InputOhm = 0;
    // The output end where a generated prototype's two ends differ (q_n ≠ q_1): its termination
    // behind the end series capacitor and the schematic's parallel termination. Equal to
    // TermOhm and InputOhm for every design with equal ends, the classic ones included.
    double OutputTermOhm = 0;
    double OutputOhm = 0;

    // Capacitance slots in pF, 1-based: CapPF[1] .. CapPF[28]; index 0 is unused.
    std::array<double, CapSlotCount + 1> CapPF{};
};

// What the analysis measures of the designed filter.
struct Measurements {
    double RespAtFoDb = 0;  // the level at Fo as the solver gives it
    double AFoDb = 0;       // the same, as the summary shows it
    double PeakHz = 0;
    double AminDb = 0;
    double LowerEdgeHz = 0;
    double UpperEdgeHz = 0;
    double MeasuredDfHz = 0;
    // The lower edge is the first point inside the band (searched upward from Fo below it);
    // otherwise it, like the upper edge, is the first point outside.
    bool LowerEdgeInside = false;
};

}  // namespace feldan
