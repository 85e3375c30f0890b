#include "engine/prototype.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <string>

namespace feldan {
namespace {

double Parse(const char* text) {
    double value = 0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

struct Cell {
    int filterType;
    int responseType;
    const char* g[4];  // "" where the order does not use the coefficient
    const char* name;
};

// The published prototype table, written out as decimal text.
const Cell Catalogue[] = {
    {1, 1, {"1.0", "2.0", "", ""}, "B03-"},
    {1, 2, {"0.8533", "1.1036", "", ""}, "T03-10-"},
    {1, 3, {"1.0285", "1.1468", "", ""}, "T03-15-"},
    {1, 4, {"1.1893", "1.154", "", ""}, "T03-20-"},
    {1, 5, {"1.3451", "1.1412", "", ""}, "T03-25-"},
    {2, 1, {"0.7654", "1.848", "", ""}, "B04-"},
    {2, 2, {"0.7994", "1.354", "", ""}, "T04-10-"},
    {2, 3, {"0.9277", "1.434", "", ""}, "T04-15-"},
    {2, 4, {"1.041", "1.482", "", ""}, "T04-20-"},
    {2, 5, {"1.146", "1.513", "", ""}, "T04-25-"},
    {3, 1, {"0.5176", "1.414", "1.932", ""}, "B06-"},
    {3, 2, {"0.8989", "1.478", "1.721", ""}, "T06-10-"},
    {3, 3, {"1.036", "1.516", "1.788", ""}, "T06-15-"},
    {3, 4, {"1.159", "1.529", "1.838", ""}, "T06-20-"},
    {3, 5, {"1.277", "1.528", "1.878", ""}, "T06-25-"},
    {4, 1, {"0.3902", "1.111", "1.663", "1.962"}, "B08-"},
    {4, 2, {"0.943", "1.507", "1.828", "1.808"}, "T08-10-"},
    {4, 3, {"1.086", "1.526", "1.902", "1.83"}, "T08-15-"},
    {4, 4, {"1.215", "1.523", "1.963", "1.84"}, "T08-20-"},
    {4, 5, {"1.34", "1.508", "2.019", "1.844"}, "T08-25-"},
    {5, 1, {"0.7654", "1.848", "", ""}, "B04C-"},
    {5, 2, {"0.7994", "1.354", "", ""}, "T04C-10"},
    {5, 3, {"0.9277", "1.434", "", ""}, "T04C-15"},
    {5, 4, {"1.041", "1.482", "", ""}, "T04C-20"},
    {5, 5, {"1.146", "1.513", "", ""}, "T04C-25"},
    {6, 1, {"0.5176", "1.414", "1.932", ""}, "B06C-"},
    {6, 2, {"0.8989", "1.478", "1.721", ""}, "T06C-10"},
    {6, 3, {"1.036", "1.516", "1.788", ""}, "T06C-15"},
    {6, 4, {"1.159", "1.529", "1.838", ""}, "T06C-20"},
    {6, 5, {"1.277", "1.528", "1.878", ""}, "T06C-25"},
    {7, 1, {"0.3902", "1.111", "1.663", "1.962"}, "B08C-"},
    {7, 2, {"0.943", "1.507", "1.828", "1.808"}, "T08C-10"},
    {7, 3, {"1.086", "1.526", "1.902", "1.83"}, "T08C-15"},
    {7, 4, {"1.215", "1.523", "1.963", "1.84"}, "T08C-20"},
    {7, 5, {"1.34", "1.508", "2.019", "1.844"}, "T08C-25"},
};

TEST(LoadPrototype, EveryCellGivesItsCoefficientsAndDesignation) {
    ASSERT_EQ(std::size(Catalogue), 35u);
    for (const Cell& cell : Catalogue) {
        SCOPED_TRACE("FilterType " + std::to_string(cell.filterType) + ", ResponseType " +
                     std::to_string(cell.responseType));
        Synthesis state;
        // Sentinels show which coefficients the order leaves alone.
        state.ProtoG1 = state.ProtoG2 = state.ProtoG3 = state.ProtoG4 = -7.5;
        LoadPrototype(cell.filterType, cell.responseType, state);
        const double got[4] = {state.ProtoG1, state.ProtoG2, state.ProtoG3, state.ProtoG4};
        for (int i = 0; i < 4; ++i) {
            if (cell.g[i][0] == '\0') {
                EXPECT_EQ(got[i], -7.5) << "g" << i + 1 << " must keep its value";
            } else {
                EXPECT_EQ(got[i], Parse(cell.g[i])) << "g" << i + 1;
            }
        }
        EXPECT_EQ(state.PrototypeName, cell.name);
    }
}

TEST(LoadPrototype, SmallerOrderAfterLargerKeepsTheUnusedCoefficients) {
    Synthesis state;
    LoadPrototype(4, 2, state);
    LoadPrototype(1, 2, state);
    EXPECT_EQ(state.ProtoG1, 0.8533);
    EXPECT_EQ(state.ProtoG2, 1.1036);
    EXPECT_EQ(state.ProtoG3, 1.828);
    EXPECT_EQ(state.ProtoG4, 1.808);
    EXPECT_EQ(state.PrototypeName, "T03-10-");
}

TEST(LoadPrototype, SelectionOutsideTheTableWritesNothing) {
    const int selections[][2] = {{0, 1}, {8, 1}, {9, 3}, {-1, 2}, {2, 0}, {2, 6}, {7, -5}, {0, 0}};
    for (const auto& sel : selections) {
        SCOPED_TRACE(std::to_string(sel[0]) + "/" + std::to_string(sel[1]));
        Synthesis fresh;
        LoadPrototype(sel[0], sel[1], fresh);
        EXPECT_EQ(fresh.ProtoG1, 0.0);
        EXPECT_EQ(fresh.ProtoG2, 0.0);
        EXPECT_EQ(fresh.ProtoG3, 0.0);
        EXPECT_EQ(fresh.ProtoG4, 0.0);
        EXPECT_EQ(fresh.PrototypeName, "");

        Synthesis used;
        LoadPrototype(6, 3, used);
        LoadPrototype(sel[0], sel[1], used);
        EXPECT_EQ(used.ProtoG1, 1.036);
        EXPECT_EQ(used.ProtoG3, 1.788);
        EXPECT_EQ(used.PrototypeName, "T06C-15");
    }
}

TEST(Constants, AreTheEngineLiterals) {
    EXPECT_EQ(TwoPi, 6.2831853071794);
    EXPECT_EQ(FourPiSquared, 39.478417604355091);
    EXPECT_EQ(ThousandFourPiSquared, 39478.417604355091);
    // The reason the product has its own literal.
    EXPECT_NE(FourPiSquared * 1000, ThousandFourPiSquared);
}

}  // namespace
}  // namespace feldan
