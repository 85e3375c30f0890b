#include "engine/prototype_tables.h"

#include <array>
#include <cmath>
#include <span>
#include <stdexcept>
#include <string>

namespace feldan {
namespace {

// Each row: g0, then g1 .. gn; the load g(n+1) is 1. The rows are typed from the low-pass
// element tables of A. I. Zverev, "Handbook of Filter Synthesis" (Wiley, 1967), as the open
// transcription in roseengineering/rftune (lowpass.py) gives them; the tables are normalised to
// 3 dB at ω = 1 (a source other than 1 Ω is the table's own: the even transitional orders need
// it).

// Gaussian, orders 3 .. 10.
constexpr std::array<std::array<double, 11>, 8> GaussianRows = {{
    {1.0000, 0.2624, 0.8167, 2.2262},
    {1.0000, 0.1772, 0.5302, 0.9321, 2.2450},
    {1.0000, 0.1312, 0.3896, 0.6485, 0.9782, 2.2533},
    {1.0000, 0.1026, 0.3045, 0.5004, 0.7050, 0.9982, 2.2568},
    {1.0000, 0.0833, 0.2473, 0.4055, 0.5606, 0.7333, 1.0073, 2.2583},
    {1.0000, 0.0695, 0.2065, 0.3388, 0.4658, 0.5942, 0.7479, 1.0116, 2.2590},
    {1.0000, 0.0591, 0.1761, 0.2892, 0.3973, 0.5025, 0.6134, 0.7556, 1.0137, 2.2593},
    {1.0000, 0.0512, 0.1525, 0.2509, 0.3451, 0.4353, 0.5250, 0.6244, 0.7597, 1.0147, 2.2594},
}};

// Transitional Gaussian to 6 dB, orders 3 .. 10.
constexpr std::array<std::array<double, 11>, 8> GaussianTo6DbRows = {{
    {1.0000, 0.4042, 0.8955, 2.3380},
    {1.0000, 0.4198, 0.7832, 1.1598, 2.1427},
    {1.0000, 0.4544, 0.8457, 1.0924, 1.0774, 2.4138},
    {1.0000, 0.5041, 0.9032, 1.2159, 1.0433, 1.4212, 2.0917},
    {1.0000, 0.4918, 0.9232, 1.2146, 1.1224, 1.3154, 1.1407, 2.5039},
    {1.0502, 0.5031, 0.9699, 1.2319, 1.1324, 1.4262, 1.0449, 1.6000, 1.9285},
    {1.0000, 0.4979, 0.9367, 1.2371, 1.1589, 1.3845, 1.1670, 1.3983, 1.1422, 2.5277},
    {1.1372, 0.4682, 1.0839, 1.1516, 1.2991, 1.3293, 1.2748, 1.4216, 1.1730, 1.5040, 2.1225},
}};

// Transitional Gaussian to 12 dB, orders 3 .. 10.
constexpr std::array<std::array<double, 11>, 8> GaussianTo12DbRows = {{
    {1.0000, 0.4152, 0.9050, 2.3452},
    {1.0000, 0.3097, 0.6545, 1.0598, 2.1518},
    {1.0000, 0.2909, 0.5837, 0.8112, 0.9660, 2.3745},
    {1.0000, 0.3164, 0.6070, 0.7962, 0.7880, 1.1448, 2.1154},
    {1.0000, 0.3207, 0.6267, 0.8091, 0.7753, 0.9241, 0.9649, 2.3829},
    {1.0000, 0.3449, 0.6565, 0.8686, 0.8028, 0.9701, 0.8182, 1.2503, 2.0612},
    {1.0000, 0.3318, 0.6500, 0.8467, 0.8167, 0.9426, 0.8239, 0.9857, 0.9630, 2.4140},
    {1.0139, 0.3500, 0.6698, 0.8817, 0.8148, 1.0183, 0.7949, 1.0929, 0.7508, 1.4303, 1.8322},
}};

// Linear phase, equiripple phase error 0.05°, orders 2 .. 10.
constexpr std::array<std::array<double, 11>, 9> LinearPhase005Rows = {{
    {1, 0.6480, 2.1085},
    {1, 0.4328, 1.0427, 2.2542},
    {1, 0.3363, 0.7963, 1.1428, 2.2459},
    {1, 0.2751, 0.6541, 0.8892, 1.1034, 2.2873},
    {1, 0.2374, 0.5662, 0.7578, 0.8760, 1.1163, 2.2448},
    {1, 0.2085, 0.4999, 0.6653, 0.7521, 0.8749, 1.0671, 2.2845},
    {1, 0.1891, 0.4543, 0.6031, 0.6750, 0.7590, 0.8427, 1.0901, 2.2415},
    {1, 0.1718, 0.4146, 0.5498, 0.6132, 0.6774, 0.7252, 0.8450, 1.0447, 2.2834},
    {1, 0.1601, 0.3867, 0.5125, 0.5702, 0.6243, 0.6557, 0.7319, 0.8178, 1.0767, 2.2387},
}};

// Linear phase, equiripple phase error 0.5°, orders 2 .. 10.
constexpr std::array<std::array<double, 11>, 9> LinearPhase05Rows = {{
    {1, 0.8245, 1.9800},
    {1, 0.5534, 1.0218, 2.4250},
    {1, 0.4526, 0.7967, 1.2669, 2.0504},
    {1, 0.3658, 0.6768, 0.9513, 1.0113, 2.4446},
    {1, 0.3313, 0.5984, 0.8390, 0.7964, 1.2734, 2.0111},
    {1, 0.2826, 0.5332, 0.7142, 0.6988, 0.9219, 0.9600, 2.4404},
    {1, 0.2718, 0.4999, 0.6800, 0.6312, 0.8498, 0.7447, 1.3174, 1.9626},
    {1, 0.2347, 0.4493, 0.5914, 0.5747, 0.7027, 0.6552, 0.8944, 0.9255, 2.4332},
    {1, 0.2359, 0.4369, 0.5887, 0.5428, 0.7034, 0.5827, 0.8720, 0.6869, 1.4317, 1.8431},
}};

std::span<const std::array<double, 11>> RowsOf(TabulatedResponse response) {
    switch (response) {
        case TabulatedResponse::Gaussian:
            return GaussianRows;
        case TabulatedResponse::GaussianTo6Db:
            return GaussianTo6DbRows;
        case TabulatedResponse::GaussianTo12Db:
            return GaussianTo12DbRows;
        case TabulatedResponse::LinearPhase005Deg:
            return LinearPhase005Rows;
        case TabulatedResponse::LinearPhase05Deg:
            return LinearPhase05Rows;
    }
    return {};
}

}  // namespace

TableOrders OrdersOf(TabulatedResponse response) {
    const bool linearPhase = response == TabulatedResponse::LinearPhase005Deg ||
                             response == TabulatedResponse::LinearPhase05Deg;
    const int lowest = linearPhase ? 2 : 3;
    return {lowest, lowest + static_cast<int>(RowsOf(response).size()) - 1};
}

LadderPrototype TabulatedLadder(TabulatedResponse response, int order) {
    const TableOrders orders = OrdersOf(response);
    if (order < orders.lowest || order > orders.highest)
        throw std::invalid_argument("no table row of order " + std::to_string(order));
    const auto& row = RowsOf(response)[static_cast<std::size_t>(order - orders.lowest)];
    // To a 1 Ω source: every element alternately times and over g0, so that each product of
    // neighbours, g0·g1 included, stays as it was, and g(n)·g(n+1) too. The ladder's load is the
    // reciprocal of g(n+1): a resistance after a series element where g(n+1) is a conductance.
    const double g0 = row[0];
    LadderPrototype ladder;
    for (int k = 1; k <= order; ++k)
        ladder.g.push_back(k % 2 == 1 ? row[std::size_t(k)] * g0 : row[std::size_t(k)] / g0);
    ladder.load = ladder.g.back() / row[std::size_t(order)];
    // The tables give the 3 dB point to their four digits; it is put at ω = 1 exactly.
    double below = 0.5, above = 2;
    for (int step = 0; step < 100; ++step) {
        const double omega = std::sqrt(below * above);
        (LadderTransmission(ladder, omega) > 0.5 ? below : above) = omega;
    }
    const double edge = std::sqrt(below * above);
    for (double& g : ladder.g)
        g *= edge;
    return ladder;
}

}  // namespace feldan
