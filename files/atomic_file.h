// Writing a whole file so that a failed save or a crash leaves the old file or the new one,
// never a mixture, and a save reported as done is on the disk.
#pragma once

#include <string>
#include <string_view>

namespace feldan {

// Writes `bytes` to `path`: into a new temporary file in the same folder, forced to the disk
// (fsync), renamed over the target, and then the folder forced to the disk, so that the rename
// survives a power cut too. A link is followed: the file it points to is replaced. An existing
// target must be a writable regular file; its permission bits carry over to the new one.
// Throws FileError with the reason. A failure before the rename removes the temporary and leaves
// an existing file as it was; a failure to force the folder to the disk after the rename (an I/O
// error) is reported too, with the new file in place.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace feldan
