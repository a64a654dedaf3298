// The system calls beneath the POSIX file layer, each behind one virtual function, so that
// tests can fail, delay or record any of them: the layer's own failure and durability paths
// (a short write, a failed flush or close, an error while reading a folder, a refusal that a
// test running as root never sees) are reached through this seam, not through the disk.
//
// Contract of every function: it does what the system call of the same name does, and reports
// the same way: -1 (or a null pointer) with errno set on failure. A wrapper that fails a call
// sets errno and returns that, and changes nothing on the disk.
//
// Threads: open, fsync and close may be called from several threads at once (the layer
// flushes a batch of files together; see flush_together.h); every other call comes from the
// one thread that uses the layer.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace zendrik {

class PosixCalls {
  public:
    virtual ~PosixCalls() = default;

    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buffer, size_t size);
    virtual ssize_t write(int fd, const void* data, size_t size);
    // copy_file_range with the files' own offsets.
    virtual ssize_t copyFileRange(int in, int out, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int fstat(int fd, struct stat* st);
    virtual int fchmod(int fd, mode_t mode);
    virtual int chmod(const char* path, mode_t mode);
    // utimensat relative to the working folder, links followed.
    virtual int utimens(const char* path, const struct timespec times[2]);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int futimens(int fd, const struct timespec times[2]);
    virtual int stat(const char* path, struct stat* st);
    virtual int lstat(const char* path, struct stat* st);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
    virtual int flock(int fd, int operation);
    virtual DIR* opendir(const char* path);
    // Null at the end of the folder with errno untouched, or on an error with errno set.
    virtual struct dirent* readdir(DIR* dir);
    virtual int closedir(DIR* dir);
    virtual int access(const char* path, int mode);
    virtual char* realpath(const char* path, char* resolved);
    virtual int ftruncate(int fd, off_t length);
    virtual int fdatasync(int fd);
    virtual off_t lseek(int fd, off_t offset, int whence);
    virtual int mkdir(const char* path, mode_t mode);
    virtual int rmdir(const char* path);
    virtual uid_t geteuid();
    virtual gid_t getegid();
    // The process's file mode creation mask, read without changing it (the system call umask
    // would set it); -1 where the system does not tell it.
    virtual int readUmask(mode_t* mask);
};

// The calls of the running system.
PosixCalls& systemCalls();

}  // namespace zendrik
