// The files of the user's state folder, where the journals live, reached so that nobody else
// can steer what an undo does through them.
//
// Trust
// -----
// An undo acts on what a journal says, so a journal is trusted only as far as its folders and
// files are, as OpenSSH's StrictModes and git's safe.directory do it:
// - the state folder, each run folder and each file in them must belong to the user that runs
//   the program (root included: root trusts no other user's journals), and no group or other
//   user may write them;
// - none of them may be a symbolic link (on Windows: a reparse point); files are opened without
//   following one (O_NOFOLLOW);
// - new files are made exclusively (O_CREAT | O_EXCL), never through a name that is there.
// A folder or file that breaks a rule throws StateRefused, which says why and what to do.
// Windows has no POSIX owner or mode; there only the rule on reparse points is checked.
//
// A run in progress
// -----------------
// A run holds a lock on its journal for as long as it lives (heldByLiveRun); the system lets
// it go when the run ends, however it ends.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "filesystem/file_system.h"
#ifndef _WIN32
#include "filesystem/posix_calls.h"
#endif

namespace zendrik {

#ifndef _WIN32
// The system calls that reach the files of the state folder (this file's functions and
// AppendFile): the system's, unless a test chose others to fail or record them.
PosixCalls& journalCalls();
void setJournalCalls(PosixCalls& calls);
#endif

// A state folder or file that may not be trusted; nothing was read from or written to it.
class StateRefused : public FsError {
  public:
    StateRefused(std::string path, std::string why)
        : FsError(FsOp::Read, std::move(path), "refused: " + std::move(why)) {}
};

// Throws StateRefused unless `folder` (ending in a separator or not) is a trusted folder;
// FsError when it cannot be looked at. A folder that does not exist is refused too.
void requireTrustedFolder(const std::string& folder);

// Makes `folder` and the missing folders above it, each readable and writable by its user
// alone, then requires it to be trusted. Throws FsError or StateRefused.
void makeTrustedFolder(const std::string& folder);

// Makes the folder `path` for its user alone; false when something is there already. Throws
// FsError.
bool makeNewStateFolder(const std::string& path);

// True when a trusted file is at `path`, false when nothing is. Throws StateRefused for
// anything else there (a link, a folder, a file of another user).
bool trustedFileExists(const std::string& path);

// True when an entry of any kind (a link included) is at `path`.
bool stateEntryExists(const std::string& path);

// Opens the trusted file at `path` for appending; returns its descriptor. Throws StateRefused
// or FsError.
int openTrustedToAppend(const std::string& path);

// The whole of the trusted file at `path`. Throws StateRefused, or FsError when it cannot be
// read.
std::string readTrustedFile(const std::string& path);

// `size` bytes at `offset` of the trusted file at `path`. Throws StateRefused, or FsError when
// the file is shorter or cannot be read.
std::string readTrustedRange(const std::string& path, uint64_t offset, uint64_t size);

// Puts `bytes` at `path` whole or not at all: written to "<path>.new" (made exclusively after
// removing a leftover of that name), flushed, renamed over `path`, the folder flushed. On
// failure nothing is at `path` that was not there before, and the ".new" file is removed.
// Throws FsError.
void writeStateFile(const std::string& path, std::string_view bytes);

// The names of the sub-folders of `folder` that are no links, in no order. A folder that
// cannot be listed lists nothing.
std::vector<std::string> stateSubFolders(const std::string& folder);

// Removes the folder `path` and what it holds, never following a link. Failures are left
// unsaid: what is left is removed another time.
void removeStateFolder(const std::string& path);

// True when a live run holds the lock of the journal at `path` (AppendFile::holdLock).
bool heldByLiveRun(const std::string& path);

}  // namespace zendrik
