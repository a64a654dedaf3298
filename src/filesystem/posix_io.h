// Small helpers of the POSIX file layer, each over PosixCalls: descriptors, whole writes, copies
// of bytes, flushes, and the readers and writers handed out. They report an errno (0 for
// success) and throw only where they say so, so that a caller decides what a failure means.
#pragma once

#include <string>
#include <string_view>

#include "filesystem/file_system.h"
#include "filesystem/posix_calls.h"

namespace zendrik::posix {

// The system's words for `err`.
std::string reasonOf(int err);

// Throws the FsError of `op` on `path` (and `target`) failed with `err`.
[[noreturn]] void fail(FsOp op, const std::string& path, int err, const std::string& target = {});

// The path argument for the real folder `real`: "" stands for the working folder.
const char* folderArg(const std::string& real);

// Opens the file at `path` for reading, its access time untouched where the runner may ask so.
int openToRead(PosixCalls& sys, const std::string& path);

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    Descriptor(PosixCalls& sys, int fd) : sys_(sys), fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) sys_.close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports the error of close itself (0 when none).
    int close() {
        const int rc = sys_.close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }

  private:
    PosixCalls& sys_;
    int fd_;
};

// Writes all of `data`, however short the writes; returns 0 or an errno.
int writeAll(PosixCalls& sys, int fd, const char* data, size_t size);

// Copies all bytes from `in` to `out`, by the kernel where it can; returns 0 or the errno of
// the failing call.
int copyBytes(PosixCalls& sys, int in, int out);

// Flushes a folder, so that a rename in it survives a power cut; returns 0 or an errno. A
// file system that cannot flush folders counts as done.
int syncFolder(PosixCalls& sys, const std::string& realFolder);

// Flushes the file at `realPath` to the disk; returns 0 or an errno. A file gone since has
// nothing left to flush.
int syncFile(PosixCalls& sys, const std::string& realPath);

// Writes straight into a file that is no plain file (a terminal, a pipe, /dev/null): such a
// file is written into, never replaced.
class StreamWriter final : public SequentialWriter {
  public:
    StreamWriter(PosixCalls& sys, int fd, std::string shown)
        : sys_(sys), fd_(sys, fd), shown_(std::move(shown)) {}
    void append(std::string_view data) override {
        if (const int err = writeAll(sys_, fd_.get(), data.data(), data.size())) {
            fail(FsOp::Write, shown_, err);
        }
    }
    void commit() override {
        if (const int err = fd_.close()) fail(FsOp::Write, shown_, err);
    }

  private:
    PosixCalls& sys_;
    Descriptor fd_;
    std::string shown_;
};

class PosixReader final : public SequentialReader {
  public:
    PosixReader(PosixCalls& sys, int fd, std::string shown)
        : sys_(sys), fd_(sys, fd), shown_(std::move(shown)) {}
    size_t read(char* buffer, size_t size) override {
        for (;;) {
            const ssize_t n = sys_.read(fd_.get(), buffer, size);
            if (n >= 0) return static_cast<size_t>(n);
            if (errno != EINTR) fail(FsOp::Read, shown_, errno);
        }
    }

  private:
    PosixCalls& sys_;
    Descriptor fd_;
    std::string shown_;
};

}  // namespace zendrik::posix
