#include "tests/reliability/cli_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

extern char** environ;

namespace feldan::reliability {
namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::string UniquePath(const std::string& name) {
    static std::atomic<int> counter{0};
    return testing::TempDir() + "feldan_reliability_" + std::to_string(::getpid()) + "_" +
           std::to_string(counter++) + "_" + name;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

ScratchFile::ScratchFile(const std::string& name) : path_(UniquePath(name)) {}

ScratchFile::~ScratchFile() {
    std::remove(path_.c_str());
}

void ScratchFile::Write(const std::string& bytes) const {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file << bytes;
}

std::string ScratchFile::Read() const {
    return ReadWhole(path_);
}

CliRun RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    const ScratchFile outFile("stdout");
    const ScratchFile errFile("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.Path().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.Path().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> argStorage = {FELDAN_CLI_PATH};
    argStorage.insert(argStorage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStorage)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    // A C locale, and whatever the sanitizers were told: a sanitizer build must report here too.
    std::vector<std::string> envStorage = {"LC_ALL=C"};
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "PATH"}) {
        if (const char* value = std::getenv(name))
            envStorage.push_back(std::string(name) + "=" + value);
    }
    envStorage.insert(envStorage.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (std::string& e : envStorage)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    CliRun run;
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, FELDAN_CLI_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    run.started = true;

    // Polls rather than blocks, so a run that never ends is ended here.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(HangLimitSeconds);
    int waitStatus = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &waitStatus, WNOHANG);
        if (done == pid) break;
        if (done < 0) return run;
        if (std::chrono::steady_clock::now() > deadline) {
            run.hung = true;
            kill(pid, SIGKILL);
            waitpid(pid, &waitStatus, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!run.hung && WIFEXITED(waitStatus)) {
        run.exited = true;
        run.status = WEXITSTATUS(waitStatus);
    } else if (WIFSIGNALED(waitStatus)) {
        run.signal = WTERMSIG(waitStatus);
    }
    run.out = outFile.Read();
    run.err = errFile.Read();
    return run;
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
