// The POSIX file layer's operations, over the helpers beside it: posix_io.h (descriptors,
// whole writes, flushes, readers), posix_safe_write.h (a file replaced whole or not at all),
// posix_installation_lock.h (one run at a time).
//
// The parts of this file, in order:
// - listings: each folder read once into a FolderListing, kept in step with this layer's
//   own writes (listing, readableListing, caseTwins, noteWritten, noteRemoved);
// - name resolution: which real folder and file a path names, case ignored below the part
//   the user gave (nameExactly, exactPart, givenFolder, resolveFolder, locateFile and the
//   Located kinds);
// - questions: fileExists, spelledOnDisk, ambiguous, sameFile, belongsTo, writeProtected,
//   sameFolder, folderExists;
// - operations: reading, writing, flushing a batch, copying, moving, removing, the write test,
//   setting mode and time, and the installation lock.
#include "filesystem/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <system_error>

#include "filesystem/flush_together.h"
#include "filesystem/names.h"
#include "filesystem/posix_installation_lock.h"
#include "filesystem/posix_io.h"
#include "filesystem/posix_safe_write.h"

namespace zendrik {

using posix::copySafely;
using posix::Descriptor;
using posix::fail;
using posix::folderArg;
using posix::lockInstallationFolder;
using posix::openToRead;
using posix::PosixReader;
using posix::PosixWriter;
using posix::reasonOf;
using posix::rightsFor;
using posix::StreamWriter;
using posix::syncFile;
using posix::syncFolder;
using posix::TemporaryFile;
using posix::writeAll;
namespace {

// Splits "a/b/name" into ("a/b/", "name"), views of `path`.
std::pair<std::string_view, std::string_view> splitPath(std::string_view path) {
    const size_t cut = path.find_last_of('/');
    if (cut == std::string_view::npos) return {{}, path};
    return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

}  // namespace

const PosixFileSystem::Listing& PosixFileSystem::listing(const std::string& realFolder, FsOp op,
                                                         const std::string& shown) {
    if (auto it = listings_.find(realFolder); it != listings_.end()) return it->second;
    Listing entries;
    DIR* dir = sys_.opendir(folderArg(realFolder));
    if (dir == nullptr) {
        if (errno != ENOENT && errno != ENOTDIR) fail(op, shown, errno);
    } else {
        int err = 0;
        for (;;) {
            errno = 0;  // readdir reports an error only through errno
            const dirent* e = sys_.readdir(dir);
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
                if (sys_.stat(path.c_str(), &st) == 0) {
                    if (S_ISREG(st.st_mode)) kind = Kind::File;
                    if (S_ISDIR(st.st_mode)) kind = Kind::Folder;
                } else if (sys_.lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
                    kind = Kind::Unreachable;
                }
            }
            entries.insert(name, kind);
        }
        sys_.closedir(dir);
        if (err != 0) fail(op, shown, err);
    }
    return listings_.emplace(realFolder, std::move(entries)).first->second;
}

const PosixFileSystem::Listing* PosixFileSystem::readableListing(const std::string& realFolder,
                                                                 FsOp op,
                                                                 const std::string& shown) {
    if (auto it = listings_.find(realFolder); it != listings_.end()) return &it->second;
    DIR* dir = sys_.opendir(folderArg(realFolder));
    if (dir == nullptr && (errno == EACCES || errno == EPERM)) return nullptr;
    if (dir != nullptr) sys_.closedir(dir);
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
                if (sys_.stat((real + part).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
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
                fail(op, shown, sys_.stat((real + broken).c_str(), &st) != 0 ? errno : ENOENT);
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
    if (sys_.stat(real.c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) fail(op, folder, errno);
        return std::nullopt;
    }
    if (!S_ISDIR(st.st_mode)) return std::nullopt;
    return real;
}

const std::string* PosixFileSystem::resolveFolder(std::string_view logical, FsOp op) {
    auto it = folders_.find(logical);
    if (it == folders_.end()) {
        std::string path(logical);
        const auto reals = walkFolder(path, op, false);
        it = folders_.emplace(std::move(path), reals.empty() ? std::string() : reals.front()).first;
    }
    return it->second.empty() ? nullptr : &it->second;
}

const std::vector<std::string>& PosixFileSystem::folderSpellings(std::string_view logical,
                                                                 FsOp op) {
    if (auto it = spellings_.find(logical); it != spellings_.end()) return it->second;
    std::string path(logical);
    auto reals = walkFolder(path, op, true);
    return spellings_.emplace(std::move(path), std::move(reals)).first->second;
}

std::optional<PosixFileSystem::Located> PosixFileSystem::findFile(const std::string& logical,
                                                                  FsOp op) {
    const auto [folder, name] = splitPath(logical);
    if (name.empty()) return std::nullopt;
    if (exactFiles_.contains(logical)) {
        const auto given = givenFolder(std::string(folder), op);
        if (!given || !listing(*given, op, logical).contains(name, Kind::File)) return std::nullopt;
        return Located{*given, std::string(name)};
    }
    const std::string* real = resolveFolder(folder, op);
    if (real == nullptr) return std::nullopt;
    const Listing& entries = listing(*real, op, logical);
    const auto entry = findEntry(entries, name, Kind::File);
    if (!entry) return std::nullopt;
    return Located{*real, *entry};
}

PosixFileSystem::Located PosixFileSystem::locateFile(const std::string& logical, FsOp op) {
    auto file = findFile(logical, op);
    if (!file) {
        // Not a plain file: say what it is, if anything.
        auto [folder, name] = splitPath(logical);
        const auto real = resolveFolder(folder, op);
        if (real && !name.empty()) {
            const std::string folded = foldName(name);
            const Listing& entries = listing(*real, op, logical);
            if (entries.find(folded, Kind::Folder)) fail(op, logical, EISDIR);
            if (entries.find(folded, Kind::Other)) {
                throw FsError(op, logical, "not a plain file (a pipe, device or socket)");
            }
        }
        fail(op, logical, ENOENT);
    }
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
    const auto [folder, name] = splitPath(logical);
    if (name.empty()) fail(op, shown, EISDIR, target);
    if (exactFiles_.contains(logical)) {
        const auto given = givenFolder(std::string(folder), op);
        if (!given) fail(op, shown, ENOENT, target);
        const bool listed = listing(*given, op, logical).contains(name, Kind::File);
        return Located{*given, std::string(name), listed};
    }
    const std::string* real = resolveFolder(folder, op);
    if (real == nullptr) fail(op, shown, ENOENT, target);
    const Listing& entries = listing(*real, op, logical);
    const auto existing = entries.findAll(foldName(name), Kind::File);
    if (existing.size() > 1) throw FsError::ambiguousName(op, shown, target);
    if (existing.size() == 1) return Located{*real, existing.front()};
    return Located{*real, std::string(name), false};
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

std::string PosixFileSystem::spelledOnDisk(const std::string& path) {
    if (exactFiles_.contains(path)) return path;
    const auto [folder, name] = splitPath(path);
    const std::string* real = resolveFolder(folder, FsOp::Exists);
    if (real == nullptr) return path;
    const auto entry = name.empty()
                           ? std::nullopt
                           : findEntry(listing(*real, FsOp::Exists, path), name, Kind::File);
    return *real + (entry ? *entry : std::string(name));
}

bool PosixFileSystem::ambiguous(const std::string& path) {
    auto [folder, name] = splitPath(path);
    if (name.empty() || exactFiles_.contains(path)) return false;
    const auto real = resolveFolder(folder, FsOp::Exists);
    return real &&
           listing(*real, FsOp::Exists, path).findAll(foldName(name), Kind::File).size() > 1;
}

namespace {

// The device and inode of the file at `path`, links followed.
std::optional<std::pair<dev_t, ino_t>> identityOf(PosixCalls& sys, const std::string& path) {
    struct stat st {};
    if (sys.stat(path.c_str(), &st) != 0) return std::nullopt;
    return std::make_pair(st.st_dev, st.st_ino);
}

}  // namespace

bool PosixFileSystem::sameFile(const std::string& a, const std::string& b) {
    const auto x = findFile(a, FsOp::Exists);
    const auto y = findFile(b, FsOp::Exists);
    if (!x || !y) return false;
    const auto idX = identityOf(sys_, x->path());
    return idX && idX == identityOf(sys_, y->path());
}

bool PosixFileSystem::belongsTo(const std::string& folder, const std::string& installation) {
    const auto real = resolveFolder(folder, FsOp::Exists);
    const auto home = resolveFolder(installation, FsOp::Exists);
    if (!real || !home) return true;
    const auto canonical = [this](const std::string& path) -> std::optional<std::string> {
        char* resolved = sys_.realpath(path.c_str(), nullptr);
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

bool PosixFileSystem::writeProtected(const std::string& path) {
    const auto file = findFile(path, FsOp::Exists);
    return file && posix::writeProtected(sys_, file->path());
}

bool PosixFileSystem::sameFolder(const std::string& a, const std::string& b) {
    const auto x = resolveFolder(a, FsOp::Exists);
    const auto y = resolveFolder(b, FsOp::Exists);
    return x && y && sameRealFolder(*x, *y);
}

bool PosixFileSystem::folderExists(const std::string& path) {
    return resolveFolder(path, FsOp::Exists) != nullptr;
}

std::unique_ptr<SequentialReader> PosixFileSystem::openForReading(const std::string& path) {
    const Located file = locateFile(path, FsOp::Read);
    const int fd = openToRead(sys_, file.path());
    if (fd < 0) fail(FsOp::Read, path, errno);
    return std::make_unique<PosixReader>(sys_, fd, path);
}

void PosixFileSystem::writeFile(const std::string& path, std::string_view contents, Sync sync) {
    const Located target = locateTarget(path, FsOp::Write, path);
    refuseProtected(target, FsOp::Write, path);
    const bool now = sync == Sync::Now;
    TemporaryFile file(sys_, target.folder, target.name,
                       rightsFor(sys_, target.folder, target.path(), 0644));
    int err = file.error();
    if (err == 0) err = writeAll(sys_, file.fd(), contents.data(), contents.size());
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
    struct stat st {};
    if (target.listed || sys_.stat(target.path().c_str(), &st) == 0) {
        if (sys_.stat(target.path().c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            fail(FsOp::Write, path, EISDIR);
        }
        if (sys_.stat(target.path().c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            // A terminal, a pipe or a device: written into, never replaced.
            const int fd = sys_.open(target.path().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC, 0);
            if (fd < 0) fail(FsOp::Write, path, errno);
            return std::make_unique<StreamWriter>(sys_, fd, path);
        }
    }
    refuseProtected(target, FsOp::Write, path);
    auto file = std::make_unique<TemporaryFile>(
        sys_, target.folder, target.name, rightsFor(sys_, target.folder, target.path(), 0644));
    if (file->error() != 0) fail(FsOp::Write, path, file->error());
    return std::make_unique<PosixWriter>(sys_, std::move(file), path, [this, target] {
        noteWritten(target);
        unsynced_.erase(target.path());
    });
}

void PosixFileSystem::syncDeferredWrites() {
    std::set<std::string> unsynced;
    unsynced.swap(unsynced_);
    const std::vector<std::string> files(unsynced.begin(), unsynced.end());
    std::set<std::string> folderSet;
    for (const auto& path : files) folderSet.emplace(splitPath(path).first);
    const std::vector<std::string> folders(folderSet.begin(), folderSet.end());
    // The files first, all at once, then their folders: a rename is durable only once the
    // bytes it puts in place are.
    // Every one is tried; the first failure is reported.
    const auto file =
        flushTogether(files.size(), [&](size_t i) { return syncFile(sys_, files[i]); });
    const auto folder =
        flushTogether(folders.size(), [&](size_t i) { return syncFolder(sys_, folders[i]); });
    if (file) fail(FsOp::Write, files[file->index], file->error);
    if (folder) fail(FsOp::Write, folders[folder->index], folder->error);
}

Transfer PosixFileSystem::copyFile(const std::string& from, const std::string& to) {
    const auto source = findFile(from, FsOp::Copy);
    if (!source) fail(FsOp::Copy, from, ENOENT, to);
    const Located target = locateTarget(to, FsOp::Copy, from);
    if (target.listed) {
        const auto id = identityOf(sys_, source->path());
        if (id && id == identityOf(sys_, target.path())) return Transfer::SameFile;
    }
    refuseProtected(target, FsOp::Copy, to);
    const int err = copySafely(sys_, source->path(), target.folder, target.name, false);
    if (err != 0) fail(FsOp::Copy, from, err, to);
    noteWritten(target);
    unsynced_.insert(target.path());  // flushed by syncDeferredWrites, in batches
    return Transfer::Done;
}

Transfer PosixFileSystem::moveFile(const std::string& from, const std::string& to) {
    const Located source = locateOnly(from, FsOp::Move, to);
    const Located target = locateTarget(to, FsOp::Move, from);
    if (source.name == target.name && sameRealFolder(source.folder, target.folder)) {
        return Transfer::SameFile;  // already where it is to go
    }
    // A target the listing does not hold cannot be another name of the source.
    if (target.listed) {
        const auto id = identityOf(sys_, source.path());
        if (id && id == identityOf(sys_, target.path())) {
            struct stat sourceLink {
            }, targetLink{};
            const bool hardLinks = sys_.lstat(source.path().c_str(), &sourceLink) == 0 &&
                                   sys_.lstat(target.path().c_str(), &targetLink) == 0 &&
                                   sourceLink.st_ino == targetLink.st_ino &&
                                   sourceLink.st_dev == targetLink.st_dev;
            // A symbolic link and its target: a rename would put the link in place of the
            // bytes it points to.
            if (!hardLinks) return Transfer::SameFile;
            // Two hard links of one file: the target already holds the bytes; drop the
            // source's name.
            if (sys_.unlink(source.path().c_str()) != 0) fail(FsOp::Move, from, errno, to);
            noteRemoved(source);
            return Transfer::Done;
        }
    }
    refuseProtected(target, FsOp::Move, to);
    if (sys_.rename(source.path().c_str(), target.path().c_str()) != 0) {
        if (errno != EXDEV) fail(FsOp::Move, from, errno, to);
        // Another file system: a durable copy first, so that deleting the source loses nothing.
        const int err = copySafely(sys_, source.path(), target.folder, target.name, true);
        if (err != 0) fail(FsOp::Move, from, err, to);
        noteWritten(target);
        if (sys_.unlink(source.path().c_str()) != 0) fail(FsOp::Move, from, errno, to);
    } else {
        noteWritten(target);
    }
    noteRemoved(source);
    return Transfer::Done;
}

bool PosixFileSystem::sameRealFolder(const std::string& a, const std::string& b) {
    if (a == b) return true;
    const auto id = [this](const std::string& folder) {
        auto [it, added] = folderIds_.try_emplace(folder);
        struct stat st {};
        if (added && sys_.stat(folderArg(folder), &st) == 0)
            it->second.emplace(st.st_dev, st.st_ino);
        return it->second;
    };
    const auto idA = id(a);
    return idA && idA == id(b);
}

void PosixFileSystem::removeFile(const std::string& path) {
    const Located file = locateOnly(path, FsOp::Remove);
    refuseProtected(file, FsOp::Remove, path);
    if (sys_.unlink(file.path().c_str()) != 0) fail(FsOp::Remove, path, errno);
    noteRemoved(file);
}

void PosixFileSystem::testAppend(const std::string& path) {
    const Located file = locateFile(path, FsOp::AppendTest);
    Descriptor fd(sys_, sys_.open(file.path().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC, 0));
    if (fd.get() < 0) fail(FsOp::AppendTest, path, errno);
    if (const int err = fd.close()) fail(FsOp::AppendTest, path, err);
}

void PosixFileSystem::setModeAndTime(const std::string& path, uint32_t mode, int64_t modified) {
    const std::string real = locateFile(path, FsOp::Write).path();
    if (mode != 0 && sys_.chmod(real.c_str(), static_cast<mode_t>(mode & 0777)) != 0) {
        fail(FsOp::Write, path, errno);
    }
    int64_t seconds = modified / 1000000000, nanoseconds = modified % 1000000000;
    if (nanoseconds < 0) {  // before 1970
        nanoseconds += 1000000000;
        --seconds;
    }
    const struct timespec times[2] = {
        {0, UTIME_OMIT}, {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)}};
    if (sys_.utimens(real.c_str(), times) != 0) fail(FsOp::Write, path, errno);
}

void PosixFileSystem::forgetCache() {
    listings_.clear();
    folders_.clear();
    spellings_.clear();
    folderIds_.clear();
}

void PosixFileSystem::refuseProtected(const Located& file, FsOp op, const std::string& shown) {
    if (file.listed && posix::writeProtected(sys_, file.path()))
        throw FsError::protectedFile(op, shown);
}

std::unique_ptr<InstallationLock> PosixFileSystem::lockInstallation(
    const std::string& folder, std::chrono::milliseconds wait) {
    const auto real = resolveFolder(folder, FsOp::Lock);
    if (!real) fail(FsOp::Lock, folder, ENOENT);
    return lockInstallationFolder(sys_, *real, folder, wait);
}

}  // namespace zendrik
