// PosixFileSystem::stampOf: the file that a path names, by the layer's own rules, stat'ed.
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "filesystem/posix_file_system.h"

namespace zendrik {

std::optional<FileStamp> PosixFileSystem::stampOf(const std::string& path) {
    const auto file = findFile(path, FsOp::Exists);
    if (!file) return std::nullopt;
    struct stat st {};
    if (sys_.stat(file->path().c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt;  // a link leading nowhere
        throw FsError(FsOp::Exists, path, std::generic_category().message(errno));
    }
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    return FileStamp{static_cast<uint64_t>(st.st_size),
                     static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                     static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                     static_cast<uint32_t>(st.st_mode & 07777)};
}

}  // namespace zendrik
