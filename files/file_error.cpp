#include "files/file_error.h"

#include <cerrno>
#include <filesystem>

namespace feldan {

std::string FileErrorText(int errnoValue) {
    switch (errnoValue) {
        case ENOENT:
            return "File not found";
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
        case ELOOP:
            return "Invalid filename";
        case EMFILE:
        case ENFILE:
            return "Too many open files";
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ETXTBSY:
        case EBUSY:
        case EEXIST:
            return "File access denied";
        case ENOSPC:
        case EFBIG:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "Disk full";
        default:
            return "I/O error " + std::to_string(errnoValue);
    }
}

std::string PathErrorText(const std::string& path, int errnoValue) {
    if (errnoValue == ENOENT) {
        std::error_code ec;
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
            return FileErrorText(ENOTDIR);
        }
    }
    return FileErrorText(errnoValue);
}

}  // namespace feldan
