#include "tests/reliability/cli_process.h"

namespace feldan::reliability {
namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    return test::RunProgram(FELDAN_CLI_PATH, args, env);
}

bool HasNonFiniteWord(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (!IsLetter(text[i])) {
            ++i;
            continue;
        }
        std::string word;
        for (; i < text.size() && IsLetter(text[i]); ++i)
            word += static_cast<char>(text[i] | 0x20);
        if (word == "nan" || word == "inf" || word == "infinity") return true;
    }
    return false;
}

}  // namespace feldan::reliability
