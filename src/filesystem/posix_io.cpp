#include "filesystem/posix_io.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

namespace zendrik::posix {

std::string reasonOf(int err) {
    return std::generic_category().message(err);
}

[[noreturn]] void fail(FsOp op, const std::string& path, int err, const std::string& target) {
    throw FsError(op, path, reasonOf(err), target);
}

// "" stands for the working folder of a relative path.
const char* folderArg(const std::string& real) {
    return real.empty() ? "." : real.c_str();
}

// Opens a file for reading without marking it accessed: reading an installation is no use
// of it, and leaves its files' inodes clean. Only a file's owner may ask so; for others the
// plain open.
int openToRead(PosixCalls& sys, const std::string& path) {
#ifdef O_NOATIME
    const int fd = sys.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME, 0);
    if (fd >= 0 || errno != EPERM) return fd;
#endif
    return sys.open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
}

// Writes all of `data`, however short the writes; returns 0 or an errno.
int writeAll(PosixCalls& sys, int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = sys.write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

// Copies all bytes from `in` to `out`; returns 0 or the errno of the failing call.
int copyBytes(PosixCalls& sys, int in, int out) {
    bool kernelCopy = true;
    for (;;) {
        if (kernelCopy) {
            const ssize_t n = sys.copyFileRange(in, out, 1 << 30);
            if (n > 0) continue;
            if (n == 0) return 0;
            if (errno == EINTR) continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
                return errno;
            }
            kernelCopy = false;  // not offered here: fall back to plain reads and writes
        }
        char buffer[256 * 1024];
        const ssize_t n = sys.read(in, buffer, sizeof buffer);
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (const int err = writeAll(sys, out, buffer, static_cast<size_t>(n))) return err;
    }
}

// Flushes a folder, so that a rename in it survives a power cut; returns 0 or an errno.
int syncFolder(PosixCalls& sys, const std::string& realFolder) {
    const int fd = sys.open(folderArg(realFolder), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return errno;
    int err = sys.fsync(fd) == 0 ? 0 : errno;
    // Some file systems cannot flush a folder; its files are flushed all the same.
    if (err == EINVAL || err == EBADF) err = 0;
    if (sys.close(fd) != 0 && err == 0) err = errno;
    return err;
}

// Flushes the file at `realPath` to the disk; returns 0 or an errno. A file gone since has
// nothing left to flush.
int syncFile(PosixCalls& sys, const std::string& realPath) {
    const int fd = sys.open(realPath.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) return errno == ENOENT ? 0 : errno;
    int err = sys.fsync(fd) == 0 ? 0 : errno;
    if (sys.close(fd) != 0 && err == 0) err = errno;
    return err;
}

}  // namespace zendrik::posix
