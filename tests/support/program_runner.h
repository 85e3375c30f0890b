// Runs a built program of the project as a user would, with a time limit, and keeps what it
// printed. Shared by the tests of feldan-cli and the bad-input suite.
#pragma once

#include <string>
#include <vector>

namespace feldan::test {

struct ProgramRun {
    bool started = false;
    bool exited = false;  // false: killed by a signal or stopped at the time limit
    bool hung = false;    // still running at the time limit
    int status = -1;      // exit status when `exited`
    int signal = 0;       // the signal that ended it, if one did
    std::string out;
    std::string err;
};

// Far above any calculation, which its step limits bound: a run that reaches it is stuck.
inline constexpr int HangLimitSeconds = 300;

// Runs `program` with `args`. The environment is a C locale, PATH and the sanitizer settings of
// this process (so a sanitizer build reports in the child too); each "NAME=value" of `env`
// replaces or adds a variable. Waits at most HangLimitSeconds, then kills the program.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {});

// A scratch file path unique to this process; the file is removed with the object.
class ScratchFile {
  public:
    explicit ScratchFile(const std::string& name);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return path_; }
    void Write(const std::string& bytes) const;
    std::string Read() const;

  private:
    std::string path_;
};

}  // namespace feldan::test
