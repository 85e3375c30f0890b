#include "files/crystal_csv.h"

#include <gtest/gtest.h>

#include <cmath>
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

// Mode columns are optional groups: a crystal with fewer modes leaves its fields empty, and a
// list written back has the groups its crystals need, and none when they have no modes.
TEST(CrystalList, UnwantedModesReadAndWrittenInColumnGroups) {
    const std::string text =
        "name,fs_hz,lm_h,rm_ohm,c0_f,mode3_rm_ohm,mode2_fs_hz,mode2_lm_h,mode2_rm_ohm,"
        "mode3_fs_hz,mode3_lm_h\n"
        "A,9e6,0.015,12,3.5e-12,400,9020000,0.015,24,9100000,0.03\n"
        "B,9e6,0.015,12,3.5e-12,,9020100,0.016,25,,\n"
        "C,9e6,0.015,12,3.5e-12,,,,,,\n";
    const std::vector<NamedCrystal> list = ParseCrystalList(text, "bag.csv");
    ASSERT_EQ(list.size(), 3u);
    ASSERT_EQ(list[0].model.modes.size(), 2u);
    EXPECT_EQ(list[0].model.modes[1].fsHz, 9.1e6);
    EXPECT_EQ(list[0].model.modes[1].rmOhm, 400);
    EXPECT_NEAR(1 / (2 * 3.141592653589793 *
                     std::sqrt(list[0].model.modes[1].lmH * list[0].model.modes[1].cmF)),
                9.1e6, 1e-3);
    ASSERT_EQ(list[1].model.modes.size(), 1u);
    EXPECT_EQ(list[1].model.modes[0].lmH, 0.016);
    EXPECT_TRUE(list[2].model.modes.empty());
    const std::string bytes = CrystalListBytes(list);
    EXPECT_EQ(bytes.substr(0, bytes.find('\n')),
              "name,fs_hz,lm_h,rm_ohm,c0_f,mode2_fs_hz,mode2_lm_h,mode2_rm_ohm,mode3_fs_hz,"
              "mode3_lm_h,mode3_rm_ohm");
    const std::vector<NamedCrystal> back = ParseCrystalList(bytes, "back.csv");
    for (std::size_t k = 0; k < list.size(); ++k)
        EXPECT_EQ(back[k].model.modes, list[k].model.modes) << k;
    EXPECT_EQ(CrystalListBytes({list[2]}).find("mode"), std::string::npos);
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
        {"name,fs_hz,lm_h,rm_ohm,c0_f,mode2_fs_hz,mode2_rm_ohm\n",
         "«x.csv», строка 1: в заголовке нет столбца mode2_lm_h"},
        {"name,fs_hz,lm_h,rm_ohm,c0_f,mode2_fs_hz,mode2_lm_h,mode2_rm_ohm\nA,1e7,0.01,10,0,1e7,,"
         "5\n",
         "«x.csv», строка 2: значение в столбце mode2_lm_h должно быть положительным"},
        {"name,fs_hz,lm_h,rm_ohm,c0_f,mode2_fs_hz,mode2_lm_h,mode2_rm_ohm\nA,1e7,0.01,10,0,1e7,0."
         "01,"
         "x\n",
         "«x.csv», строка 2: «x» — не число"},
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
