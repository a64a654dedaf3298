#include "journal/journaling_file_system.h"

#include <memory>

#include "filesystem/names.h"
#include "filesystem/temporary_files.h"

namespace zendrik {

JournalingFileSystem::JournalingFileSystem(FileSystem& target, JournalStore& store,
                                           std::vector<std::string> installations)
    : FileSystemWrapper(target), store_(store), installations_(std::move(installations)) {}

JournalingFileSystem::~JournalingFileSystem() {
    for (auto& [folder, journal] : journals_) {
        try {
            journal->kept->sync();
            journal->file->sync();
        } catch (const std::exception&) {
            // The journal reached the system with every append; only its flush failed.
        }
    }
}

void JournalingFileSystem::openJournals() {
    for (const auto& folder : installations_) {
        std::string relative;
        try {
            journalOf(folder, relative);
        } catch (const FsError&) {
        }
    }
}

std::map<std::string, std::string> JournalingFileSystem::runIds() const {
    std::map<std::string, std::string> ids;
    for (const auto& [folder, journal] : journals_) ids.emplace(folder, journal->id);
    return ids;
}

JournalingFileSystem::Journal* JournalingFileSystem::journalOf(const std::string& path,
                                                               std::string& relative) {
    const std::string* owner = nullptr;
    for (const auto& folder : installations_) {
        if (path.starts_with(folder) && (!owner || folder.size() > owner->size())) owner = &folder;
    }
    if (!owner) return nullptr;
    // As the disk spells it, so that an undo finds the very folder the run used.
    const std::string spelled = target().spelledOnDisk(path);
    relative = (spelled.starts_with(*owner) ? spelled : path).substr(owner->size());
    if (const auto found = journals_.find(*owner); found != journals_.end()) {
        return found->second.get();
    }
    auto made = std::make_unique<Journal>();
    const std::string key = JournalStore::installationKey(*owner);
    made->id = store_.newRun(key);
    target().nameExactly(store_.folderOf(made->id));
    made->kept = store_.createKept(made->id);
    made->file = store_.createJournal(made->id, key);
    return journals_.emplace(*owner, std::move(made)).first->second.get();
}

std::unique_ptr<InstallationLock> JournalingFileSystem::lockInstallation(
    const std::string& folder, std::chrono::milliseconds wait) {
    auto lock = target().lockInstallation(folder, wait);
    std::string relative;
    journalOf(folder, relative);
    return lock;
}

void JournalingFileSystem::append(Journal& journal, const JournalRecord& record) {
    journal.file->append(encodeRecord(record));
}

void JournalingFileSystem::voided(Journal& journal, uint64_t change) {
    try {
        append(journal, JournalRecord::of(RecordKind::Void, change));
    } catch (const std::exception&) {
    }
}

Transfer JournalingFileSystem::recorded(Journal& journal, const JournalRecord& record,
                                        const std::function<Transfer()>& make) {
    append(journal, record);
    Transfer done;
    try {
        done = make();
    } catch (...) {
        voided(journal, record.change);
        throw;
    }
    if (done == Transfer::SameFile) voided(journal, record.change);
    return done;
}

void JournalingFileSystem::keep(Journal& journal, uint64_t change, const std::string& path,
                                const std::string& relative) {
    const auto stamp = target().stampOf(path);
    if (!stamp) return;  // gone meanwhile: the change itself will say so
    JournalRecord record = JournalRecord::of(RecordKind::Kept, change, relative);
    record.stamp = *stamp;
    record.offset = journal.kept->size();
    const auto reader = target().openForReading(path);
    constexpr size_t kBuffer = 64 * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kBuffer);
    uint64_t hash = kTextHashStart;
    for (size_t n; (n = reader->read(buffer.get(), kBuffer)) > 0;) {
        const std::string_view bytes(buffer.get(), n);
        hash = textHash(bytes, hash);
        journal.kept->append(bytes);
    }
    record.hash = hash;
    record.stamp.size = journal.kept->size() - record.offset;  // what was read
    append(journal, record);
}

Transfer JournalingFileSystem::moveFile(const std::string& from, const std::string& to) {
    std::string relative;
    Journal* journal = journalOf(to, relative);
    const auto stamp = journal ? target().stampOf(from) : std::nullopt;
    if (!stamp) return target().moveFile(from, to);  // unrecorded, or it fails for want of `from`
    const uint64_t change = ++changes_;
    if (target().fileExists(to) && !target().sameFile(from, to))
        keep(*journal, change, to, relative);
    JournalRecord record = JournalRecord::of(RecordKind::Move, change, relative);
    std::string fromRelative;
    if (journalOf(from, fromRelative) == journal) {
        record.from = fromRelative;
    } else {
        record.from = from;
        record.fromInstallation = false;
    }
    record.stamp = *stamp;
    return recorded(*journal, record, [&] { return target().moveFile(from, to); });
}

Transfer JournalingFileSystem::copyFile(const std::string& from, const std::string& to) {
    std::string relative;
    Journal* journal = journalOf(to, relative);
    const auto stamp = journal ? target().stampOf(from) : std::nullopt;
    if (!stamp) return target().copyFile(from, to);
    const uint64_t change = ++changes_;
    if (target().fileExists(to) && !target().sameFile(from, to))
        keep(*journal, change, to, relative);
    JournalRecord record = JournalRecord::of(RecordKind::Copy, change, relative);
    record.from = from;
    record.fromInstallation = false;
    record.stamp = *stamp;
    const Transfer done = recorded(*journal, record, [&] { return target().copyFile(from, to); });
    if (done == Transfer::SameFile) return done;
    if (const auto made = target().stampOf(to)) {
        JournalRecord copy = JournalRecord::of(RecordKind::Made, change);
        copy.stamp = *made;
        append(*journal, copy);
    }
    return done;
}

void JournalingFileSystem::removeFile(const std::string& path) {
    std::string relative;
    Journal* journal = journalOf(path, relative);
    const size_t cut = path.rfind(kSeparator);
    if (!journal || isTemporaryName(path.substr(cut == std::string::npos ? 0 : cut + 1))) {
        return target().removeFile(path);
    }
    const uint64_t change = ++changes_;
    keep(*journal, change, path, relative);
    recorded(*journal, JournalRecord::of(RecordKind::Remove, change, relative), [&] {
        target().removeFile(path);
        return Transfer::Done;
    });
}

void JournalingFileSystem::writeFile(const std::string& path, std::string_view contents,
                                     Sync sync) {
    std::string relative;
    Journal* journal = journalOf(path, relative);
    if (!journal) return target().writeFile(path, contents, sync);
    const uint64_t change = ++changes_;
    const std::string folded = foldName(relative);
    const bool first = !journal->written.contains(folded);
    if (first && target().fileExists(path)) keep(*journal, change, path, relative);
    JournalRecord record = JournalRecord::of(RecordKind::Write, change, relative);
    record.stamp.size = contents.size();
    record.hash = textHash(contents);
    recorded(*journal, record, [&] {
        target().writeFile(path, contents, sync);
        return Transfer::Done;
    });
    // The former bytes count as kept once a write recorded with them was made: after a
    // write not made, the next one keeps them again, as the first.
    if (first) journal->written.insert(folded);
}

void JournalingFileSystem::syncDeferredWrites() {
    // The journals first: a change on the disk is in its journal there.
    std::exception_ptr first;
    for (auto& [folder, journal] : journals_) {
        try {
            journal->kept->sync();
            journal->file->sync();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    try {
        target().syncDeferredWrites();
    } catch (...) {
        if (!first) first = std::current_exception();
    }
    if (first) std::rethrow_exception(first);
}

}  // namespace zendrik
