// One run per installation. A run holds the lock of an installation for the whole of that
// installation's turn, so that two runs (two shells, a scheduled job and the wizard) never
// write one installation together.
//
// The lock file
// -------------
// `<installation>zendrik.lock`. It names the run that holds it ("<host>-<process>"), for the
// reader of a message, never as the lock itself.
//
// Taking it
// ---------
// POSIX: the file is opened (made when missing) without following a link, and an exclusive
// flock() is asked of it without waiting. A lock that another process holds is asked again
// every few tens of milliseconds until the bounded wait runs out. Once granted, the file
// still at the lock's path must be the one locked: a run that released the lock removes the
// file, so a lock granted on a removed file is let go and the taking starts again.
// Windows: the file is made with no sharing and FILE_FLAG_DELETE_ON_CLOSE; while one run has
// it open, another cannot open it.
//
// A lock left behind
// ------------------
// The system releases a lock when its process ends, however it ends (a kill, a power cut):
// a file left by a dead run is locked by the next run at once and removed when it is done.
//
// Letting it go
// -------------
// Destroying the lock removes the file first, then releases it. After a run nothing of the
// lock remains in the installation. A preview of a run takes no lock.
//
// On failure
// ----------
// lockInstallation throws FsError (FsOp::Lock, reason "in use by another run") when the wait
// runs out; FsError::protectedFile at once when the folder may not be written (no other run
// could hold the lock there); or the system's reason when the file cannot be made otherwise:
// the installation was not touched, and its turn ends there.
#pragma once

namespace zendrik {

// Held while it lives.
class InstallationLock {
  public:
    virtual ~InstallationLock() = default;
};

// The name of the lock file in an installation folder.
inline constexpr const char* kLockFileName = "zendrik.lock";

}  // namespace zendrik
