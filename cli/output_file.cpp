#include "cli/output_file.h"

#include <filesystem>
#include <fstream>

#include "engine/errors.h"
#include "files/atomic_file.h"

namespace feldan::cli {

void WriteOutput(const std::string& path, const std::string& text, std::ostream& out) {
    std::error_code error;
    // By name too: a socket on standard output (a parent process's pipe) resolves to no file.
    const bool named = path == "/dev/stdout" || path == "/dev/fd/1" || path == "/proc/self/fd/1";
    if (named || std::filesystem::equivalent(path, "/proc/self/fd/1", error)) {
        out << text;
        if (!out) throw CommandError(std::string("I/O error"));
        return;
    }
    const auto kind = std::filesystem::status(path, error).type();
    if (kind == std::filesystem::file_type::character || kind == std::filesystem::file_type::fifo ||
        kind == std::filesystem::file_type::socket) {
        std::ofstream stream(path, std::ios::binary);
        stream << text;
        stream.close();
        if (!stream) throw CommandError(std::string("I/O error"));
        return;
    }
    WriteFileAtomically(path, text);
}

}  // namespace feldan::cli
