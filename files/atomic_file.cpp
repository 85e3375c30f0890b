#include "files/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "files/file_error.h"

namespace feldan {
namespace {

namespace fs = std::filesystem;

// A file system that cannot force this file or folder to the disk (some network and FUSE file
// systems): nothing more can be done there, so the save goes on. Anything else, an I/O error
// above all, fails it.
bool SyncUnsupported(int error) {
    return error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

// "~fdn0.tmp" for "a.fdn": the kind of file shows in the name of a temporary left by a crash.
std::string TemporaryName(const fs::path& target, int n) {
    std::string tag = target.extension().string();
    if (!tag.empty()) tag.erase(0, 1);
    bool plain = tag.size() <= 8;
    for (const char c : tag)
        plain =
            plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
    return "~" + (plain ? tag : std::string()) + std::to_string(n) + ".tmp";
}

// Writes the bytes to a new file in `folder` that no one else uses, with the permission bits
// `mode` when given, and forces it to the disk; returns its path.
fs::path WriteTemporary(const fs::path& folder, const fs::path& target, std::string_view bytes,
                        const fs::perms* mode) {
    constexpr int Attempts = 1000;
    for (int n = 0; n < Attempts; ++n) {
        const fs::path temp = folder / TemporaryName(target, n);
        errno = 0;
        // "x": never open a file that already exists, whoever made it.
        std::FILE* file = std::fopen(temp.c_str(), "wbx");
        if (file == nullptr) {
            if (errno == EEXIST) continue;
            throw FileError(PathErrorText(temp.string(), errno));
        }
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok = ok && std::fflush(file) == 0;
        int error = ok ? 0 : errno;
        if (ok && mode != nullptr) {
            std::error_code ec;
            fs::permissions(temp, *mode, ec);
        }
        // The bytes reach the disk before the name does: a crash after the rename must not
        // leave the new name on an empty or partly written file.
        if (ok && ::fsync(::fileno(file)) != 0 && !SyncUnsupported(errno)) {
            ok = false;
            error = errno;
        }
        if (std::fclose(file) != 0 && ok) {
            ok = false;
            error = errno;
        }
        if (!ok) {
            std::remove(temp.c_str());
            throw FileError(FileErrorText(error));
        }
        return temp;
    }
    throw FileError(FileErrorText(EEXIST));
}

// Forces the folder's entries, and so the rename, to the disk. A folder that cannot be opened
// for reading leaves nothing better to do; EBADF is how some systems refuse a folder.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    if (error != 0 && error != EBADF && !SyncUnsupported(error)) {
        throw FileError(FileErrorText(error));
    }
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) throw FileError(FileErrorText(ENOTDIR));

    std::error_code ec;
    fs::path target(path);
    // Saving through a link writes the file it points to, not a new file in place of the link.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = std::move(resolved);
    }
    const fs::file_status status = fs::status(target, ec);
    const bool exists = fs::exists(status);
    if (exists) {
        // A folder or a device is never replaced, and a read-only file stays as it is, even for
        // a user whom the permission bits do not stop.
        constexpr fs::perms anyWrite =
            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if (!fs::is_regular_file(status) || (status.permissions() & anyWrite) == fs::perms::none) {
            throw FileError(FileErrorText(EACCES));
        }
        // The bits are not the whole story (another owner, access lists): ask the system.
        errno = 0;
        std::FILE* probe = std::fopen(target.c_str(), "ab");
        if (probe == nullptr) throw FileError(FileErrorText(errno));
        std::fclose(probe);
    }

    const fs::path parent = target.parent_path();
    const fs::path folder = parent.empty() ? fs::path(".") : parent;
    const fs::perms mode = status.permissions();
    const fs::path temp = WriteTemporary(folder, target, bytes, exists ? &mode : nullptr);
    // POSIX rename replaces the target in one step. Windows' rename refuses an existing target:
    // there this would be ReplaceFileW, or MoveFileExW with MOVEFILE_REPLACE_EXISTING |
    // MOVEFILE_WRITE_THROUGH, with FlushFileBuffers for fsync and no folder to force.
    errno = 0;
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        std::remove(temp.c_str());
        throw FileError(PathErrorText(target.string(), error));
    }
    SyncFolder(folder);
}

}  // namespace feldan
