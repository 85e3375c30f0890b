// Where the tool writes a file an option names: every such option takes a file, standard output
// or a pipe alike.
#pragma once

#include <ostream>
#include <string>

namespace feldan::cli {

// Writes `text` to `path`. A file is replaced whole or not at all (a failed write leaves the old
// one); standard output itself (/dev/stdout, or its descriptor's path) takes it through `out`, in
// order with what the command prints there; another device, a pipe or a socket, which cannot be
// replaced, is written as it is. Throws CommandError when the write fails.
void WriteOutput(const std::string& path, const std::string& text, std::ostream& out);

}  // namespace feldan::cli
