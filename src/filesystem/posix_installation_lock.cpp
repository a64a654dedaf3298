#include "filesystem/posix_installation_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <thread>

#include "filesystem/file_system.h"
#include "filesystem/posix_io.h"
#include "filesystem/run_identity.h"

namespace zendrik::posix {
namespace {

// The lock of one installation; see installation_lock.h.
class PosixInstallationLock final : public InstallationLock {
  public:
    PosixInstallationLock(PosixCalls& sys, int fd, std::string path)
        : sys_(sys), fd_(fd), path_(std::move(path)) {}
    ~PosixInstallationLock() override {
        sys_.unlink(path_.c_str());  // removed while still held, so no run locks a dead file
        sys_.close(fd_);
    }

  private:
    PosixCalls& sys_;
    int fd_;
    std::string path_;
};

}  // namespace

std::unique_ptr<InstallationLock> lockInstallationFolder(PosixCalls& sys,
                                                         const std::string& realFolder,
                                                         const std::string& shown,
                                                         std::chrono::milliseconds wait) {
    const std::string path = realFolder + kLockFileName;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const int fd = sys.open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
            // A folder that may not be written: no other run is to be waited for.
            throw FsError::protectedFile(FsOp::Lock, shown);
        }
        if (fd < 0) fail(FsOp::Lock, shown, errno);
        if (sys.flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // Granted: but on the file still at the lock's path, not one a run removed.
            struct stat held {
            }, there{};
            if (sys.fstat(fd, &held) == 0 && sys.lstat(path.c_str(), &there) == 0 &&
                held.st_dev == there.st_dev && held.st_ino == there.st_ino) {
                const std::string who = thisRun() + "\n";
                if (sys.ftruncate(fd, 0) == 0) writeAll(sys, fd, who.data(), who.size());
                return std::make_unique<PosixInstallationLock>(sys, fd, path);
            }
            sys.close(fd);
            continue;
        }
        const int err = errno;
        sys.close(fd);
        if (err != EWOULDBLOCK && err != EINTR) fail(FsOp::Lock, shown, err);
        if (std::chrono::steady_clock::now() >= deadline) {
            throw FsError(FsOp::Lock, shown, "in use by another run");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace zendrik::posix
