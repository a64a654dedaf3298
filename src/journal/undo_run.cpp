#include "journal/undo_run.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "filesystem/names.h"
#include "journal/journal_store.h"

namespace zendrik {
namespace {

class Undo {
  public:
    Undo(FileSystem& fs, Log& log, const std::string& installation, const std::string& runFolder,
         const JournalContents& journal, const std::vector<Restoration>& earlier)
        : fs_(fs), log_(log), installation_(installation), runFolder_(runFolder) {
        for (const auto& r : earlier) putBack_.emplace(foldName(r.path), r);
        for (const auto& r : journal.records) {
            switch (r.kind) {
                case RecordKind::Void:
                    voided_.insert(r.change);
                    break;
                case RecordKind::Kept:
                    kept_[r.change] = r;
                    break;
                case RecordKind::Made:
                    made_[r.change] = r.stamp;
                    break;
                case RecordKind::Write: {
                    auto& texts = written_[foldName(r.path)];
                    if (texts.empty()) firstWrites_.insert(r.change);
                    texts.insert(r.hash);
                    break;
                }
                default:
                    break;
            }
        }
    }

    void change(const JournalRecord& r) {
        if (voided_.contains(r.change)) return;
        const std::string path = installation_ + r.path;
        try {
            switch (r.kind) {
                case RecordKind::Move:
                    move(r, path);
                    break;
                case RecordKind::Copy:
                    copy(r, path);
                    break;
                case RecordKind::Remove:
                    remove(r, path);
                    break;
                case RecordKind::Write:
                    if (firstWrites_.contains(r.change)) write(r, path);
                    break;
                default:
                    break;
            }
        } catch (const FsError& e) {
            leave(path, e.what());
        }
    }

    UndoResult result;

  private:
    void leave(const std::string& path, const std::string& why) {
        log_.addLine("    left " + path + " as it is: " + why);
        result.left.push_back(path + ": " + why);
    }
    const JournalRecord* keptOf(uint64_t change) const {
        const auto it = kept_.find(change);
        return it == kept_.end() ? nullptr : &it->second;
    }
    static std::filesystem::path pathOf(const std::string& utf8) {
        return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
    }
    // The former bytes that `kept` records.
    std::string keptBytes(const JournalRecord& kept) const {
        const std::string pack = runFolder_ + kKeptName;
        std::ifstream in(pathOf(pack), std::ios::binary);
        std::string bytes(kept.stamp.size, '\0');
        in.seekg(static_cast<std::streamoff>(kept.offset));
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!in) throw FsError(FsOp::Read, pack, "the kept bytes are cut short");
        return bytes;
    }
    // Puts the kept former file of `change` back at `path`, where no file is now, with its
    // permission bits and modification time: staged in the run's folder, then copied, as a
    // copy keeps them.
    void restore(uint64_t change, const std::string& path) {
        const JournalRecord& kept = *keptOf(change);
        const std::string staged = runFolder_ + "restoring-" + std::to_string(change);
        fs_.writeFile(staged, keptBytes(kept), FileSystem::Sync::Deferred);
        fs_.setModeAndTime(staged, kept.stamp.mode, kept.stamp.modified);
        fs_.copyFile(staged, path);
        fs_.removeFile(staged);
        const std::string relative = path.substr(installation_.size());
        if (const auto now = fs_.stampOf(path)) {
            Restoration restoration{relative, kept.stamp, *now};
            putBack_.emplace(foldName(relative), restoration);
            result.restored.push_back(std::move(restoration));
        }
        log_.addLine("    restored " + path);
    }
    // True when the file at `path`, of stamp `now`, is the one of stamp `then`: the same
    // file, or the copy that an undo put back for it.
    bool same(const std::string& path, const FileStamp& now, const FileStamp& then) const {
        if (now == then) return true;
        const auto [first, last] =
            putBack_.equal_range(foldName(path.substr(installation_.size())));
        for (auto it = first; it != last; ++it) {
            if (it->second.before == then && it->second.after == now) return true;
        }
        return false;
    }

    void move(const JournalRecord& r, const std::string& to) {
        const std::string from = r.fromInstallation ? installation_ + r.from : r.from;
        const auto there = fs_.stampOf(from);
        if (there && same(from, *there, r.stamp)) return;  // the run never got to move it
        const auto now = fs_.stampOf(to);
        if (!now) {
            leave(to, "gone since the run");
            return;
        }
        if (!same(to, *now, r.stamp)) {
            leave(to, "changed since the run");
            return;
        }
        if (fs_.fileExists(from)) {
            leave(to, from + " is taken since the run");
            return;
        }
        fs_.moveFile(to, from);
        log_.addLine("    moved " + to + " back to " + from);
        if (keptOf(r.change)) restore(r.change, to);
    }

    void copy(const JournalRecord& r, const std::string& to) {
        const auto now = fs_.stampOf(to);
        const JournalRecord* former = keptOf(r.change);
        const auto made = made_.find(r.change);
        if (made == made_.end()) {
            // Killed between the copy and its record: the copy is there, or the run never
            // made it.
            if (!now || (former && now->sameContents(former->stamp))) return;
            if (!now->sameContents(r.stamp)) {
                leave(to, "changed since the run");
                return;
            }
        } else if (!now) {
            leave(to, "gone since the run");
            return;
        } else if (!same(to, *now, made->second)) {
            leave(to, "changed since the run");
            return;
        }
        fs_.removeFile(to);
        log_.addLine("    removed " + to + ", a copy made by the run");
        if (former) restore(r.change, to);
    }

    void remove(const JournalRecord& r, const std::string& path) {
        const JournalRecord* former = keptOf(r.change);
        if (!former) return;  // nothing was kept, so nothing was deleted
        const auto now = fs_.stampOf(path);
        if (!now) {
            restore(r.change, path);
        } else if (!now->sameContents(former->stamp)) {
            leave(path, "changed since the run");
        }  // else never deleted, or put back already
    }

    // The text of `path` as it is now: the last the run wrote, or its former text.
    void write(const JournalRecord& r, const std::string& path) {
        const JournalRecord* former = keptOf(r.change);
        const auto& texts = written_[foldName(r.path)];
        if (!fs_.fileExists(path)) {
            if (former) leave(path, "gone since the run");
            return;
        }
        const std::string text = fs_.readFile(path);
        if (!texts.contains(textHash(text))) {
            if (!former || text != keptBytes(*former)) {
                leave(path, "edited since the run");
            }
            return;  // else never written
        }
        if (former) {
            restore(r.change, path);
        } else {
            fs_.removeFile(path);
            log_.addLine("    removed " + path + ", written by the run");
        }
    }

    FileSystem& fs_;
    Log& log_;
    const std::string& installation_;
    const std::string& runFolder_;
    std::multimap<std::string, Restoration> putBack_;  // by folded relative path
    std::set<uint64_t> voided_;
    std::set<uint64_t> firstWrites_;
    std::map<uint64_t, JournalRecord> kept_;
    std::map<uint64_t, FileStamp> made_;
    std::map<std::string, std::set<uint64_t>> written_;  // text hashes by folded path
};

}  // namespace

UndoResult undoJournal(FileSystem& fs, Log& log, const std::string& installation,
                       const std::string& runFolder, const JournalContents& journal,
                       const std::vector<Restoration>& earlier) {
    fs.nameExactly(runFolder);
    Undo undo(fs, log, installation, runFolder, journal, earlier);
    for (auto it = journal.records.rbegin(); it != journal.records.rend(); ++it) undo.change(*it);
    fs.syncDeferredWrites();
    return std::move(undo.result);
}

std::string encodeRestorations(const std::vector<Restoration>& restored) {
    std::string text = encodeHeader("restorations");
    for (size_t i = 0; i < restored.size(); ++i) {
        JournalRecord before = JournalRecord::of(RecordKind::Kept, i + 1, restored[i].path);
        before.stamp = restored[i].before;
        JournalRecord after = JournalRecord::of(RecordKind::Made, i + 1, restored[i].path);
        after.stamp = restored[i].after;
        text += encodeRecord(before) + encodeRecord(after);
    }
    return text;
}

std::vector<Restoration> decodeRestorations(std::string_view text, const std::string& name) {
    const auto records = decodeJournal(text, name).records;
    std::vector<Restoration> restored;
    for (size_t i = 0; i + 1 < records.size(); i += 2) {
        if (records[i].kind != RecordKind::Kept || records[i + 1].kind != RecordKind::Made) {
            throw JournalDamaged("damaged list of restorations " + name);
        }
        restored.push_back({records[i].path, records[i].stamp, records[i + 1].stamp});
    }
    return restored;
}

}  // namespace zendrik
