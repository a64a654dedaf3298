#include "filesystem/posix_calls.h"

#include <fcntl.h>
#include <sys/file.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace zendrik {

int PosixCalls::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
ssize_t PosixCalls::read(int fd, void* buffer, size_t size) {
    return ::read(fd, buffer, size);
}
ssize_t PosixCalls::write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}
ssize_t PosixCalls::copyFileRange(int in, int out, size_t size) {
    return ::copy_file_range(in, nullptr, out, nullptr, size, 0);
}
int PosixCalls::fsync(int fd) {
    return ::fsync(fd);
}
int PosixCalls::close(int fd) {
    return ::close(fd);
}
int PosixCalls::fstat(int fd, struct stat* st) {
    return ::fstat(fd, st);
}
int PosixCalls::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int PosixCalls::chmod(const char* path, mode_t mode) {
    return ::chmod(path, mode);
}
int PosixCalls::utimens(const char* path, const struct timespec times[2]) {
    return ::utimensat(AT_FDCWD, path, times, 0);
}
int PosixCalls::fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}
int PosixCalls::futimens(int fd, const struct timespec times[2]) {
    return ::futimens(fd, times);
}
int PosixCalls::stat(const char* path, struct stat* st) {
    return ::stat(path, st);
}
int PosixCalls::lstat(const char* path, struct stat* st) {
    return ::lstat(path, st);
}
int PosixCalls::rename(const char* from, const char* to) {
    return ::rename(from, to);
}
int PosixCalls::unlink(const char* path) {
    return ::unlink(path);
}
int PosixCalls::flock(int fd, int operation) {
    return ::flock(fd, operation);
}
DIR* PosixCalls::opendir(const char* path) {
    return ::opendir(path);
}
struct dirent* PosixCalls::readdir(DIR* dir) {
    return ::readdir(dir);
}
int PosixCalls::closedir(DIR* dir) {
    return ::closedir(dir);
}

int PosixCalls::access(const char* path, int mode) {
    return ::access(path, mode);
}
char* PosixCalls::realpath(const char* path, char* resolved) {
    return ::realpath(path, resolved);
}
int PosixCalls::ftruncate(int fd, off_t length) {
    return ::ftruncate(fd, length);
}
int PosixCalls::fdatasync(int fd) {
    return ::fdatasync(fd);
}
off_t PosixCalls::lseek(int fd, off_t offset, int whence) {
    return ::lseek(fd, offset, whence);
}
int PosixCalls::mkdir(const char* path, mode_t mode) {
    return ::mkdir(path, mode);
}
int PosixCalls::rmdir(const char* path) {
    return ::rmdir(path);
}
// Asked once: the program never changes its user or group.
uid_t PosixCalls::geteuid() {
    static const uid_t user = ::geteuid();
    return user;
}
gid_t PosixCalls::getegid() {
    static const gid_t group = ::getegid();
    return group;
}
int PosixCalls::readUmask(mode_t* mask) {
    // Read once: the program never changes its mask.
    static const std::optional<mode_t> read = []() -> std::optional<mode_t> {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("Umask:"))
                return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
        return std::nullopt;
    }();
    if (!read) {
        errno = ENOENT;
        return -1;
    }
    *mask = *read;
    return 0;
}

PosixCalls& systemCalls() {
    static PosixCalls calls;
    return calls;
}

}  // namespace zendrik
