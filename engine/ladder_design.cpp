#include "engine/ladder_design.h"

#include <array>
#include <stdexcept>

#include "engine/cohn.h"
#include "engine/design.h"
#include "engine/prototype.h"
#include "engine/prototype_tables.h"

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
    // QER ladders of 4 to 12 poles, by their crystals.
    {Qer, 6},
    {Qer, 7},
    {Qer, 8},
    {Qer, 9},
    {Qer, 10},
    {Qer, 11},
    {Qer, 12},
    {Qer, 13},
    {Qer, 14},
}};

// The classic responses' reflection coefficients in %, from which their ripples come.
constexpr std::array<int, ClassicResponseTypeCount> ReflectionPercent = {0, 10, 15, 20, 25};

// The responses after the Chebyshev of any ripple, in the list's order.
struct LaterResponse {
    ResponseType type;
    const char* keyword;
    const char* letters;  // of the designation, before the order
    const char* suffix;   // of the designation, after the order's dash
};
constexpr std::array<LaterResponse, 8> LaterResponses = {{
    {ResponseType::Bessel, "bessel", "Be", ""},
    {ResponseType::Legendre, "legendre", "L", ""},
    {ResponseType::Gaussian, "gaussian", "G", ""},
    {ResponseType::GaussianTo6Db, "gaussian6", "G", "6dB-"},
    {ResponseType::GaussianTo12Db, "gaussian12", "G", "12dB-"},
    {ResponseType::LinearPhase005Deg, "linear-phase:0.05", "Lp", "0.05-"},
    {ResponseType::LinearPhase05Deg, "linear-phase:0.5", "Lp", "0.5-"},
    {ResponseType::Cohn, "cohn", "Co", ""},
}};

const LaterResponse* LaterResponseOf(int responseType) {
    for (const LaterResponse& later : LaterResponses)
        if (static_cast<int>(later.type) == responseType) return &later;
    return nullptr;
}

// The table behind a tabulated response, if it is one.
bool TableOf(int responseType, TabulatedResponse& table) {
    switch (static_cast<ResponseType>(responseType)) {
        case ResponseType::Gaussian:
            table = TabulatedResponse::Gaussian;
            return true;
        case ResponseType::GaussianTo6Db:
            table = TabulatedResponse::GaussianTo6Db;
            return true;
        case ResponseType::GaussianTo12Db:
            table = TabulatedResponse::GaussianTo12Db;
            return true;
        case ResponseType::LinearPhase005Deg:
            table = TabulatedResponse::LinearPhase005Deg;
            return true;
        case ResponseType::LinearPhase05Deg:
            table = TabulatedResponse::LinearPhase05Deg;
            return true;
        default:
            return false;
    }
}

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

int FilterTypeOfOrder(LadderStructure structure, int order) {
    return FilterTypeOfLadder(structure, structure == Qer ? order + 2 : order);
}

const char* StructureWord(LadderStructure structure) {
    return structure == Cw ? "cw" : structure == Qer ? "qer" : "ladder";
}

std::optional<LadderStructure> StructureOfWord(const std::string& word) {
    for (const LadderStructure structure : {Plain, Cw, Qer}) {
        if (word == StructureWord(structure)) return structure;
    }
    return std::nullopt;
}

int OrderOfLadder(const LadderChoice& ladder) {
    return ladder.structure == Qer ? ladder.crystals - 2 : ladder.crystals;
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
    if (responseType == static_cast<int>(ResponseType::Cohn)) return CohnLadder(order);
    TabulatedResponse table{};
    if (TableOf(responseType, table)) return TabulatedLadder(table, order);
    throw std::invalid_argument("no response " + std::to_string(responseType));
}

ResponseOrders OrdersOfResponse(int responseType) {
    if (responseType < 1 || responseType > ResponseTypeCount) return {};
    if (responseType == static_cast<int>(ResponseType::Cohn))
        return {MinCohnCrystals, MaxCohnCrystals};
    TabulatedResponse table{};
    if (TableOf(responseType, table)) {
        const TableOrders orders = OrdersOf(table);
        return {orders.lowest, orders.highest};
    }
    return {MinPrototypeOrder, MaxPrototypeOrder};
}

std::string ResponseKeyword(int responseType) {
    if (responseType == static_cast<int>(ResponseType::Butterworth3)) return "butterworth";
    if (responseType > 1 && responseType <= static_cast<int>(ResponseType::Chebyshev))
        return "chebyshev";
    const LaterResponse* later = LaterResponseOf(responseType);
    return later ? later->keyword : "";
}

int ResponseOfKeyword(const std::string& keyword) {
    if (keyword == "butterworth") return static_cast<int>(ResponseType::Butterworth3);
    if (keyword == "chebyshev") return static_cast<int>(ResponseType::Chebyshev);
    for (const LaterResponse& later : LaterResponses)
        if (keyword == later.keyword) return static_cast<int>(later.type);
    return 0;
}

std::optional<ResponseChoice> ResponseOfRequest(const std::string& text) {
    if (text.size() == 1 && text[0] >= '1' && text[0] < '1' + ClassicResponseTypeCount)
        return ResponseChoice{text[0] - '0', {}};
    const std::string chebyshev = "chebyshev:";
    if (text.rfind(chebyshev, 0) == 0 && text.size() > chebyshev.size())
        return ResponseChoice{static_cast<int>(ResponseType::Chebyshev),
                              text.substr(chebyshev.size())};
    if (text == "chebyshev") return std::nullopt;
    if (const int named = ResponseOfKeyword(text)) return ResponseChoice{named, {}};
    return std::nullopt;
}

bool IsQer(int filterType) {
    return LadderOfFilterType(filterType).structure == Qer;
}

QerRow QerRowOf(int poles) {
    // The QER table of the ARRL Handbook reduced to the two numbers a design needs: g_in, twice
    // the end g, and q1 = g0·g1, for 4 to 12 poles.
    constexpr std::array<QerRow, MaxQerPoles - MinQerPoles + 1> Rows = {{
        {1.84604, 0.9942},
        {1.85494, 1.0316},
        {1.87056, 1.0808},
        {1.89573, 1.1876},
        {1.91278, 1.2532},
        {1.92790, 1.3439},
        {1.93874, 1.4115},
        {1.94780, 1.4955},
        {1.95465, 1.5506},
    }};
    if (poles < MinQerPoles || poles > MaxQerPoles) return {};
    return Rows[static_cast<std::size_t>(poles - MinQerPoles)];
}

std::string GeneratedDesignation(const LadderChoice& ladder, int responseType,
                                 const std::string& rippleText) {
    if (ladder.structure == Qer) {
        std::string poles = std::to_string(ladder.crystals - 2);
        if (poles.size() < 2) poles.insert(poles.begin(), '0');
        return "QER" + poles + "-";
    }
    std::string order = std::to_string(ladder.crystals);
    if (order.size() < 2) order.insert(order.begin(), '0');
    if (ladder.structure == Cw) order += 'C';
    if (responseType == static_cast<int>(ResponseType::Butterworth3)) return "B" + order + "-";
    if (const LaterResponse* later = LaterResponseOf(responseType))
        return later->letters + order + "-" + later->suffix;
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
