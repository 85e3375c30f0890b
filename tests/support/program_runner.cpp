#include "tests/support/program_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace feldan::test {
namespace {

std::string UniquePath(const std::string& name) {
    static std::atomic<int> counter{0};
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    return (folder / ("feldan_test_" + std::to_string(::getpid()) + "_" +
                      std::to_string(counter++) + "_" + name))
        .string();
}

std::string NameOf(const std::string& assignment) {
    return assignment.substr(0, assignment.find('='));
}

// The base environment with every assignment of `env` replacing one of the same name.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& env) {
    std::vector<std::string> result = {"LC_ALL=C"};
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "PATH"}) {
        if (const char* value = std::getenv(name))
            result.push_back(std::string(name) + "=" + value);
    }
    for (const std::string& assignment : env) {
        bool replaced = false;
        for (std::string& existing : result) {
            if (NameOf(existing) == NameOf(assignment)) {
                existing = assignment;
                replaced = true;
            }
        }
        if (!replaced) result.push_back(assignment);
    }
    return result;
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
    std::ifstream file(path_, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& env) {
    const ScratchFile outFile("stdout");
    const ScratchFile errFile("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.Path().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.Path().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<std::string> argStorage = {program};
    argStorage.insert(argStorage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStorage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStorage = ChildEnvironment(env);
    std::vector<char*> envp;
    for (std::string& e : envStorage)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    ProgramRun run;
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
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
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
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

}  // namespace feldan::test
