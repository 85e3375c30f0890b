// Runs the built feldan-cli as a user would, with a time limit, and keeps what it printed.
#pragma once

#include <string>
#include <vector>

namespace feldan::reliability {

struct CliRun {
    bool started = false;
    bool exited = false;  // false: killed by a signal or stopped at the time limit
    bool hung = false;    // still running at the time limit
    int status = -1;      // exit status when `exited`
    int signal = 0;       // the signal that ended it, if one did
    std::string out;
    std::string err;
};

// The limit is far above any calculation, which is bounded by its step limits: a run that
// reaches it is stuck, not slow.
inline constexpr int HangLimitSeconds = 300;

// Runs feldan-cli with `args` in a C locale (plus `env`), waits at most HangLimitSeconds.
CliRun RunCli(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

// A scratch file path of this test process; the file is removed with the object.
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

// True when `text` holds "nan", "inf" or "infinity" as a word of its own, in any case; words such
// as "information" do not count.
bool HasNonFiniteWord(const std::string& text);

}  // namespace feldan::reliability
