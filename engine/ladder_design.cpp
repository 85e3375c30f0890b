#include "engine/ladder_design.h"

#include <array>
#include <stdexcept>

#include "engine/design.h"
#include "engine/prototype.h"

namespace feldan {
namespace {

using enum LadderStructure;

// The topology list: the seven classic entries in their places, then the other counts.
constexpr std::array<LadderChoice, FilterTypeCount> Ladders = {{
    {Plain, 3},
    {Plain, 4},
    {Plain, 6},
    {Plain, 8},
    {Cw, 4},
    {Cw, 6},
    {Cw, 8},
    {Plain, 2},
    {Plain, 5},
    {Plain, 7},
    {Plain, 9},
    {Plain, 10},
    {Plain, 11},
    {Plain, 12},
    {Cw, 10},
    {Cw, 12},
}};

// The classic responses' reflection coefficients in %, from which their ripples come.
constexpr std::array<int, ClassicResponseTypeCount> ReflectionPercent = {0, 10, 15, 20, 25};

}  // namespace

LadderChoice LadderOfFilterType(int filterType) {
    if (filterType < 1 || filterType > FilterTypeCount) return {};
    return Ladders[static_cast<std::size_t>(filterType - 1)];
}

int FilterTypeOfLadder(LadderStructure structure, int crystals) {
    for (std::size_t k = 0; k < Ladders.size(); ++k) {
        if (Ladders[k].structure == structure && Ladders[k].crystals == crystals)
            return static_cast<int>(k) + 1;
    }
    return 0;
}

int CrystalCountOf(int filterType) {
    return LadderOfFilterType(filterType).crystals;
}

bool UsesCk(int filterType) {
    const LadderChoice ladder = LadderOfFilterType(filterType);
    return ladder.crystals > 0 && ladder.structure == Cw;
}

bool IsClassicDesign(int filterType, int responseType) {
    return filterType >= 1 && filterType <= ClassicFilterTypeCount && responseType >= 1 &&
           responseType <= ClassicResponseTypeCount;
}

LadderPrototype PrototypeOfResponse(int responseType, int order, double rippleDb) {
    if (responseType == static_cast<int>(ResponseType::Butterworth3)) {
        return ButterworthLadder(order);
    }
    if (responseType > 1 && responseType <= ClassicResponseTypeCount) {
        return ChebyshevLadder(order, PrototypeRippleDb(responseType));
    }
    if (responseType == static_cast<int>(ResponseType::Chebyshev)) {
        return ChebyshevLadder(order, rippleDb);
    }
    if (responseType == static_cast<int>(ResponseType::Bessel)) return BesselLadder(order);
    if (responseType == static_cast<int>(ResponseType::Legendre)) return LegendreLadder(order);
    throw std::invalid_argument("no response " + std::to_string(responseType));
}

std::string GeneratedDesignation(const LadderChoice& ladder, int responseType,
                                 const std::string& rippleText) {
    std::string order = std::to_string(ladder.crystals);
    if (order.size() < 2) order.insert(order.begin(), '0');
    if (ladder.structure == Cw) order += 'C';
    if (responseType == static_cast<int>(ResponseType::Butterworth3)) return "B" + order + "-";
    if (responseType == static_cast<int>(ResponseType::Bessel)) return "Be" + order + "-";
    if (responseType == static_cast<int>(ResponseType::Legendre)) return "L" + order + "-";
    std::string ripple = rippleText;
    if (responseType > 1 && responseType <= ClassicResponseTypeCount) {
        ripple = std::to_string(ReflectionPercent[static_cast<std::size_t>(responseType - 1)]);
    } else {
        for (char& c : ripple)
            c = c == ',' ? '.' : c;
        ripple += "dB";
    }
    return "T" + order + "-" + ripple + "-";
}

}  // namespace feldan
