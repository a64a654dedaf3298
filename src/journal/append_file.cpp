#include "journal/append_file.h"

#include <fcntl.h>

#include <cerrno>
#include <system_error>

#include "filesystem/file_system.h"
#include "filesystem/utf8_paths.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>

#include "journal/state_files.h"
#endif

namespace zendrik {
namespace {

[[noreturn]] void fail(FsOp op, const std::string& path) {
    throw FsError(op, path, std::generic_category().message(errno));
}

}  // namespace

AppendFile::AppendFile(const std::string& path) : path_(path) {
#ifdef _WIN32
    fd_ = ::_wopen(wideOf(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_APPEND | _O_BINARY,
                   _S_IREAD | _S_IWRITE);
#else
    fd_ = journalCalls().open(
        path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_APPEND | O_CLOEXEC, 0600);
#endif
    if (fd_ < 0) fail(FsOp::Write, path);
}

AppendFile::~AppendFile() {
#ifdef _WIN32
    ::_close(fd_);
#else
    journalCalls().close(fd_);
#endif
}

void AppendFile::holdLock() {
#ifdef _WIN32
    // A byte far past any journal's end, so that the lock never stands in a reader's way.
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFF0u;
    at.OffsetHigh = 0x7FFFFFFFu;
    const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        throw FsError(FsOp::Lock, path_, "could not be locked");
    }
#else
    if (journalCalls().flock(fd_, LOCK_EX | LOCK_NB) != 0) fail(FsOp::Lock, path_);
#endif
}

void AppendFile::append(std::string_view data) {
    if (cutShort_) {
        throw FsError(FsOp::Write, path_, "a line written before could not be cut off whole");
    }
    uint64_t written = 0;
    for (std::string_view rest = data; !rest.empty();) {
#ifdef _WIN32
        const int n = ::_write(fd_, rest.data(), static_cast<unsigned>(rest.size()));
#else
        const ssize_t n = journalCalls().write(fd_, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
#endif
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            // What reached the file would run into the next append: cut it off again.
#ifdef _WIN32
            if (written > 0 && ::_chsize_s(fd_, static_cast<__int64>(size_)) != 0) cutShort_ = true;
#else
            if (written > 0 && journalCalls().ftruncate(fd_, static_cast<off_t>(size_)) != 0) {
                cutShort_ = true;
            }
#endif
            throw FsError(FsOp::Write, path_, std::generic_category().message(err));
        }
        written += static_cast<uint64_t>(n);
        rest.remove_prefix(static_cast<size_t>(n));
    }
    size_ += written;
}

void AppendFile::sync() {
    if (synced_ == size_) return;
#ifdef _WIN32
    if (::_commit(fd_) != 0) fail(FsOp::Write, path_);
#else
    if (journalCalls().fdatasync(fd_) != 0) fail(FsOp::Write, path_);
#endif
    synced_ = size_;
}

}  // namespace zendrik
