// The one door to the disk. Every listing, existence test, read, write, copy, move and
// delete of a run goes through a FileSystem, so that letter case, listing order, safe
// writes and fault injection are settled in one place.
//
// Paths are UTF-8 strings that use kSeparator. Every component of a path is matched
// without regard to letter case. Where a folder holds several names that differ only in case
// (possible on Linux), the first in byte order is taken whatever the spelling asked for, so
// every spelling of a name reaches the same file. Failures throw FsError; an operation that
// throws has changed nothing on disk.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zendrik {

// The kinds of operation, used to name a failure and to choose where a test injects one.
enum class FsOp { List, Exists, Read, Write, Copy, Move, Remove, AppendTest };

// A refused file operation: what was tried, on which path(s), and the system's reason.
class FsError : public std::runtime_error {
  public:
    FsError(FsOp op, std::string path, std::string reason, std::string target = {});

    FsOp op() const { return op_; }
    const std::string& path() const { return path_; }
    const std::string& target() const { return target_; }  // empty unless copy or move
    const std::string& reason() const { return reason_; }

  private:
    FsOp op_;
    std::string path_;
    std::string target_;
    std::string reason_;
};

// Reads one file front to back.
class SequentialReader {
  public:
    virtual ~SequentialReader() = default;
    // Fills up to `size` bytes of `buffer`; returns how many, 0 at the end of the file.
    virtual size_t read(char* buffer, size_t size) = 0;
};

// Fills a new file front to back. The file takes the place of its target only at commit(),
// as writeFile's do; a writer dropped without commit() leaves the target as it was.
class SequentialWriter {
  public:
    virtual ~SequentialWriter() = default;
    virtual void append(std::string_view data) = 0;
    // Flushes the file to the disk and renames it over the target.
    virtual void commit() = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Names of the plain files in `folder` (a path ending in kSeparator) whose names end in
    // "." + `extension`, case ignored, in NTFS listing order (ordinal, case ignored).
    // A folder that does not exist, or is no folder, lists nothing. Sub-folders, and links
    // that lead nowhere, are never listed.
    virtual std::vector<std::string> listFiles(const std::string& folder,
                                               std::string_view extension) = 0;

    // True when a plain file exists at `path`.
    virtual bool fileExists(const std::string& path) = 0;

    // True when a folder exists at `path` (with or without a closing separator).
    virtual bool folderExists(const std::string& path) = 0;

    // Opens the plain file at `path` for reading.
    virtual std::unique_ptr<SequentialReader> openForReading(const std::string& path) = 0;

    // When a write reaches the disk's platters, not only the file system's cache.
    enum class Sync {
        Now,       // before writeFile returns
        Deferred,  // at the next syncDeferredWrites: for files rewritten many times in a row
    };

    // Replaces the file at `path` (or creates it) by `contents`: the contents go to a
    // temporary file in the same folder, which is renamed over the target. Readers, and a run
    // killed at any moment, see the old file or the new one, never a mix; a symbolic link at
    // the target is replaced, never written through. The folder must exist.
    virtual void writeFile(const std::string& path, std::string_view contents,
                           Sync sync = Sync::Now) = 0;

    // A writer whose file replaces (or creates) the file at `path` when committed: for a file
    // too long to hold in memory. The folder must exist.
    virtual std::unique_ptr<SequentialWriter> openForReplacing(const std::string& path) = 0;

    // Flushes every write made with Sync::Deferred since the last call to the disk.
    virtual void syncDeferredWrites() {}

    // Copies the plain file `from` to `to`, replacing a file of that name, in the same safe
    // way as writeFile. The copy keeps the source's permission bits and modification time.
    virtual void copyFile(const std::string& from, const std::string& to) = 0;

    // Moves the plain file `from` to `to`, replacing a file of that name. Within one file
    // system a rename; across file systems a durable copy followed by deleting the source.
    // A move that fails leaves the file in its source.
    virtual void moveFile(const std::string& from, const std::string& to) = 0;

    // Deletes the plain file at `path`.
    virtual void removeFile(const std::string& path) = 0;

    // Opens the existing file at `path` for appending and closes it without writing: the
    // write test of an installation.
    virtual void testAppend(const std::string& path) = 0;

    // Drops what was cached of the disk, so that the next pass sees changes made outside.
    virtual void forgetCache() {}

    // The groups of entries of `folder` whose names differ only in letter case, each in
    // listing order, the one that every spelling reaches first. None where the file system
    // itself ignores case.
    virtual std::vector<std::vector<std::string>> caseTwins(const std::string& folder) {
        (void)folder;
        return {};
    }

    // The whole contents of the file at `path`.
    std::string readFile(const std::string& path);
};

// The operation's name as a log line uses it ("read", "copy", ...).
std::string_view describe(FsOp op);

}  // namespace zendrik
