#include "tests/reliability/expected_outcome.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace feldan::reliability {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Standard error without the texts the user typed, which a conversion error quotes.
std::string WithoutQuotedTexts(std::string err, const std::vector<std::string>& converted) {
    for (const std::string& text : converted) {
        const std::string quoted = "'" + text + "'";
        for (std::size_t at = err.find(quoted); at != std::string::npos; at = err.find(quoted))
            err.erase(at, quoted.size());
    }
    return err;
}

// A fault of a field adds the field's rule on a last line of its own, after the words the
// program has always had: the ending is those words.
std::string WithoutRule(const std::string& message) {
    const std::size_t at = message.rfind('\n');
    if (at == std::string::npos) return message;
    const std::string head = message.substr(0, at);
    const bool ruled =
        head == DivisionByZero || head == InvalidOperation || head == Overflow ||
        head == NoSolution ||
        (head.starts_with("'") && head.ends_with("' is not a valid floating point value"));
    return ruled ? head : message;
}

}  // namespace

std::string Abbreviated(const std::string& text) {
    constexpr std::size_t Shown = 200;
    if (text.size() <= Shown) return text;
    return text.substr(0, Shown / 2) + "... (" + std::to_string(text.size()) + " bytes) ..." +
           text.substr(text.size() - Shown / 2);
}

void ExpectSoundEnding(const CliRun& run, const std::vector<std::string>& converted,
                       const std::optional<Ending>& expected, bool json) {
    ASSERT_TRUE(run.started) << "feldan-cli did not start";
    ASSERT_FALSE(run.hung) << "still running after " << HangLimitSeconds << " s";
    ASSERT_TRUE(run.exited) << "ended by signal " << run.signal << "\n" << run.err;
    EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << run.err;
    EXPECT_FALSE(HasNonFiniteWord(run.out)) << run.out;
    EXPECT_FALSE(HasNonFiniteWord(WithoutQuotedTexts(run.err, converted))) << Abbreviated(run.err);

    const std::string message = WithoutRule(!run.err.empty() && run.err.back() == '\n'
                                                ? run.err.substr(0, run.err.size() - 1)
                                                : run.err);
    if (expected) {
        EXPECT_EQ(run.status, expected->status) << Abbreviated(run.err);
        EXPECT_TRUE(message == expected->message)
            << "standard error: " << Abbreviated(message)
            << "\nexpected: " << Abbreviated(expected->message);
    }
    switch (run.status) {
        case 0: {
            EXPECT_EQ(run.err, "");
            if (json) break;
            // The summary: the input resistance first, the band width last, one line each.
            const std::vector<std::string> lines = Lines(run.out);
            ASSERT_GE(lines.size(), 4u) << run.out;
            EXPECT_TRUE(StartsWith(lines.front(), "Rвх=")) << run.out;
            EXPECT_TRUE(StartsWith(lines.back(), "A(Fo)=")) << run.out;
            EXPECT_NE(lines.back().find(" dF("), std::string::npos) << run.out;
            break;
        }
        case 1: {
            const std::string warnings[] = {MissingData,  ZeroRd,   ZeroResistance, NoSolution,
                                            MissingLevel, BadLevel, BandLimit};
            EXPECT_NE(std::find(std::begin(warnings), std::end(warnings), message),
                      std::end(warnings))
                << "not a warning of the program: " << Abbreviated(run.err);
            if (!json) {
                EXPECT_EQ(run.out, "");
            }
            break;
        }
        case 2: {
            std::vector<std::string> errors = {DivisionByZero, InvalidOperation, Overflow};
            for (const std::string& text : converted)
                errors.push_back(NotAFloat(text));
            // A refused design file is named with its reason.
            if (expected) errors.push_back(expected->message);
            EXPECT_NE(std::find(errors.begin(), errors.end(), message), errors.end())
                << "not an error of the program: " << Abbreviated(run.err);
            if (!json) {
                EXPECT_EQ(run.out, "");
            }
            break;
        }
        default:
            ADD_FAILURE() << "exit status " << run.status << "\n" << Abbreviated(run.err);
    }
}

}  // namespace feldan::reliability
