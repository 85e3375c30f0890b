#include "engine/prototype.h"

#include <array>
#include <cmath>
#include <string>

namespace feldan {
namespace {

struct Coefficients {
    double g1, g2, g3, g4;
};

// Symmetric prototypes, first half only. Butterworth is 2·sin((2i−1)π/2n) to four digits; the
// Chebyshev rows (reflection 10, 15, 20, 25 %) are used exactly as tabulated.
// [order index: 3, 4, 6, 8][response 1..5]
constexpr std::array<std::array<Coefficients, 5>, 4> CoefficientTable = {{
    {{
        {1.0, 2.0, 0, 0},
        {0.8533, 1.1036, 0, 0},
        {1.0285, 1.1468, 0, 0},
        {1.1893, 1.154, 0, 0},
        {1.3451, 1.1412, 0, 0},
    }},
    {{
        {0.7654, 1.848, 0, 0},
        {0.7994, 1.354, 0, 0},
        {0.9277, 1.434, 0, 0},
        {1.041, 1.482, 0, 0},
        {1.146, 1.513, 0, 0},
    }},
    {{
        {0.5176, 1.414, 1.932, 0},
        {0.8989, 1.478, 1.721, 0},
        {1.036, 1.516, 1.788, 0},
        {1.159, 1.529, 1.838, 0},
        {1.277, 1.528, 1.878, 0},
    }},
    {{
        {0.3902, 1.111, 1.663, 1.962},
        {0.943, 1.507, 1.828, 1.808},
        {1.086, 1.526, 1.902, 1.83},
        {1.215, 1.523, 1.963, 1.84},
        {1.34, 1.508, 2.019, 1.844},
    }},
}};

// Designations by FilterType (rows) and ResponseType (columns). The CW Chebyshev names carry no
// dash after the percentage.
constexpr std::array<std::array<std::string_view, 5>, 7> NameTable = {{
    {"B03-", "T03-10-", "T03-15-", "T03-20-", "T03-25-"},
    {"B04-", "T04-10-", "T04-15-", "T04-20-", "T04-25-"},
    {"B06-", "T06-10-", "T06-15-", "T06-20-", "T06-25-"},
    {"B08-", "T08-10-", "T08-15-", "T08-20-", "T08-25-"},
    {"B04C-", "T04C-10", "T04C-15", "T04C-20", "T04C-25"},
    {"B06C-", "T06C-10", "T06C-15", "T06C-20", "T06C-25"},
    {"B08C-", "T08C-10", "T08C-15", "T08C-20", "T08C-25"},
}};

// Order of each FilterType; a CW topology uses the ladder prototype of the same order.
constexpr std::array<int, 7> OrderOfType = {3, 4, 6, 8, 4, 6, 8};

int OrderIndex(int order) {
    return order == 3 ? 0 : order == 4 ? 1 : order == 6 ? 2 : 3;
}

std::array<std::array<PrototypeCell, 5>, 7> MakeCells() {
    std::array<std::array<PrototypeCell, 5>, 7> cells{};
    for (int t = 0; t < 7; ++t) {
        const int order = OrderOfType[t];
        for (int r = 0; r < 5; ++r) {
            const Coefficients& g = CoefficientTable[OrderIndex(order)][r];
            cells[t][r] = PrototypeCell{order, g.g1, g.g2, g.g3, g.g4, NameTable[t][r]};
        }
    }
    return cells;
}

const std::array<std::array<PrototypeCell, 5>, 7> Cells = MakeCells();

}  // namespace

const PrototypeCell* FindPrototype(int filterType, int responseType) {
    if (filterType < 1 || filterType > ClassicFilterTypeCount) return nullptr;
    if (responseType < 1 || responseType > ClassicResponseTypeCount) return nullptr;
    return &Cells[filterType - 1][responseType - 1];
}

double PrototypeRippleDb(int responseType) {
    // Reflection coefficient of each response: the ripple is −10·log10(1 − ρ²).
    constexpr std::array<double, 5> Reflection = {0, 0.10, 0.15, 0.20, 0.25};
    if (responseType < 1 || responseType > ClassicResponseTypeCount) return 0;
    const double rho = Reflection[static_cast<std::size_t>(responseType - 1)];
    return -10 * std::log10(1 - rho * rho);
}

void LoadPrototype(int filterType, int responseType, Synthesis& synthesis) {
    const PrototypeCell* cell = FindPrototype(filterType, responseType);
    if (cell == nullptr) return;
    synthesis.ProtoG1 = cell->g1;
    synthesis.ProtoG2 = cell->g2;
    if (cell->order >= 6) synthesis.ProtoG3 = cell->g3;
    if (cell->order >= 8) synthesis.ProtoG4 = cell->g4;
    synthesis.PrototypeName = std::string(cell->name);
}

}  // namespace feldan
