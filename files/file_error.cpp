#include "files/file_error.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

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

int PathErrorCode(const std::string& path, int errnoValue) {
    if (errnoValue == ENOENT) {
        std::error_code ec;
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) return ENOTDIR;
    }
    return errnoValue;
}

std::string PathErrorText(const std::string& path, int errnoValue) {
    return FileErrorText(PathErrorCode(path, errnoValue));
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadWholeFile(const std::string& path, std::size_t limit) {
    const std::string name = FileNameOf(path);
    std::ifstream file(path, std::ios::binary);
    const auto unreadable = [&](int code) {
        return FileError(FileMessage(MessageId::FileUnreadable, std::to_string(code), name));
    };
    if (!file) throw unreadable(PathErrorCode(path, errno));
    std::string text;
    char buffer[1 << 16];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(file.gcount()));
        if (text.size() > limit)
            throw CommandError(FileMessage(MessageId::ReadFileTooLarge, {}, name));
    }
    if (file.bad()) throw unreadable(EIO);
    return text;
}

}  // namespace feldan
