// Safe writes on POSIX: a file takes its target's place whole or not at all.
//
// The calling sequence
// --------------------
// 1. rightsFor(): the owner and permission bits the new file is to have: those of the file it
//    replaces, or a new file's (made by root: its folder's owner). Nothing is changed yet.
// 2. TemporaryFile: a new file beside the target, made with O_CREAT|O_EXCL|O_NOFOLLOW under a
//    name of this run's own (temporary_files.h), so that no file or link already there is
//    written through or removed. On failure (error()) nothing was made.
// 3. The bytes are written into fd(). On failure the destructor removes the file; the target
//    is untouched.
// 4. commit(durable, folderToo): owner, then mode, then (durable) the bytes flushed to the
//    disk, close, and the rename over the target; then (durable and folderToo) the folder
//    flushed, so that the rename survives a power cut. A failure before the rename leaves the
//    target as it was and the temporary file removed; a failure to flush the folder after the
//    rename leaves the new file in place, reported all the same. Without folderToo the
//    caller flushes the folder later (PosixFileSystem::syncDeferredWrites); without durable
//    the bytes too.
// 5. A run killed between 2 and 4 leaves its temporary file: its name tells the run, and the
//    next run removes the files of runs that no longer live (repair/folder_checks.cpp).
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "filesystem/file_system.h"
#include "filesystem/posix_calls.h"
#include "filesystem/posix_io.h"

namespace zendrik::posix {

// The owner and permission bits that a file written at a target gets.
struct Rights {
    mode_t mode = 0644;
    std::optional<std::pair<uid_t, gid_t>> owner;  // none: the one a new file gets anyway
};

// True when the program runs as root.
bool runnerIsRoot(PosixCalls& sys);

// The process's file mode creation mask; none where it cannot be read.
std::optional<mode_t> creationMask(PosixCalls& sys);

// A file that replaces `target` keeps its rights; a new one gets `mode` and, made by root,
// the owner and group of its folder. Set-user-ID and set-group-ID bits never come along.
Rights rightsFor(PosixCalls& sys, const std::string& realFolder, const std::string& target,
                 mode_t mode);

// True when the existing plain file at `path` is protected against writing: no write
// permission for the runner, or none for anybody when the runner is root, who could
// otherwise write anything.
bool writeProtected(PosixCalls& sys, const std::string& path);

// A temporary file beside a target, renamed over the target by commit(); removed again if it
// is never committed, so that the target keeps its old bytes. Its name is the run's own and
// it is made exclusively: an existing file or link of that name is never removed or
// followed, another name is taken instead.
class TemporaryFile {
  public:
    // Creates the file; error() tells whether that failed.
    TemporaryFile(PosixCalls& sys, std::string realFolder, const std::string& name, Rights rights);
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    int error() const { return error_; }
    int fd() const { return fd_; }

    // Puts the file in place of the target, its bytes flushed to the disk first when
    // `durable`, and the rename itself when `folderToo`. Returns 0 or an errno; on failure
    // the target is untouched.
    int commit(bool durable, bool folderToo = true);

  private:
    PosixCalls& sys_;
    std::string folder_;
    std::string target_;
    std::string path_;
    Rights rights_;
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
    bool modeSet_ = false;  // the file was made with rights_.mode
};

// Copies the file at `source` over `realFolder` + `name` through a temporary file, keeping
// its permission bits (less set-user-ID and set-group-ID) and times, or the rights of the
// file it replaces; returns 0 or an errno.
int copySafely(PosixCalls& sys, const std::string& source, const std::string& realFolder,
               const std::string& name, bool durable);

// The writer of openForReplacing: a TemporaryFile committed durably; `committed` runs after.
class PosixWriter final : public SequentialWriter {
  public:
    PosixWriter(PosixCalls& sys, std::unique_ptr<TemporaryFile> file, std::string shown,
                std::function<void()> committed)
        : sys_(sys),
          file_(std::move(file)),
          shown_(std::move(shown)),
          committed_(std::move(committed)) {}
    void append(std::string_view data) override {
        if (const int err = writeAll(sys_, file_->fd(), data.data(), data.size())) {
            fail(FsOp::Write, shown_, err);
        }
    }
    void commit() override {
        if (const int err = file_->commit(true)) fail(FsOp::Write, shown_, err);
        committed_();
    }

  private:
    PosixCalls& sys_;
    std::unique_ptr<TemporaryFile> file_;
    std::string shown_;
    std::function<void()> committed_;
};

}  // namespace zendrik::posix
