// The one door to the disk. Every listing, existence test, read, write, copy, move and
// delete of a run goes through a FileSystem, so that letter case, listing order, safe
// writes and fault injection are settled in one place.
//
// Paths are UTF-8 strings that use kSeparator. Failures throw FsError.
//
// Threads
// -------
// A file layer guards nothing: it caches listings, and a layer holds the one below it. So
// one thread at a time uses a FileSystem, every layer over it, and what it handed out (its
// readers, writers and installation locks). Another thread may take all of them over once
// the first is done with them, when the start or the join of a thread orders the hand-over.
// The wizard does so: the interface's thread hands its file layer to the worker when a pass
// starts (PassRunner::start, startJob) and takes it back once PassRunner::finish has joined
// the worker, not touching it meanwhile. Two file layers are not used at once on two threads
// either: the names of temporary files are counted once per process, unguarded. FsError is a
// plain value, which any thread may hold. Within one call a layer may use threads of its own
// (syncDeferredWrites flushes a batch from several); they end before the call returns.
//
// Which file a path names
// -----------------------
// - A path the user gave (an installation folder, the path of an executable, a log file) is
//   declared with nameExactly(). That part of every path that begins with it is taken as the
//   operating system takes it: its components are never matched without regard to case.
// - Below it, and in paths that begin with no declared path, the names the program forms
//   itself ("system", "UnrealTournament.ini", names taken from a listing or from another
//   installation) are matched without regard to letter case, as the game does on Windows.
// - Case twins: where a folder holds several names that differ only in case (possible on
//   Linux), every spelling of a folder reaches the first twin folder in byte order, and every
//   spelling of a file name reaches the first twin file for reading. A twin file is never
//   moved, replaced or deleted: moveFile, copyFile, writeFile and removeFile refuse a name
//   that stands for more than one file (FsError::ambiguous()), changing nothing.
//   fileExists looks in every twin spelling of every folder of the path.
// - Links: a link to a file is listed and read as that file; a move or copy whose source and
//   target are one file, links followed, changes nothing (Transfer::SameFile). A folder of a
//   path that is a link leading nowhere, a link loop, or a folder that cannot be listed to
//   its end is an error, never an empty folder. A name that does not exist at all is not.
// - Hidden files (a name that begins with "." on POSIX, the hidden or system attribute on
//   Windows) never match a listing mask, but fileExists sees them.
// - Rights: a file that is replaced keeps its owner, group and permission bits; a new file
//   made by root gets the owner and group of its folder; set-user-ID and set-group-ID bits
//   are never copied. A write-protected file is never replaced or deleted
//   (FsError::writeProtected()).
// - An operation that throws has changed nothing, except a move across file systems whose
//   final deletion of the source fails: its target is then whole and the source is still
//   there.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "filesystem/file_stamp.h"
#include "filesystem/installation_lock.h"

namespace zendrik {

// The kinds of operation, used to name a failure and to choose where a test injects one.
enum class FsOp { List, Exists, Read, Write, Copy, Move, Remove, AppendTest, Lock };
inline constexpr size_t kFsOpCount = 9;

// A refused file operation: what was tried, on which path(s), and the system's reason.
class FsError : public std::runtime_error {
  public:
    FsError(FsOp op, std::string path, std::string reason, std::string target = {});

    // A refusal because the name stands for several files that differ only in letter case.
    static FsError ambiguousName(FsOp op, std::string path, std::string target = {});
    bool ambiguous() const { return ambiguous_; }
    // A refusal because the file is write-protected (no write permission for the runner, or
    // none at all for root; the read-only attribute on Windows): its owner protected it on
    // purpose, so it is left as it is. `path` names the protected file.
    static FsError protectedFile(FsOp op, std::string path);
    bool writeProtected() const { return writeProtected_; }

    FsOp op() const { return op_; }
    const std::string& path() const { return path_; }
    const std::string& target() const { return target_; }  // empty unless copy or move
    const std::string& reason() const { return reason_; }

  private:
    FsOp op_;
    std::string path_;
    std::string target_;
    std::string reason_;
    bool ambiguous_ = false;
    bool writeProtected_ = false;
};

// What a copy or a move did.
enum class Transfer {
    Done,
    SameFile,  // source and target are one file (links followed): nothing was changed
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

    // Declares `path` a path the user gave: a folder (ending in kSeparator) or a file. Every
    // path that begins with it takes that part exactly as given; see the top of this file.
    virtual void nameExactly(const std::string& path) = 0;

    // Names of the plain files in `folder` (a path ending in kSeparator) whose names end in
    // "." + `extension`, case ignored, in NTFS listing order (ordinal, case ignored).
    // A folder that does not exist lists nothing. Sub-folders, hidden files, and links that
    // lead nowhere are never listed. Throws when a folder of the path cannot be listed.
    virtual std::vector<std::string> listFiles(const std::string& folder,
                                               std::string_view extension) = 0;

    // True when a plain file exists at `path`, hidden or not, in any twin spelling of its
    // folders and of its name. Throws when a folder of the path cannot be listed, so that a
    // false answer is certain.
    virtual bool fileExists(const std::string& path) = 0;

    // True when the name of `path` stands for more than one file of its folder: names that
    // differ only in letter case.
    virtual bool ambiguous(const std::string& path) = 0;

    // True when a file exists at `path` and is write-protected (see FsError::protectedFile).
    virtual bool writeProtected(const std::string& path) = 0;

    // `path` as the disk spells it: each folder below the part the user gave, and the name
    // of an existing file, in the letter case of the entry that the name reaches; a name that
    // reaches nothing stays as given, and so does the part the user gave. Where the file
    // system itself ignores case, `path` as it is. Throws when a folder of the path cannot be
    // listed.
    virtual std::string spelledOnDisk(const std::string& path) = 0;

    // The stamp of the plain file at `path` (links followed), or none when no plain file is
    // there. Throws when a folder of the path cannot be listed.
    virtual std::optional<FileStamp> stampOf(const std::string& path) = 0;

    // True when `a` and `b` name one existing file, links followed.
    virtual bool sameFile(const std::string& a, const std::string& b) = 0;

    // True when the two folder paths name one existing folder, links followed.
    virtual bool sameFolder(const std::string& a, const std::string& b) = 0;

    // Takes the lock of the installation folder `folder`, waiting at most `wait` for another
    // run to let it go; the protocol is in installation_lock.h. Throws FsError on failure.
    virtual std::unique_ptr<InstallationLock> lockInstallation(const std::string& folder,
                                                               std::chrono::milliseconds wait) = 0;

    // True when the folder `folder`, links followed, lies inside the folder `installation`,
    // links followed; also when `folder` does not exist. False for a folder that a link
    // makes another installation's, or shares with one.
    virtual bool belongsTo(const std::string& folder, const std::string& installation) = 0;

    // True when a folder exists at `path` (with or without a closing separator).
    virtual bool folderExists(const std::string& path) = 0;

    // Opens the plain file at `path` for reading.
    virtual std::unique_ptr<SequentialReader> openForReading(const std::string& path) = 0;

    // When a write reaches the disk's platters, not only the file system's cache. The bytes
    // of a written file always do before it is renamed over its target, so that a power cut
    // leaves the old file or the new one; what may wait is the rename itself.
    enum class Sync {
        Now,       // the rename too, before writeFile returns
        Deferred,  // the rename at the next syncDeferredWrites: for files rewritten often
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

    // Flushes to the disk every copy, and every rename of a write made with Sync::Deferred,
    // since the last call. Tries them all; throws the first failure.
    virtual void syncDeferredWrites() = 0;

    // Copies the plain file `from` to `to`, replacing a file of that name, in the same safe
    // way as writeFile, its bytes on the disk at the next syncDeferredWrites. The copy keeps
    // the source's permission bits and modification time.
    // Source and target one file: nothing is done, and the answer says so.
    virtual Transfer copyFile(const std::string& from, const std::string& to) = 0;

    // Moves the plain file `from` to `to`, replacing a file of that name. Within one file
    // system a rename; across file systems a durable copy followed by deleting the source.
    // A move that fails leaves the file in its source. Source and target one file: nothing
    // is done, and the answer says so; two hard links of one file lose the source's name.
    virtual Transfer moveFile(const std::string& from, const std::string& to) = 0;

    // Deletes the plain file at `path`.
    virtual void removeFile(const std::string& path) = 0;

    // Gives the plain file at `path` the permission bits `mode` (none changed for 0 or where
    // the system has none) and the modification time `modified` (nanoseconds since 1970,
    // UTC): a file put back as it was. Throws FsError (a write) when either cannot be set.
    virtual void setModeAndTime(const std::string& path, uint32_t mode, int64_t modified) = 0;

    // Opens the existing file at `path` for appending and closes it without writing: the
    // write test of an installation.
    virtual void testAppend(const std::string& path) = 0;

    // Drops what was cached of the disk. A FileSystem caches the listings it makes and keeps
    // them in step with its own writes: it always sees its own changes, and sees changes made
    // by anything else (another object, another program, a test's own file calls) only after
    // forgetCache(). A run calls it at the start of each folder's turn.
    virtual void forgetCache() = 0;

    // The groups of entries of `folder` whose names differ only in letter case, each in
    // listing order, the one that every spelling reaches first. None where the file system
    // itself ignores case.
    virtual std::vector<std::vector<std::string>> caseTwins(const std::string& folder) = 0;

    // The whole contents of the file at `path`.
    std::string readFile(const std::string& path);
};

// The operation's name as a log line uses it ("read", "copy", ...).
std::string_view describe(FsOp op);

}  // namespace zendrik
