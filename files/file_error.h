// Failed file operations and the texts that name their reason.
#pragma once

#include <string>

#include "engine/errors.h"

namespace feldan {

// A file that cannot be opened, read or written; the text names the reason ("Disk full").
class FileError : public CommandError {
  public:
    using CommandError::CommandError;
};

// The text of a failed file operation for an errno value: "File not found", "Invalid filename",
// "Too many open files", "File access denied", "Disk full", otherwise "I/O error <code>".
std::string FileErrorText(int errnoValue);

// As FileErrorText, but a file missing because a folder on its way is missing makes the name
// invalid rather than the file not found.
std::string PathErrorText(const std::string& path, int errnoValue);

}  // namespace feldan
