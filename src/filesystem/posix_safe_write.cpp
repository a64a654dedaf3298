#include "filesystem/posix_safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "filesystem/posix_io.h"
#include "filesystem/run_identity.h"
#include "filesystem/temporary_files.h"

namespace zendrik::posix {

// True when the program runs as root.
bool runnerIsRoot(PosixCalls& sys) {
    return sys.geteuid() == 0;
}

// The process's file mode creation mask; none where it cannot be read.
std::optional<mode_t> creationMask(PosixCalls& sys) {
    mode_t mask = 0;
    if (sys.readUmask(&mask) != 0) return std::nullopt;
    return mask;
}

// A file that replaces `target` keeps its rights; a new one gets `mode` and, made by root,
// the owner and group of its folder. Set-user-ID and set-group-ID bits never come along.
Rights rightsFor(PosixCalls& sys, const std::string& realFolder, const std::string& target,
                 mode_t mode) {
    Rights rights;
    struct stat st {};
    if (sys.lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        rights.mode = st.st_mode & 07777;
        rights.owner.emplace(st.st_uid, st.st_gid);
        return rights;
    }
    rights.mode = mode & 01777;
    if (runnerIsRoot(sys) && sys.stat(folderArg(realFolder), &st) == 0) {
        // A new file is root's, of the folder's group in a set-group-ID folder, else of
        // root's group: only another owner or group needs changing.
        const gid_t group = (st.st_mode & S_ISGID) != 0 ? st.st_gid : sys.getegid();
        if (st.st_uid != 0 || st.st_gid != group) rights.owner.emplace(st.st_uid, st.st_gid);
    }
    return rights;
}

// True when the existing plain file at `path` is protected against writing: no write
// permission for the runner, or none for anybody when the runner is root, who could
// otherwise write anything.
bool writeProtected(PosixCalls& sys, const std::string& path) {
    struct stat st {};
    if (sys.lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (runnerIsRoot(sys)) return (st.st_mode & 0222) == 0;
    return sys.access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

TemporaryFile::TemporaryFile(PosixCalls& sys, std::string realFolder, const std::string& name,
                             Rights rights)
    : sys_(sys), folder_(std::move(realFolder)), target_(folder_ + name), rights_(rights) {
    static unsigned counter = 0;
    // Made with its final bits when no owner is to change and the mask takes none of
    // them: then no later fchmod is needed. Else private until commit() sets them.
    const auto mask = creationMask(sys);
    modeSet_ = !rights_.owner && mask && (rights_.mode & ~0777) == 0 && (rights_.mode & *mask) == 0;
    const mode_t made = modeSet_ ? rights_.mode : 0600;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = folder_ + temporaryNameFor(name, thisRun(), ++counter);
        fd_ = sys_.open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, made);
        if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) error_ = errno;
}

TemporaryFile::~TemporaryFile() {
    if (fd_ >= 0) sys_.close(fd_);
    if (!committed_ && error_ == 0) sys_.unlink(path_.c_str());  // only what it created
}

int TemporaryFile::commit(bool durable, bool folderToo) {
    int err = 0;
    // The owner first: changing it clears set-user-ID bits, which the mode then restores
    // where the replaced file had them.
    if (rights_.owner && sys_.fchown(fd_, rights_.owner->first, rights_.owner->second) != 0 &&
        runnerIsRoot(sys_)) {
        err = errno;
    }
    if (err == 0 && !modeSet_ && sys_.fchmod(fd_, rights_.mode) != 0) err = errno;
    if (err == 0 && durable && sys_.fsync(fd_) != 0) err = errno;
    if (sys_.close(fd_) != 0 && err == 0) err = errno;
    fd_ = -1;
    if (err == 0 && sys_.rename(path_.c_str(), target_.c_str()) != 0) err = errno;
    if (err != 0) return err;
    committed_ = true;
    if (durable && folderToo) return syncFolder(sys_, folder_);
    return 0;
}

// Copies the file at `source` over `realFolder` + `name` through a temporary file, keeping
// its permission bits (less set-user-ID and set-group-ID) and times, or the rights of the
// file it replaces; returns 0 or an errno.
int copySafely(PosixCalls& sys, const std::string& source, const std::string& realFolder,
               const std::string& name, bool durable) {
    Descriptor in(sys, openToRead(sys, source));
    struct stat st {};
    if (in.get() < 0 || sys.fstat(in.get(), &st) != 0) return errno;
    TemporaryFile out(sys, realFolder, name,
                      rightsFor(sys, realFolder, realFolder + name, st.st_mode & 01777));
    if (out.error() != 0) return out.error();
    if (const int err = copyBytes(sys, in.get(), out.fd())) return err;
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (sys.futimens(out.fd(), times) != 0) return errno;
    return out.commit(durable);
}

}  // namespace zendrik::posix
