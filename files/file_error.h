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
int PathErrorCode(const std::string& path, int errnoValue);

// The name of a path without its folders, as messages name a file.
std::string FileNameOf(const std::string& path);

// The whole content of a file, read in pieces. Throws FileError (MessageId::FileUnreadable,
// naming the file and the errno code) when it cannot be read, and CommandError with
// MessageId::ReadFileTooLarge (naming the file) when it holds more than `limit` bytes: nothing that
// large is read into memory.
std::string ReadWholeFile(const std::string& path, std::size_t limit);

}  // namespace feldan
