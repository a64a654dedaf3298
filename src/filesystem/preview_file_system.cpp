#include "filesystem/preview_file_system.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <system_error>

#include "filesystem/folder_in_the_way.h"
#include "filesystem/names.h"

namespace zendrik {
namespace {

std::string reasonOf(int err) {
    return std::generic_category().message(err);
}

#ifdef _WIN32
constexpr const char* kSeparators = "\\/";
// The system's reason for a file renamed over a folder.
constexpr int kFolderInTheWay = EACCES;
#else
constexpr const char* kSeparators = "/";
constexpr int kFolderInTheWay = EISDIR;
#endif

// Reads a file of the preview from memory.
class MemoryReader final : public SequentialReader {
  public:
    explicit MemoryReader(std::shared_ptr<const std::string> contents)
        : contents_(std::move(contents)) {}
    size_t read(char* buffer, size_t size) override {
        const size_t n = std::min(size, contents_->size() - at_);
        std::memcpy(buffer, contents_->data() + at_, n);
        at_ += n;
        return n;
    }

  private:
    std::shared_ptr<const std::string> contents_;
    size_t at_ = 0;
};

// Collects a file in memory; commit() hands it to the preview, as a rename would put it in
// place.
class MemoryWriter final : public SequentialWriter {
  public:
    explicit MemoryWriter(std::function<void(std::string)> committed)
        : committed_(std::move(committed)) {}
    void append(std::string_view data) override { contents_ += data; }
    void commit() override { committed_(std::move(contents_)); }

  private:
    std::function<void(std::string)> committed_;
    std::string contents_;
};

// The device of the files that only the preview holds: none that a real file is on.
constexpr uint64_t kPreviewDevice = ~uint64_t{0};

}  // namespace

std::optional<uint32_t> PreviewFileSystem::folderOf(const std::string& folder, FsOp op) {
    if (const auto it = folderNumbers_.find(folder); it != folderNumbers_.end()) {
        return it->second;
    }
    // The working folder of a relative path, spelled so that a path can be formed below it.
    const std::string spelled = folder.empty() ? std::string{'.', kSeparator} : folder;
    bool exists = false;
    try {
        exists = real().folderExists(spelled);
    } catch (const FsError& e) {
        // A folder of the path cannot be looked into: the refusal the operation would meet.
        throw FsError(op, e.path(), e.reason());
    }
    std::optional<uint32_t> number;
    if (exists) {
        for (uint32_t i = 0; i < folders_.size() && !number; ++i) {
            if (real().sameFolder(folders_[i].path, spelled)) number = i;
        }
        if (!number) {
            number = static_cast<uint32_t>(folders_.size());
            folders_.push_back(Folder{spelled, {}});
        }
    }
    folderNumbers_.emplace(folder, number);
    return number;
}

std::optional<PreviewFileSystem::Place> PreviewFileSystem::placeOf(const std::string& path,
                                                                   FsOp op) {
    const size_t cut = path.find_last_of(kSeparators);
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (name.empty()) return std::nullopt;
    const auto number = folderOf(folder, op);
    if (!number) return std::nullopt;
    std::string folded = foldName(name);
    return Place{*number, path, std::move(name), std::move(folded)};
}

PreviewFileSystem::Standing PreviewFileSystem::standing(const Place& place) {
    if (const NameChange* change = folders_[place.folder].overlay.find(place.folded)) {
        return {change->added.has_value(), change->added ? &*change->added : nullptr, true};
    }
    // sameFile finds a file in the folder every spelling reaches, as a move or write does.
    return {real().sameFile(place.path, place.path), nullptr, false};
}

PreviewFileSystem::Place PreviewFileSystem::existingOnly(const std::string& path, FsOp op,
                                                         const std::string& target) {
    const auto place = placeOf(path, op);
    const Standing now = place ? standing(*place) : Standing{};
    if (!now.exists) throw FsError(op, path, reasonOf(ENOENT), target);
    if (!now.changed && real().ambiguous(path)) {
        throw FsError::ambiguousName(op, path, target);
    }
    return *place;
}

PreviewFileSystem::Place PreviewFileSystem::targetOf(const std::string& path, FsOp op,
                                                     const std::string& shown,
                                                     const std::string& target, Standing& now) {
    const size_t cut = path.find_last_of(kSeparators);
    if (cut + 1 == path.size()) throw FsError(op, shown, reasonOf(EISDIR), target);
    auto place = placeOf(path, op);
    if (!place) throw FsError(op, shown, reasonOf(ENOENT), target);
    now = standing(*place);
    if (!now.changed && real().ambiguous(path)) throw FsError::ambiguousName(op, shown, target);
    // A folder where the file would go: the rename over it fails, as on the disk.
    if (!now.exists && !now.changed && folderInTheWay(real(), path)) {
        throw FsError(op, shown, reasonOf(kFolderInTheWay), target);
    }
    // A file written over an existing one takes its place and keeps its name.
    if (now.added) {
        place->name = now.added->name;
    } else if (now.exists) {
        place->name = realName(*place);
    }
    return *place;
}

std::string PreviewFileSystem::realName(const Place& place) {
    const size_t dot = place.name.rfind('.');
    if (dot == std::string::npos || dot == 0) return place.name;
    const std::string folder = place.path.substr(0, place.path.size() - place.name.size());
    for (auto& name : real().listFiles(folder, std::string_view(place.name).substr(dot + 1))) {
        if (foldName(name) == place.folded) return name;
    }
    return place.name;
}

std::optional<PreviewFileSystem::Identity> PreviewFileSystem::identityOf(const Place& place) {
    const Standing now = standing(place);
    if (!now.exists) return std::nullopt;
    if (!now.added) return Identity{place.path, 0};
    // A renamed real file is still that file.
    if (now.added->moved) return Identity{originPath(*now.added), 0};
    return Identity{std::nullopt, now.added->identity};
}

bool PreviewFileSystem::protectedNow(const Place& place, const Standing& now) {
    if (now.added) return now.added->writeProtected;
    return now.exists && real().writeProtected(place.path);
}

std::string PreviewFileSystem::originPath(const AddedFile& file) const {
    return folders_[*file.originFolder].path +
           (file.originName.empty() ? file.name : file.originName);
}

AddedFile PreviewFileSystem::bytesOf(const Place& source, const Standing& now) {
    AddedFile file;
    if (now.added) {
        file = *now.added;
        if (file.originFolder && file.originName.empty()) file.originName = file.name;
    } else {
        file.originFolder = source.folder;
        file.originName = source.name;
        file.writeProtected = real().writeProtected(source.path);
    }
    return file;
}

void PreviewFileSystem::record(const Place& place, AddedFile file, const Standing& now) {
    file.name = place.name;
    if (file.originName == file.name) file.originName.clear();  // most copies keep their name
    folders_[place.folder].overlay.add(place.folded, std::move(file), now.exists);
}

std::vector<std::string> PreviewFileSystem::listFiles(const std::string& folder,
                                                      std::string_view extension) {
    // The layer below first: it lists, or refuses as a run would see it refuse.
    std::vector<std::string> listed = real().listFiles(folder, extension);
    const auto number = folderOf(folder, FsOp::List);
    if (!number) return listed;
    return folders_[*number].overlay.merge(std::move(listed), extension);
}

bool PreviewFileSystem::fileExists(const std::string& path) {
    const auto place = placeOf(path, FsOp::Exists);
    if (place) {
        if (const NameChange* change = folders_[place->folder].overlay.find(place->folded)) {
            return change->added.has_value();
        }
    }
    return real().fileExists(path);
}

bool PreviewFileSystem::ambiguous(const std::string& path) {
    // A name the preview changed stands for one file: twins are never changed.
    const auto place = placeOf(path, FsOp::Exists);
    if (place && standing(*place).changed) return false;
    return real().ambiguous(path);
}

bool PreviewFileSystem::writeProtected(const std::string& path) {
    const auto place = placeOf(path, FsOp::Exists);
    if (!place) return real().writeProtected(path);
    return protectedNow(*place, standing(*place));
}

bool PreviewFileSystem::sameAt(const Place& a, const Place& b) {
    const auto x = identityOf(a);
    const auto y = identityOf(b);
    if (!x || !y || x->realPath.has_value() != y->realPath.has_value()) return false;
    if (x->realPath) return real().sameFile(*x->realPath, *y->realPath);
    return x->preview == y->preview;
}

bool PreviewFileSystem::sameFile(const std::string& a, const std::string& b) {
    const auto x = placeOf(a, FsOp::Exists);
    const auto y = placeOf(b, FsOp::Exists);
    return x && y && sameAt(*x, *y);
}

std::optional<FileStamp> PreviewFileSystem::stampOf(const std::string& path) {
    const auto place = placeOf(path, FsOp::Exists);
    if (!place) return real().stampOf(path);
    const Standing now = standing(*place);
    if (!now.changed) return real().stampOf(path);
    if (!now.exists) return std::nullopt;
    const AddedFile& file = *now.added;
    FileStamp stamp;
    if (file.originFolder) {
        const auto source = real().stampOf(originPath(file));
        if (!source) throw FsError(FsOp::Exists, path, reasonOf(ENOENT));
        stamp = *source;
    } else {
        stamp.size = file.contents->size();
    }
    if (!file.moved) {
        stamp.device = kPreviewDevice;
        stamp.file = file.identity;
    }
    if (file.modified) stamp.modified = *file.modified;
    return stamp;
}

std::unique_ptr<InstallationLock> PreviewFileSystem::lockInstallation(
    const std::string& folder, std::chrono::milliseconds wait) {
    (void)folder;
    (void)wait;
    return std::make_unique<InstallationLock>();
}

std::unique_ptr<SequentialReader> PreviewFileSystem::openForReading(const std::string& path) {
    const auto place = placeOf(path, FsOp::Read);
    const NameChange* change =
        place ? folders_[place->folder].overlay.find(place->folded) : nullptr;
    if (!change) return real().openForReading(path);
    if (!change->added) throw FsError(FsOp::Read, path, reasonOf(ENOENT));
    if (!change->added->originFolder)
        return std::make_unique<MemoryReader>(change->added->contents);
    try {
        return real().openForReading(originPath(*change->added));
    } catch (const FsError& e) {
        throw FsError(FsOp::Read, path, e.reason());
    }
}

void PreviewFileSystem::writeFile(const std::string& path, std::string_view contents, Sync sync) {
    (void)sync;
    Standing now;
    const Place place = targetOf(path, FsOp::Write, path, {}, now);
    if (protectedNow(place, now)) throw FsError::protectedFile(FsOp::Write, path);
    AddedFile file;
    file.contents = std::make_shared<const std::string>(contents);
    file.identity = nextIdentity_++;  // a new file renamed over the old one
    file.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    record(place, std::move(file), now);
}

std::unique_ptr<SequentialWriter> PreviewFileSystem::openForReplacing(const std::string& path) {
    if (writeThrough_.contains(path)) return real().openForReplacing(path);
    Standing now;
    const Place place = targetOf(path, FsOp::Write, path, {}, now);
    if (protectedNow(place, now)) throw FsError::protectedFile(FsOp::Write, path);
    return std::make_unique<MemoryWriter>(
        [this, path](std::string contents) { writeFile(path, contents); });
}

Transfer PreviewFileSystem::copyFile(const std::string& from, const std::string& to) {
    const auto source = placeOf(from, FsOp::Copy);
    const Standing was = source ? standing(*source) : Standing{};
    if (!was.exists) throw FsError(FsOp::Copy, from, reasonOf(ENOENT), to);
    Standing now;
    const Place target = targetOf(to, FsOp::Copy, from, to, now);
    if (now.exists && sameAt(*source, target)) return Transfer::SameFile;
    if (protectedNow(target, now)) throw FsError::protectedFile(FsOp::Copy, to);
    AddedFile file = bytesOf(*source, was);
    file.moved = false;
    file.identity = nextIdentity_++;
    // A copy over an existing file keeps that file's rights; a new one takes the source's.
    if (now.exists) file.writeProtected = false;
    record(target, std::move(file), now);
    return Transfer::Done;
}

Transfer PreviewFileSystem::moveFile(const std::string& from, const std::string& to) {
    const Place source = existingOnly(from, FsOp::Move, to);
    const Standing was = standing(source);
    Standing now;
    const Place target = targetOf(to, FsOp::Move, from, to, now);
    if (source.folder == target.folder && source.folded == target.folded) {
        return Transfer::SameFile;  // already where it is to go
    }
    // Two names of one file (a link): nothing is moved.
    if (now.exists && sameAt(source, target)) return Transfer::SameFile;
    if (protectedNow(target, now)) throw FsError::protectedFile(FsOp::Move, to);
    AddedFile file = bytesOf(source, was);
    if (!was.added) {
        file.moved = true;  // the real file itself, renamed
        file.identity = nextIdentity_++;
    }
    const bool realSource = !was.added;
    folders_[source.folder].overlay.remove(source.folded, realSource);
    record(target, std::move(file), now);
    return Transfer::Done;
}

void PreviewFileSystem::removeFile(const std::string& path) {
    const Place place = existingOnly(path, FsOp::Remove);
    const Standing now = standing(place);
    if (protectedNow(place, now)) throw FsError::protectedFile(FsOp::Remove, path);
    folders_[place.folder].overlay.remove(place.folded, !now.added);
}

void PreviewFileSystem::setModeAndTime(const std::string& path, uint32_t mode, int64_t modified) {
    (void)mode;
    const auto place = placeOf(path, FsOp::Write);
    const Standing now = place ? standing(*place) : Standing{};
    if (!now.exists) throw FsError(FsOp::Write, path, reasonOf(ENOENT));
    Place at = *place;
    AddedFile file = bytesOf(at, now);
    if (!now.added) {
        at.name = realName(at);
        file.moved = true;  // the real file itself, with another time
        file.identity = nextIdentity_++;
    }
    file.modified = modified;
    record(at, std::move(file), now);
}

void PreviewFileSystem::testAppend(const std::string& path) {
    const auto place = placeOf(path, FsOp::AppendTest);
    const NameChange* change =
        place ? folders_[place->folder].overlay.find(place->folded) : nullptr;
    if (!change) return real().testAppend(path);
    if (!change->added) throw FsError(FsOp::AppendTest, path, reasonOf(ENOENT));
}

}  // namespace zendrik
