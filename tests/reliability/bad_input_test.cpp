// Bad input through the built feldan-cli: every field with texts that are empty, zero, negative,
// out of range, not numbers or very long; the level's limits; Ck of zero; the separators; options
// out of range. Each run must end in the program's own message or a valid result.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/reliability/cli_process.h"
#include "tests/reliability/expected_outcome.h"

namespace feldan::reliability {
namespace {

struct Field {
    std::string name;
    std::string option;
    std::string startText;  // the window's start text
};

const Field Fields[] = {
    {"Fo", "--fo", "8861.736"}, {"Df", "--df", "3100"}, {"Ld", "--ld", "10.1"},
    {"Cs", "--cs", "6.3"},      {"Rd", "--rd", "5.7"},  {"Ck", "--ck", "91"},
    {"Level", "--level", "-3"},
};

// Every field accepts either separator: ',' becomes '.' in a C locale before the conversion,
// and the conversion error quotes the text it was given.
std::string Normalized(std::string text) {
    for (char& c : text) {
        if (c == ',') c = '.';
    }
    return text;
}

// A text that is a number far beyond the range of a double although its exponent is moderate
// next to its length: 10^(1000000 - 120001).
std::string LongZerosHugeExponent() {
    return "0." + std::string(120000, '0') + "1e1000000";
}

// The start text of a field with a long tail of zeros after the decimal point: the same number.
std::string LongStartText(const Field& field) {
    const std::string& start = field.startText;
    return start + (start.find('.') == std::string::npos ? "." : "") + std::string(100000, '0');
}

// An option with its text joined by "=", so a text that starts with '-' is not taken for an
// option; "--ck=" is the empty text.
std::vector<std::string> OptionArgs(const std::string& option, const std::string& text) {
    return {option + "=" + text};
}

struct TextCase {
    std::string name;
    std::string text;
    // The ending the text must give in `field`, when the rules of the program say which one;
    // nullopt when any of its sound endings will do.
    std::function<std::optional<Ending>(const Field&)> expected;
};

// A text that the number conversion refuses, in whichever field it is typed.
TextCase NotANumber(const std::string& name, const std::string& text) {
    return {name, text, [text](const Field&) -> std::optional<Ending> {
                return Error(NotAFloat(Normalized(text)));
            }};
}

// Zero in each field: Fo makes 0/0, dF and Ld a division by zero, Rd the zero resistance, the
// level is not below the maximum.
std::optional<Ending> Zero(const Field& f, const std::string& rdMessage) {
    if (f.name == "Fo") return Error(InvalidOperation);
    if (f.name == "Df" || f.name == "Ld") return Error(DivisionByZero);
    if (f.name == "Rd") return Warning(rdMessage);
    if (f.name == "Level") return Warning(BadLevel);
    return std::nullopt;
}

// A negative Fo has no analysis point; a negative level is a level. Others are used as typed.
std::optional<Ending> Negative(const Field& f) {
    if (f.name == "Fo") return Warning(NoSolution);
    return std::nullopt;
}

// A positive level is above the maximum.
std::optional<Ending> Positive(const Field& f) {
    if (f.name == "Level") return Warning(BadLevel);
    return std::nullopt;
}

std::vector<TextCase> TextCases() {
    return {
        {"Empty", "",
         [](const Field& f) -> std::optional<Ending> {
             return Warning(f.name == "Level" ? MissingLevel : MissingData);
         }},
        {"Zero", "0", [](const Field& f) { return Zero(f, ZeroRd); }},
        {"ZeroPointZero", "0.0", [](const Field& f) { return Zero(f, ZeroResistance); }},
        {"MinusZero", "-0", [](const Field& f) { return Zero(f, ZeroResistance); }},
        {"MinusOne", "-1", Negative},
        {"MinusThousand", "-1000", Negative},
        {"Three", "3", Positive},
        {"Huge", "1e308",
         [](const Field& f) -> std::optional<Ending> {
             // Fo·1000 is beyond the range of a double.
             if (f.name == "Fo") return Error(Overflow);
             return Positive(f);
         }},
        {"Tiny", "1e-300", Positive},
        {"Blanks", " 5 ", Positive},
        NotANumber("ThreeParts", "1,2,3"),
        NotANumber("TwoDots", ".."),
        NotANumber("Letters", "abc"),
        NotANumber("Inf", "inf"),
        NotANumber("Nan", "nan"),
        NotANumber("MinusInfinity", "-Infinity"),
        NotANumber("BeyondRange", "1e999"),
        NotANumber("Hexadecimal", "0x10"),
        NotANumber("ExponentWithoutDigits", "1e"),
        NotANumber("SignOnly", "-"),
        NotANumber("LongLetters", std::string(100000, 'x')),
        NotANumber("LongDigits", std::string(100000, '9')),
        NotANumber("LongZerosHugeExponent", LongZerosHugeExponent()),
    };
}

// The texts are made once; a case names a field and a text by position, so the list of cases
// stays small although some texts are 100 kB long.
const std::vector<TextCase>& AllTextCases() {
    static const std::vector<TextCase> cases = TextCases();
    return cases;
}

struct FieldTextCase {
    std::size_t field;
    std::size_t text;
};

std::vector<FieldTextCase> FieldTextCases() {
    std::vector<FieldTextCase> cases;
    for (std::size_t field = 0; field < std::size(Fields); ++field) {
        for (std::size_t text = 0; text < AllTextCases().size(); ++text)
            cases.push_back({field, text});
    }
    return cases;
}

std::string NameOf(const FieldTextCase& c) {
    return Fields[c.field].name + "_" + AllTextCases()[c.text].name;
}

void PrintTo(const FieldTextCase& c, std::ostream* out) {
    *out << NameOf(c);
}

class FieldText : public testing::TestWithParam<FieldTextCase> {};

// Ck is converted only for the CW topologies, so its texts are tried with the first of them.
TEST_P(FieldText, EndsInAMessageOrAResult) {
    const Field& field = Fields[GetParam().field];
    const TextCase& text = AllTextCases()[GetParam().text];
    std::vector<std::string> args;
    if (field.name == "Ck") args = {"--type", "5"};
    for (const std::string& arg : OptionArgs(field.option, text.text))
        args.push_back(arg);
    ExpectSoundEnding(RunCli(args), {Normalized(text.text)}, text.expected(field));
}

INSTANTIATE_TEST_SUITE_P(EveryField, FieldText, testing::ValuesIn(FieldTextCases()),
                         [](const testing::TestParamInfo<FieldTextCase>& info) {
                             return NameOf(info.param);
                         });

// A field text that is the start text with many zeros after it is the same number: the same
// summary as the start design.
TEST(LongText, OfTheSameNumberGivesTheSameSummary) {
    const CliRun start = RunCli({});
    ASSERT_EQ(start.status, 0) << start.err;
    for (const Field& field : Fields) {
        SCOPED_TRACE(field.name);
        const CliRun run = RunCli({field.option + "=" + LongStartText(field)});
        ExpectSoundEnding(run, {}, Finished());
        EXPECT_EQ(run.out, start.out);
    }
}

// The ladders do not use Ck, but the field must not be empty.
TEST(LadderCk, IsAskedForButNotRead) {
    const CliRun start = RunCli({});
    ASSERT_EQ(start.status, 0) << start.err;
    for (const TextCase& text : AllTextCases()) {
        SCOPED_TRACE(text.name);
        std::vector<std::string> args = {"--type", "2"};
        for (const std::string& arg : OptionArgs("--ck", text.text))
            args.push_back(arg);
        const CliRun run = RunCli(args);
        if (text.text.empty()) {
            ExpectSoundEnding(run, {}, Warning(MissingData));
        } else {
            ExpectSoundEnding(run, {}, Finished());
            EXPECT_EQ(run.out, start.out);
        }
    }
}

// A zero Ck is an open series arm in every CW topology: the load gets nothing.
TEST(CwCk, ZeroHasNoSolutionInEveryCwTopology) {
    for (const int type : {5, 6, 7}) {
        for (int response = 1; response <= 5; ++response) {
            SCOPED_TRACE("type " + std::to_string(type) + ", response " + std::to_string(response));
            const CliRun run = RunCli({"--type", std::to_string(type), "--response",
                                       std::to_string(response), "--ck", "0"});
            ExpectSoundEnding(run, {"0"}, Warning(NoSolution));
        }
    }
}

// No response falls 1000 dB within the 30 kHz that a search may step: the band limit, always.
TEST(Level, ThousandDecibelsIsBeyondTheBandLimitForEveryDesign) {
    for (int type = 1; type <= 7; ++type) {
        for (int response = 1; response <= 5; ++response) {
            SCOPED_TRACE("type " + std::to_string(type) + ", response " + std::to_string(response));
            const CliRun run = RunCli({"--type", std::to_string(type), "--response",
                                       std::to_string(response), "--level", "-1000"});
            ExpectSoundEnding(run, {"-1000"}, Warning(BandLimit));
        }
    }
}

// Every field reads either separator; two separators are no number, with the locale's shown.
TEST(Separator, EitherIsReadInEveryField) {
    const CliRun startComma = RunCli({"--separator", ","});
    ASSERT_EQ(startComma.status, 0) << startComma.err;
    const CliRun startDot = RunCli({});
    ASSERT_EQ(startDot.status, 0) << startDot.err;
    const CliRun levelComma = RunCli({"--separator", ",", "--level", "-3,5"});
    ASSERT_EQ(levelComma.status, 0) << levelComma.err;
    const CliRun ckDot = RunCli({"--type", "5", "--ck", "91.5"});
    ASSERT_EQ(ckDot.status, 0) << ckDot.err;
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> converted;
        Ending expected;
        const std::string* sameAs;  // the summary it must equal, if any
    };
    const Case cases[] = {
        {{"--separator", ",", "--fo", "8861.736"}, {"8861,736"}, Finished(), &startComma.out},
        {{"--separator", ",", "--fo", "8861,736"}, {"8861,736"}, Finished(), &startComma.out},
        {{"--separator", ".", "--fo", "8861,736"}, {"8861.736"}, Finished(), &startDot.out},
        {{"--separator", ",", "--level", "-3.5"}, {"-3,5"}, Finished(), &levelComma.out},
        {{"--separator", ".", "--type", "5", "--ck", "91,5"}, {"91.5"}, Finished(), &ckDot.out},
        {{"--separator", ",", "--level", "-3.5,1"},
         {"-3,5,1"},
         Error(NotAFloat("-3,5,1")),
         nullptr},
        {{"--separator", ",", "--fo", "8861,7,36"},
         {"8861,7,36"},
         Error(NotAFloat("8861,7,36")),
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun run = RunCli(c.args);
        ExpectSoundEnding(run, c.converted, c.expected);
        if (c.sameAs != nullptr) {
            EXPECT_EQ(run.out, *c.sameAs);
        }
    }
}

// Options out of range are bad usage: status 2, a message that names the option, no calculation.
TEST(Usage, SelectionsOutOfRangeAreRefused) {
    const std::vector<std::vector<std::string>> cases = {
        {"--type", "0"},          {"--type", "8"},      {"--type", "-1"},    {"--type", "abc"},
        {"--type", "2147483648"}, {"--type", ""},       {"--response", "0"}, {"--response", "6"},
        {"--response", "1.5"},    {"--separator", ";"}, {"--separator", ""}, {"--fo"},
        {"--no-such-option"},
    };
    for (const std::vector<std::string>& args : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        const CliRun run = RunCli(args);
        ASSERT_TRUE(run.exited) << "signal " << run.signal;
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(args[0]), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
        EXPECT_FALSE(HasNonFiniteWord(run.err)) << run.err;
    }
}

}  // namespace
}  // namespace feldan::reliability
