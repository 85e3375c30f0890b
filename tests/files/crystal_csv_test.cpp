#include "files/crystal_csv.h"

#include <gtest/gtest.h>

#include <string>

namespace feldan {
namespace {

TEST(CrystalList, ReadsColumnsInAnyOrderAndIgnoresTheRest) {
    const std::string text =
        "\xEF\xBB\xBFnote,c0_f,name,rm_ohm,lm_h,fs_hz\r\n"
        "bag 1,4e-12,X1,10,0.015,10000000\r\n"
        "\r\n"
        "\"bag, 2\",0,\"X \"\"2\"\"\",12.5,0.0149,9999950.5\r\n";
    const std::vector<NamedCrystal> list = ParseCrystalList(text, "bag.csv");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "X1");
    EXPECT_EQ(list[0].model.fsHz, 10e6);
    EXPECT_EQ(list[0].model.lmH, 0.015);
    EXPECT_EQ(list[0].model.rmOhm, 10);
    EXPECT_EQ(list[0].model.c0F, 4e-12);
    // Cm follows from fs and Lm: the series resonance of Lm and Cm is fs.
    EXPECT_NEAR(1 / (2 * 3.141592653589793 * std::sqrt(list[0].model.lmH * list[0].model.cmF)),
                10e6, 1e-3);
    EXPECT_EQ(list[1].name, "X \"2\"");
    EXPECT_EQ(list[1].model.fsHz, 9999950.5);
    // Written and read again: the same crystals.
    const std::vector<NamedCrystal> back = ParseCrystalList(CrystalListBytes(list), "back.csv");
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1].name, list[1].name);
    EXPECT_EQ(back[1].model.lmH, list[1].model.lmH);
}

TEST(CrystalList, MalformedListsNameTheFileAndTheLine) {
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "«x.csv», строка 1: в заголовке нет столбца name"},
        {"name,fs_hz,lm_h,rm_ohm\n", "«x.csv», строка 1: в заголовке нет столбца c0_f"},
        {"name,fs_hz,lm_h,rm_ohm,c0_f\nA,1e7,0.01,10\n",
         "«x.csv», строка 2: в строке должно быть столько же полей, сколько в заголовке (5)"},
        {"name,fs_hz,lm_h,rm_ohm,c0_f\nA,1e7,0.01,10,4e-12\nB,10 MHz,0.01,10,4e-12\n",
         "«x.csv», строка 3: «10 MHz» — не число"},
        {"name,fs_hz,lm_h,rm_ohm,c0_f\nA,1e7,-0.01,10,0\n",
         "«x.csv», строка 2: значение в столбце lm_h должно быть положительным"},
        {"name,fs_hz,lm_h,rm_ohm,c0_f\n\"A,1e7,0.01,10,0\n",
         "«x.csv», строка 2: кавычки не закрыты"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            ParseCrystalList(c.text, "x.csv");
            ADD_FAILURE() << "accepted";
        } catch (const CrystalListError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

}  // namespace
}  // namespace feldan
