#include "filesystem/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <system_error>

#include "filesystem/names.h"
#include "filesystem/temporary_files.h"

namespace zendrik {
namespace {

std::string reasonOf(int err) {
    return std::generic_category().message(err);
}

[[noreturn]] void fail(FsOp op, const std::string& path, int err, const std::string& target = {}) {
    throw FsError(op, path, reasonOf(err), target);
}

// "" stands for the working folder of a relative path.
const char* folderArg(const std::string& real) {
    return real.empty() ? "." : real.c_str();
}

// Splits "a/b/name" into ("a/b/", "name").
std::pair<std::string, std::string> splitPath(const std::string& path) {
    const size_t cut = path.find_last_of('/');
    if (cut == std::string::npos) return {"", path};
    return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

// Opens a file for reading without marking it accessed: reading an installation is no use
// of it, and leaves its files' inodes clean. Only a file's owner may ask so; for others the
// plain open.
int openToRead(const std::string& path) {
#ifdef O_NOATIME
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
    if (fd >= 0 || errno != EPERM) return fd;
#endif
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports the error of close itself (0 when none).
    int close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

int writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

// Copies all bytes from `in` to `out`; returns 0 or the errno of the failing call.
int copyBytes(int in, int out) {
    bool kernelCopy = true;
    for (;;) {
        if (kernelCopy) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
            if (n > 0) continue;
            if (n == 0) return 0;
            if (errno == EINTR) continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
                return errno;
            }
            kernelCopy = false;  // not offered here: fall back to plain reads and writes
        }
        char buffer[256 * 1024];
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (const int err = writeAll(out, buffer, static_cast<size_t>(n))) return err;
    }
}

void syncFolder(const std::string& realFolder) {
    // The rename has happened; a folder that cannot be synced is no reason to report failure.
    const int fd = ::open(folderArg(realFolder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A temporary file beside a target, renamed over the target by commit(); removed again if it
// is never committed, so that the target keeps its old bytes.
class TemporaryFile {
  public:
    // Creates the file with `mode`; error() tells whether that failed.
    TemporaryFile(std::string realFolder, const std::string& name, mode_t mode)
        : folder_(std::move(realFolder)),
          target_(folder_ + name),
          path_(temporaryPathFor(target_)),
          mode_(mode) {
        if (::unlink(path_.c_str()) != 0 && errno != ENOENT) {
            error_ = errno;
            return;
        }
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd_ < 0) error_ = errno;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_ && error_ == 0) ::unlink(path_.c_str());  // only what it created
    }

    int error() const { return error_; }
    int fd() const { return fd_; }

    // Puts the file in place of the target, its bytes flushed to the disk first when
    // `durable`, and the rename itself when `folderToo`. Returns 0 or an errno; on failure
    // the target is untouched.
    int commit(bool durable, bool folderToo = true) {
        int err = ::fchmod(fd_, mode_) == 0 ? 0 : errno;
        if (err == 0 && durable && ::fsync(fd_) != 0) err = errno;
        if (::close(fd_) != 0 && err == 0) err = errno;
        fd_ = -1;
        if (err == 0 && ::rename(path_.c_str(), target_.c_str()) != 0) err = errno;
        if (err != 0) return err;
        committed_ = true;
        if (durable && folderToo) syncFolder(folder_);
        return 0;
    }

  private:
    std::string folder_;
    std::string target_;
    std::string path_;
    mode_t mode_;
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
};

// Copies the file at `source` over `realFolder` + `name` through a temporary file, keeping
// its permission bits and times; returns 0 or an errno.
int copySafely(const std::string& source, const std::string& realFolder, const std::string& name,
               bool durable) {
    Descriptor in(openToRead(source));
    struct stat st {};
    if (in.get() < 0 || ::fstat(in.get(), &st) != 0) return errno;
    TemporaryFile out(realFolder, name, st.st_mode & 07777);
    if (out.error() != 0) return out.error();
    if (const int err = copyBytes(in.get(), out.fd())) return err;
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out.fd(), times) != 0) return errno;
    return out.commit(durable);
}

// The permission bits of a file written at `target`: those of the file it replaces.
mode_t modeFor(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    return 0644;
}

class PosixWriter final : public SequentialWriter {
  public:
    PosixWriter(std::unique_ptr<TemporaryFile> file, std::string shown,
                std::function<void()> committed)
        : file_(std::move(file)), shown_(std::move(shown)), committed_(std::move(committed)) {}
    void append(std::string_view data) override {
        if (const int err = writeAll(file_->fd(), data.data(), data.size())) {
            fail(FsOp::Write, shown_, err);
        }
    }
    void commit() override {
        if (const int err = file_->commit(true)) fail(FsOp::Write, shown_, err);
        committed_();
    }

  private:
    std::unique_ptr<TemporaryFile> file_;
    std::string shown_;
    std::function<void()> committed_;
};

class PosixReader final : public SequentialReader {
  public:
    PosixReader(int fd, std::string shown) : fd_(fd), shown_(std::move(shown)) {}
    size_t read(char* buffer, size_t size) override {
        for (;;) {
            const ssize_t n = ::read(fd_.get(), buffer, size);
            if (n >= 0) return static_cast<size_t>(n);
            if (errno != EINTR) fail(FsOp::Read, shown_, errno);
        }
    }

  private:
    Descriptor fd_;
    std::string shown_;
};

}  // namespace

const PosixFileSystem::Listing& PosixFileSystem::listing(const std::string& realFolder, FsOp op,
                                                         const std::string& shown) {
    if (auto it = listings_.find(realFolder); it != listings_.end()) return it->second;
    Listing entries;
    DIR* dir = ::opendir(folderArg(realFolder));
    if (dir == nullptr) {
        if (errno != ENOENT && errno != ENOTDIR) fail(op, shown, errno);
    } else {
        int err = 0;
        for (;;) {
            errno = 0;  // readdir reports an error only through errno
            const dirent* e = ::readdir(dir);
            if (e == nullptr) {
                err = errno;
                break;
            }
            const std::string_view name = e->d_name;
            if (name == "." || name == "..") continue;
            Kind kind = Kind::Other;
            if (e->d_type == DT_REG) {
                kind = Kind::File;
            } else if (e->d_type == DT_DIR) {
                kind = Kind::Folder;
            } else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
                const std::string path = realFolder + e->d_name;
                struct stat st {};
                if (::stat(path.c_str(), &st) == 0) {
                    if (S_ISREG(st.st_mode)) kind = Kind::File;
                    if (S_ISDIR(st.st_mode)) kind = Kind::Folder;
                } else if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
                    kind = Kind::Unreachable;
                }
            }
            entries.insert(name, kind);
        }
        ::closedir(dir);
        if (err != 0) fail(op, shown, err);
    }
    return listings_.emplace(realFolder, std::move(entries)).first->second;
}

const PosixFileSystem::Listing* PosixFileSystem::readableListing(const std::string& realFolder,
                                                                 FsOp op,
                                                                 const std::string& shown) {
    if (auto it = listings_.find(realFolder); it != listings_.end()) return &it->second;
    DIR* dir = ::opendir(folderArg(realFolder));
    if (dir == nullptr && (errno == EACCES || errno == EPERM)) return nullptr;
    if (dir != nullptr) ::closedir(dir);
    return &listing(realFolder, op, shown);
}

std::vector<std::vector<std::string>> PosixFileSystem::caseTwins(const std::string& folder) {
    const auto real = resolveFolder(folder, FsOp::List);
    if (!real) return {};
    return listing(*real, FsOp::List, folder).caseTwins();
}

namespace {

// The real name of the entry of the kind wanted that `name` stands for.
std::optional<std::string> findEntry(const FolderListing& entries, std::string_view name,
                                     FolderListing::Kind kind) {
    return entries.find(foldName(name), kind);
}

}  // namespace

void PosixFileSystem::nameExactly(const std::string& path) {
    if (path.empty()) return;
    if (path.back() == '/') {
        exactFolders_.insert(path);
    } else {
        exactFiles_.insert(path);
    }
    folders_.clear();
    spellings_.clear();
}

size_t PosixFileSystem::exactPart(const std::string& logical) const {
    size_t longest = 0;
    for (const auto& folder : exactFolders_) {
        if (folder.size() > longest && logical.starts_with(folder)) longest = folder.size();
    }
    return longest;
}

std::vector<std::string> PosixFileSystem::walkFolder(const std::string& logical, FsOp op,
                                                     bool everySpelling) {
    std::vector<std::string> reals;
    size_t start = exactPart(logical);
    if (start > 0) {
        // The part the user gave, as the operating system takes it.
        const auto given = givenFolder(logical.substr(0, start), op);
        if (!given) return {};
        reals.push_back(*given);
    } else {
        reals.push_back((!logical.empty() && logical[0] == '/') ? "/" : "");
    }
    while (start <= logical.size() && !reals.empty()) {
        size_t end = logical.find('/', start);
        if (end == std::string::npos) end = logical.size();
        const std::string part = logical.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            for (auto& real : reals) real += "../";
            continue;
        }
        const std::string folded = foldName(part);
        std::vector<std::string> next;
        for (const auto& real : reals) {
            const Listing* entries = readableListing(real, op, logical);
            if (entries == nullptr) {
                // A folder that may be passed but not read (mode 711): only the exact name works.
                struct stat st {};
                if (::stat((real + part).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
                    next.push_back(real + part + "/");
                }
                continue;
            }
            if (!entries->findAll(folded, Kind::Unreachable).empty()) {
                // A link that leads nowhere, loops or may not be entered: what it holds is
                // unknown, which is not the same as nothing.
                const std::string shown = logical.substr(0, end) + "/";
                const auto broken = entries->findAll(folded, Kind::Unreachable).front();
                struct stat st {};
                fail(op, shown, ::stat((real + broken).c_str(), &st) != 0 ? errno : ENOENT);
            }
            for (const auto& name : entries->findAll(folded, Kind::Folder)) {
                next.push_back(real + name + "/");
                if (!everySpelling) break;
            }
        }
        reals = std::move(next);
    }
    for (auto& real : reals) {
        if (real.empty()) real = "./";
    }
    return reals;
}

std::optional<std::string> PosixFileSystem::givenFolder(const std::string& folder, FsOp op) {
    const std::string real = folder.empty() ? "./" : folder;
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) fail(op, folder, errno);
        return std::nullopt;
    }
    if (!S_ISDIR(st.st_mode)) return std::nullopt;
    return real;
}

std::optional<std::string> PosixFileSystem::resolveFolder(const std::string& logical, FsOp op) {
    if (auto it = folders_.find(logical); it != folders_.end()) {
        if (it->second.empty()) return std::nullopt;
        return it->second;
    }
    const auto reals = walkFolder(logical, op, false);
    folders_[logical] = reals.empty() ? std::string() : reals.front();
    if (reals.empty()) return std::nullopt;
    return reals.front();
}

const std::vector<std::string>& PosixFileSystem::folderSpellings(const std::string& logical,
                                                                 FsOp op) {
    if (auto it = spellings_.find(logical); it != spellings_.end()) return it->second;
    auto reals = walkFolder(logical, op, true);
    return spellings_.emplace(logical, std::move(reals)).first->second;
}

std::optional<PosixFileSystem::Located> PosixFileSystem::findFile(const std::string& logical,
                                                                  FsOp op) {
    auto [folder, name] = splitPath(logical);
    if (name.empty()) return std::nullopt;
    const bool exact = exactFiles_.contains(logical);
    const auto real = exact ? givenFolder(folder, op) : resolveFolder(folder, op);
    if (!real) return std::nullopt;
    const Listing& entries = listing(*real, op, logical);
    if (exact) {
        if (!entries.contains(name, Kind::File)) return std::nullopt;
        return Located{*real, name};
    }
    const auto entry = findEntry(entries, name, Kind::File);
    if (!entry) return std::nullopt;
    return Located{*real, *entry};
}

PosixFileSystem::Located PosixFileSystem::locateFile(const std::string& logical, FsOp op) {
    auto file = findFile(logical, op);
    if (!file) fail(op, logical, ENOENT);
    return *file;
}

PosixFileSystem::Located PosixFileSystem::locateOnly(const std::string& logical, FsOp op,
                                                     const std::string& target) {
    auto file = findFile(logical, op);
    if (!file) fail(op, logical, ENOENT, target);
    if (!exactFiles_.contains(logical) &&
        listing(file->folder, op, logical).findAll(foldName(file->name), Kind::File).size() > 1) {
        throw FsError::ambiguousName(op, logical, target);
    }
    return *file;
}

PosixFileSystem::Located PosixFileSystem::locateTarget(const std::string& logical, FsOp op,
                                                       const std::string& shown) {
    const std::string target = op == FsOp::Write ? std::string() : logical;
    auto [folder, name] = splitPath(logical);
    if (name.empty()) fail(op, shown, EISDIR, target);
    const bool exact = exactFiles_.contains(logical);
    const auto real = exact ? givenFolder(folder, op) : resolveFolder(folder, op);
    if (!real) fail(op, shown, ENOENT, target);
    const Listing& entries = listing(*real, op, logical);
    if (exact) return Located{*real, name, entries.contains(name, Kind::File)};
    const auto existing = entries.findAll(foldName(name), Kind::File);
    if (existing.size() > 1) throw FsError::ambiguousName(op, shown, target);
    if (existing.size() == 1) return Located{*real, existing.front()};
    return Located{*real, name, false};
}

void PosixFileSystem::noteWritten(const Located& file) {
    if (auto it = listings_.find(file.folder); it != listings_.end()) {
        it->second.insert(file.name, Kind::File);
    }
}

void PosixFileSystem::noteRemoved(const Located& file) {
    if (auto it = listings_.find(file.folder); it != listings_.end()) {
        it->second.erase(file.name);
    }
}

std::vector<std::string> PosixFileSystem::listFiles(const std::string& folder,
                                                    std::string_view extension) {
    const auto real = resolveFolder(folder, FsOp::List);
    if (!real) return {};
    return listing(*real, FsOp::List, folder).files(foldName(extension));
}

bool PosixFileSystem::fileExists(const std::string& path) {
    auto [folder, name] = splitPath(path);
    if (name.empty()) return false;
    if (exactFiles_.contains(path)) return findFile(path, FsOp::Exists).has_value();
    const std::string folded = foldName(name);
    for (const auto& real : folderSpellings(folder, FsOp::Exists)) {
        if (listing(real, FsOp::Exists, path).find(folded, Kind::File)) return true;
    }
    return false;
}

bool PosixFileSystem::ambiguous(const std::string& path) {
    auto [folder, name] = splitPath(path);
    if (name.empty() || exactFiles_.contains(path)) return false;
    const auto real = resolveFolder(folder, FsOp::Exists);
    return real && listing(*real, FsOp::Exists, path).findAll(foldName(name), Kind::File).size() > 1;
}

namespace {

// The device and inode of the file at `path`, links followed.
std::optional<std::pair<dev_t, ino_t>> identityOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return std::make_pair(st.st_dev, st.st_ino);
}

}  // namespace

bool PosixFileSystem::sameFile(const std::string& a, const std::string& b) {
    const auto x = findFile(a, FsOp::Exists);
    const auto y = findFile(b, FsOp::Exists);
    if (!x || !y) return false;
    const auto idX = identityOf(x->path());
    return idX && idX == identityOf(y->path());
}

bool PosixFileSystem::belongsTo(const std::string& folder, const std::string& installation) {
    const auto real = resolveFolder(folder, FsOp::Exists);
    const auto home = resolveFolder(installation, FsOp::Exists);
    if (!real || !home) return true;
    const auto canonical = [](const std::string& path) -> std::optional<std::string> {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) return std::nullopt;
        std::string text(resolved);
        ::free(resolved);
        if (text.back() != '/') text += '/';
        return text;
    };
    const auto inner = canonical(*real);
    const auto outer = canonical(*home);
    return !inner || !outer || inner->starts_with(*outer);
}

bool PosixFileSystem::folderExists(const std::string& path) {
    return resolveFolder(path, FsOp::Exists).has_value();
}

std::unique_ptr<SequentialReader> PosixFileSystem::openForReading(const std::string& path) {
    const Located file = locateFile(path, FsOp::Read);
    const int fd = openToRead(file.path());
    if (fd < 0) fail(FsOp::Read, path, errno);
    return std::make_unique<PosixReader>(fd, path);
}

void PosixFileSystem::writeFile(const std::string& path, std::string_view contents, Sync sync) {
    const Located target = locateTarget(path, FsOp::Write, path);
    const bool now = sync == Sync::Now;
    TemporaryFile file(target.folder, target.name, modeFor(target.path()));
    int err = file.error();
    if (err == 0) err = writeAll(file.fd(), contents.data(), contents.size());
    // The bytes reach the disk before the rename, whenever the folder does.
    if (err == 0) err = file.commit(true, now);
    if (err != 0) fail(FsOp::Write, path, err);
    noteWritten(target);
    if (now) {
        unsynced_.erase(target.path());
    } else {
        unsynced_.insert(target.path());
    }
}

std::unique_ptr<SequentialWriter> PosixFileSystem::openForReplacing(const std::string& path) {
    const Located target = locateTarget(path, FsOp::Write, path);
    auto file = std::make_unique<TemporaryFile>(target.folder, target.name, modeFor(target.path()));
    if (file->error() != 0) fail(FsOp::Write, path, file->error());
    return std::make_unique<PosixWriter>(std::move(file), path, [this, target] {
        noteWritten(target);
        unsynced_.erase(target.path());
    });
}

void PosixFileSystem::syncDeferredWrites() {
    std::set<std::string> files;
    files.swap(unsynced_);
    std::set<std::string> folders;
    std::optional<FsError> failure;
    for (const auto& path : files) {
        folders.insert(splitPath(path).first);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno != ENOENT && !failure) failure.emplace(FsOp::Write, path, reasonOf(errno));
            continue;  // gone since: nothing of it to flush
        }
        if (::fsync(fd) != 0 && !failure) failure.emplace(FsOp::Write, path, reasonOf(errno));
        ::close(fd);
    }
    for (const auto& folder : folders) syncFolder(folder);
    if (failure) throw *failure;
}

Transfer PosixFileSystem::copyFile(const std::string& from, const std::string& to) {
    const auto source = findFile(from, FsOp::Copy);
    if (!source) fail(FsOp::Copy, from, ENOENT, to);
    const Located target = locateTarget(to, FsOp::Copy, from);
    if (target.listed) {
        const auto id = identityOf(source->path());
        if (id && id == identityOf(target.path())) return Transfer::SameFile;
    }
    const int err = copySafely(source->path(), target.folder, target.name, false);
    if (err != 0) fail(FsOp::Copy, from, err, to);
    noteWritten(target);
    unsynced_.insert(target.path());  // flushed by syncDeferredWrites, in batches
    return Transfer::Done;
}

Transfer PosixFileSystem::moveFile(const std::string& from, const std::string& to) {
    const Located source = locateOnly(from, FsOp::Move, to);
    const Located target = locateTarget(to, FsOp::Move, from);
    if (source.name == target.name && sameFolder(source.folder, target.folder)) {
        return Transfer::SameFile;  // already where it is to go
    }
    // A target the listing does not hold cannot be another name of the source.
    if (target.listed) {
        const auto id = identityOf(source.path());
        if (id && id == identityOf(target.path())) {
            struct stat sourceLink {
            }, targetLink{};
            const bool hardLinks = ::lstat(source.path().c_str(), &sourceLink) == 0 &&
                                   ::lstat(target.path().c_str(), &targetLink) == 0 &&
                                   sourceLink.st_ino == targetLink.st_ino &&
                                   sourceLink.st_dev == targetLink.st_dev;
            // A symbolic link and its target: a rename would put the link in place of the
            // bytes it points to.
            if (!hardLinks) return Transfer::SameFile;
            // Two hard links of one file: the target already holds the bytes; drop the
            // source's name.
            if (::unlink(source.path().c_str()) != 0) fail(FsOp::Move, from, errno, to);
            noteRemoved(source);
            return Transfer::Done;
        }
    }
    if (::rename(source.path().c_str(), target.path().c_str()) != 0) {
        if (errno != EXDEV) fail(FsOp::Move, from, errno, to);
        // Another file system: a durable copy first, so that deleting the source loses nothing.
        const int err = copySafely(source.path(), target.folder, target.name, true);
        if (err != 0) fail(FsOp::Move, from, err, to);
        noteWritten(target);
        if (::unlink(source.path().c_str()) != 0) fail(FsOp::Move, from, errno, to);
    } else {
        noteWritten(target);
    }
    noteRemoved(source);
    return Transfer::Done;
}

bool PosixFileSystem::sameFolder(const std::string& a, const std::string& b) {
    if (a == b) return true;
    const auto id = [this](const std::string& folder) {
        auto [it, added] = folderIds_.try_emplace(folder);
        struct stat st {};
        if (added && ::stat(folderArg(folder), &st) == 0) it->second.emplace(st.st_dev, st.st_ino);
        return it->second;
    };
    const auto idA = id(a);
    return idA && idA == id(b);
}

void PosixFileSystem::removeFile(const std::string& path) {
    const Located file = locateOnly(path, FsOp::Remove);
    if (::unlink(file.path().c_str()) != 0) fail(FsOp::Remove, path, errno);
    noteRemoved(file);
}

void PosixFileSystem::testAppend(const std::string& path) {
    const Located file = locateFile(path, FsOp::AppendTest);
    Descriptor fd(::open(file.path().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (fd.get() < 0) fail(FsOp::AppendTest, path, errno);
    if (const int err = fd.close()) fail(FsOp::AppendTest, path, err);
}

void PosixFileSystem::forgetCache() {
    listings_.clear();
    folders_.clear();
    spellings_.clear();
    folderIds_.clear();
}

}  // namespace zendrik
