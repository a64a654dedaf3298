#include "journal/state_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "filesystem/file_system.h"
#include "filesystem/utf8_paths.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#endif

namespace zendrik {

#ifndef _WIN32
namespace {

std::atomic<PosixCalls*> chosenCalls{nullptr};

}  // namespace

PosixCalls& journalCalls() {
    PosixCalls* chosen = chosenCalls.load();
    return chosen ? *chosen : systemCalls();
}

void setJournalCalls(PosixCalls& calls) {
    chosenCalls.store(&calls);
}
#endif

namespace {

namespace stdfs = std::filesystem;

[[noreturn]] void fail(FsOp op, const std::string& path, int err) {
    throw FsError(op, path, std::generic_category().message(err));
}

std::string trimmed(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

#ifdef _WIN32

// Refuses a reparse point (a link or junction) at `path`; true when something is there.
bool checkNoReparsePoint(const std::string& path, bool folder) {
    const DWORD attributes = ::GetFileAttributesW(wideOf(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        throw StateRefused(path,
                           "it is a link (a reparse point), and the journals are never reached "
                           "through one");
    }
    if (folder != ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
        throw StateRefused(path, folder ? "not a folder" : "not a plain file");
    }
    return true;
}

int openTrusted(const std::string& path, bool append = false) {
    if (!checkNoReparsePoint(path, false)) fail(FsOp::Read, path, ENOENT);
    const int fd = ::_wopen(wideOf(path).c_str(),
                            append ? _O_WRONLY | _O_APPEND | _O_BINARY : _O_RDONLY | _O_BINARY);
    if (fd < 0) fail(append ? FsOp::Write : FsOp::Read, path, errno);
    return fd;
}

#else

// Throws StateRefused unless `st`, of the entry at `path`, is of the kind wanted, belongs to
// this user and may be written by nobody else.
void checkTrusted(const struct stat& st, const std::string& path, bool folder) {
    if (S_ISLNK(st.st_mode)) {
        throw StateRefused(path,
                           "it is a symbolic link, and the journals are never reached through "
                           "one");
    }
    if (folder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode)) {
        throw StateRefused(path, folder ? "not a folder" : "not a plain file");
    }
    const uid_t me = journalCalls().geteuid();
    if (st.st_uid != me) {
        throw StateRefused(path, "it belongs to user " + std::to_string(st.st_uid) +
                                     ", not to the user running this (" + std::to_string(me) +
                                     "); only journals of one's own are trusted: run it as user " +
                                     std::to_string(st.st_uid) +
                                     ", or set XDG_STATE_HOME to a state folder of your own");
    }
    if (st.st_mode & (S_IWGRP | S_IWOTH)) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        throw StateRefused(
            path, std::string("other users may write it (mode ") + mode +
                      "); only journals nobody else can change are trusted: chmod go-w " + path);
    }
}

int openTrusted(const std::string& path, bool append = false) {
    PosixCalls& sys = journalCalls();
    const int fd = sys.open(path.c_str(),
                            (append ? O_WRONLY | O_APPEND : O_RDONLY) | O_NOFOLLOW | O_CLOEXEC, 0);
    if (fd < 0) {
        const int err = errno;
        struct stat st {};
        if (err == ELOOP && sys.lstat(path.c_str(), &st) == 0) checkTrusted(st, path, false);
        fail(append ? FsOp::Write : FsOp::Read, path, err);
    }
    struct stat st {};
    try {
        if (sys.fstat(fd, &st) != 0) fail(FsOp::Read, path, errno);
        checkTrusted(st, path, false);
    } catch (...) {
        sys.close(fd);
        throw;
    }
    return fd;
}

int syncFolderOf(const std::string& path) {
    PosixCalls& sys = journalCalls();
    const size_t cut = path.rfind('/');
    const std::string folder = cut == std::string::npos ? "." : path.substr(0, cut + 1);
    const int fd = sys.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return errno;
    const int err = sys.fsync(fd) == 0 ? 0 : errno;
    sys.close(fd);
    return err;
}

// Removes the entry at `path`, a folder with what it holds; links are removed, never
// followed. Failures are left unsaid.
void removeEntry(PosixCalls& sys, const std::string& path) {
    struct stat st {};
    if (sys.lstat(path.c_str(), &st) != 0) return;
    if (!S_ISDIR(st.st_mode)) {
        sys.unlink(path.c_str());
        return;
    }
    if (DIR* dir = sys.opendir(path.c_str())) {
        std::vector<std::string> names;
        while (const dirent* entry = sys.readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..") names.emplace_back(name);
        }
        sys.closedir(dir);
        for (const auto& name : names) removeEntry(sys, path + "/" + name);
    }
    sys.rmdir(path.c_str());
}

#endif

void closeFile(int fd) {
#ifdef _WIN32
    ::_close(fd);
#else
    journalCalls().close(fd);
#endif
}

// Reads up to `size` bytes at the file's position; fewer only at its end.
std::string readSome(int fd, const std::string& path, uint64_t size) {
    std::string bytes(size, '\0');
    size_t done = 0;
    while (done < bytes.size()) {
#ifdef _WIN32
        const int n =
            ::_read(fd, bytes.data() + done,
                    static_cast<unsigned>(std::min<size_t>(bytes.size() - done, 1u << 30)));
#else
        const ssize_t n = journalCalls().read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
#endif
        if (n < 0) fail(FsOp::Read, path, errno);
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace

void requireTrustedFolder(const std::string& folder) {
    const std::string path = trimmed(folder);
#ifdef _WIN32
    if (!checkNoReparsePoint(path, true)) fail(FsOp::Exists, path, ENOENT);
#else
    struct stat st {};
    if (journalCalls().lstat(path.c_str(), &st) != 0) fail(FsOp::Exists, path, errno);
    checkTrusted(st, path, true);
#endif
}

void makeTrustedFolder(const std::string& folder) {
    const std::string path = trimmed(folder);
    if (!stateEntryExists(path)) {
        const size_t cut = path.find_last_of("/\\");
        if (cut != std::string::npos && cut > 0) {
            const std::string parent = path.substr(0, cut);
#ifdef _WIN32
            std::error_code error;
            if (!stdfs::is_directory(pathOf(parent), error)) makeTrustedFolder(parent);
#else
            struct stat st {};
            if (journalCalls().stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
                makeTrustedFolder(parent);
            }
#endif
        }
#ifdef _WIN32
        if (!::CreateDirectoryW(wideOf(path).c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            throw FsError(FsOp::Write, path, "the folder could not be made");
        }
#else
        if (journalCalls().mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            fail(FsOp::Write, path, errno);
        }
#endif
    }
    requireTrustedFolder(path);
}

bool makeNewStateFolder(const std::string& path) {
#ifdef _WIN32
    if (::CreateDirectoryW(wideOf(path).c_str(), nullptr)) return true;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return false;
    throw FsError(FsOp::Write, path, "the folder could not be made");
#else
    if (journalCalls().mkdir(path.c_str(), 0700) == 0) return true;
    if (errno == EEXIST) return false;
    fail(FsOp::Write, path, errno);
#endif
}

bool trustedFileExists(const std::string& path) {
#ifdef _WIN32
    return checkNoReparsePoint(path, false);
#else
    struct stat st {};
    if (journalCalls().lstat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return false;
        fail(FsOp::Exists, path, errno);
    }
    checkTrusted(st, path, false);
    return true;
#endif
}

bool stateEntryExists(const std::string& path) {
#ifdef _WIN32
    return ::GetFileAttributesW(wideOf(trimmed(path)).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat st {};
    return journalCalls().lstat(trimmed(path).c_str(), &st) == 0;
#endif
}

int openTrustedToAppend(const std::string& path) {
    return openTrusted(path, true);
}

std::string readTrustedFile(const std::string& path) {
    const int fd = openTrusted(path);
    std::string text;
    try {
        for (std::string block; !(block = readSome(fd, path, 1 << 16)).empty();) text += block;
    } catch (...) {
        closeFile(fd);
        throw;
    }
    closeFile(fd);
    return text;
}

std::string readTrustedRange(const std::string& path, uint64_t offset, uint64_t size) {
    const int fd = openTrusted(path);
    std::string bytes;
    try {
#ifdef _WIN32
        if (::_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) < 0) {
            fail(FsOp::Read, path, errno);
        }
#else
        if (journalCalls().lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
            fail(FsOp::Read, path, errno);
        }
#endif
        bytes = readSome(fd, path, size);
    } catch (...) {
        closeFile(fd);
        throw;
    }
    closeFile(fd);
    if (bytes.size() != size) throw FsError(FsOp::Read, path, "the kept bytes are cut short");
    return bytes;
}

void writeStateFile(const std::string& path, std::string_view bytes) {
    const std::string fresh = path + ".new";
#ifdef _WIN32
    ::DeleteFileW(wideOf(fresh).c_str());
    const HANDLE file = ::CreateFileW(wideOf(fresh).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw FsError(FsOp::Write, fresh, "could not be made");
    DWORD written = 0;
    bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && ::FlushFileBuffers(file);
    if (!::CloseHandle(file)) ok = false;
    if (!ok || !::MoveFileExW(wideOf(fresh).c_str(), wideOf(path).c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(wideOf(fresh).c_str());
        throw FsError(FsOp::Write, path, "could not be written");
    }
#else
    PosixCalls& sys = journalCalls();
    // A leftover of a killed undo; a link there is removed, not followed. Should it stay, the
    // exclusive open below fails.
    sys.unlink(fresh.c_str());
    const int fd =
        sys.open(fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) fail(FsOp::Write, fresh, errno);
    int err = 0;
    for (std::string_view rest = bytes; err == 0 && !rest.empty();) {
        const ssize_t n = sys.write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            err = n < 0 ? errno : EIO;
        } else {
            rest.remove_prefix(static_cast<size_t>(n));
        }
    }
    if (err == 0 && sys.fsync(fd) != 0) err = errno;
    if (sys.close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && sys.rename(fresh.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        sys.unlink(fresh.c_str());
        fail(FsOp::Write, path, err);
    }
    if (const int synced = syncFolderOf(path)) fail(FsOp::Write, path, synced);
#endif
}

std::vector<std::string> stateSubFolders(const std::string& folder) {
    std::vector<std::string> names;
#ifndef _WIN32
    PosixCalls& sys = journalCalls();
    const std::string base = trimmed(folder) + "/";
    DIR* dir = sys.opendir(base.c_str());
    if (!dir) return names;
    while (const dirent* entry = sys.readdir(dir)) {
        const std::string_view name = entry->d_name;
        struct stat st {};
        if (name == "." || name == ".." ||
            sys.lstat((base + std::string(name)).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            continue;
        }
        names.emplace_back(name);
    }
    sys.closedir(dir);
#else
    std::error_code error;
    for (stdfs::directory_iterator it(pathOf(folder), error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_symlink(error) || !it->is_directory(error)) continue;
        const auto name = it->path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
#endif
    return names;
}

void removeStateFolder(const std::string& path) {
#ifdef _WIN32
    std::error_code error;
    stdfs::remove_all(pathOf(trimmed(path)), error);
#else
    removeEntry(journalCalls(), trimmed(path));
#endif
}

bool heldByLiveRun(const std::string& path) {
#ifdef _WIN32
    const HANDLE file = ::CreateFileW(
        wideOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFF0u;
    at.OffsetHigh = 0x7FFFFFFFu;
    const bool free = ::LockFileEx(file, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
    if (free) ::UnlockFileEx(file, 0, 1, 0, &at);
    ::CloseHandle(file);
    return !free;
#else
    PosixCalls& sys = journalCalls();
    const int fd = sys.open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool held = sys.flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    sys.close(fd);
    return held;
#endif
}

}  // namespace zendrik
