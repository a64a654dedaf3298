#include "journal/undo_run.h"

#include <map>
#include <optional>
#include <set>

#include "filesystem/names.h"
#include "journal/journal_store.h"
#include "journal/state_files.h"

namespace zendrik {
namespace {

// Why the journal's relative path `relative` names no place inside the installation, or
// nothing when it does.
std::optional<std::string> outsideReason(const std::string& relative) {
    if (relative.empty()) return "it names no file";
    if (relative.find('\0') != std::string::npos) return "it holds a NUL byte";
#ifdef _WIN32
    constexpr std::string_view kSeparators = "\\/";
    if (relative.size() > 1 && relative[1] == ':') return "it is an absolute path";
#else
    constexpr std::string_view kSeparators = "/";
#endif
    if (kSeparators.find(relative.front()) != std::string_view::npos) {
        return "it is an absolute path";
    }
    for (size_t start = 0; start <= relative.size();) {
        size_t end = relative.find_first_of(kSeparators, start);
        if (end == std::string::npos) end = relative.size();
        const std::string_view part(relative.data() + start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return "it leads out of the installation";
        }
        start = end + 1;
    }
    return std::nullopt;
}

// The folder part of a path, with its separator; empty for a bare name.
std::string folderPart(const std::string& path) {
    const size_t cut = path.rfind(kSeparator);
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// A file that the disk does not show as the undo expects: left as it is, with this reason.
struct NotAsExpected {
    std::string why;
};

class Undo {
  public:
    Undo(FileSystem& fs, Log& log, const std::string& installation, const JournalStore& store,
         const std::string& id, const JournalContents& journal,
         const std::vector<Restoration>& earlier, UndoNotes* notes)
        : fs_(fs),
          log_(log),
          installation_(installation),
          store_(store),
          id_(id),
          exactSpelling_(!journal.started.empty()),
          notes_(notes) {
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
                case RecordKind::Write:
                    written_[foldName(r.path)].insert(r.hash);
                    break;
                default:
                    break;
            }
        }
        // The first write of a file that was made is the one to take back. A write before it
        // that was not made kept the file's former bytes, which journals of older runs did
        // not keep again.
        std::map<std::string, uint64_t> firstTried;  // by folded path
        std::set<std::string> made;
        for (const auto& r : journal.records) {
            if (r.kind != RecordKind::Write) continue;
            const std::string folded = foldName(r.path);
            const uint64_t tried = firstTried.try_emplace(folded, r.change).first->second;
            if (voided_.contains(r.change) || !made.insert(folded).second) continue;
            firstWrites_.insert(r.change);
            if (const auto former = kept_.find(tried);
                !kept_.contains(r.change) && former != kept_.end()) {
                kept_.emplace(r.change, former->second);
            }
        }
    }

    // Takes up what an undo begun before noted.
    void resume(const std::vector<JournalRecord>& begun) {
        for (const auto& r : begun) {
            switch (r.kind) {
                case RecordKind::Done:
                    done_.insert(r.change);
                    break;
                case RecordKind::Leave:
                    leftBefore_[r.change] = r;
                    break;
                case RecordKind::PutBackDone:
                    if (const JournalRecord* kept = keptOf(r.change)) {
                        restored(Restoration{r.path, kept->stamp, r.stamp});
                    }
                    break;
                default:
                    begunSteps_[r.change].push_back(r);
            }
        }
    }

    void run(const JournalContents& journal) {
        for (auto it = journal.records.rbegin(); it != journal.records.rend(); ++it) {
            const JournalRecord& r = *it;
            const bool undoable = r.kind == RecordKind::Move || r.kind == RecordKind::Copy ||
                                  r.kind == RecordKind::Remove ||
                                  (r.kind == RecordKind::Write && firstWrites_.contains(r.change));
            if (!undoable || voided_.contains(r.change) || done_.contains(r.change)) continue;
            try {
                change(r);
            } catch (const FsError& e) {
                log_.addLine("  error: " + std::string(e.what()) +
                             " (the undo stopped here; --undo again finishes it)");
                result.finished = false;
                try {
                    fs_.syncDeferredWrites();  // what was undone reaches the disk all the same
                } catch (const FsError&) {
                }
                return;
            }
        }
        fs_.syncDeferredWrites();
    }

    UndoResult result;

  private:
    void change(const JournalRecord& r) {
        if (const auto before = leftBefore_.find(r.change); before != leftBefore_.end()) {
            log_.addLine(before->second.from);
            result.left.push_back(before->second.path);
            return;
        }
        std::vector<JournalRecord> steps;
        if (const auto begun = begunSteps_.find(r.change); begun != begunSteps_.end()) {
            steps = begun->second;
        } else {
            try {
                steps = decide(r);
            } catch (const NotAsExpected& left) {
                leave(r.change, r.path, left.why);
                return;
            }
            if (steps.empty()) return;
            try {
                // Former bytes that will not do are found before anything is done.
                for (const auto& step : steps) {
                    if (step.kind == RecordKind::PutBack || step.kind == RecordKind::PutBackOver)
                        keptBytes(r.change);
                }
            } catch (const NotAsExpected& left) {
                leave(r.change, r.path, left.why);
                return;
            }
            note(steps);  // all of a change's steps or none: a stopped undo finishes them
        }
        for (const auto& step : steps) {
            try {
                perform(step);
            } catch (const NotAsExpected& left) {
                leave(r.change, step.path, left.why);
                return;
            }
        }
        note(JournalRecord::of(RecordKind::Done, r.change));
    }

    void note(const JournalRecord& record) { note(std::vector<JournalRecord>{record}); }
    void note(const std::vector<JournalRecord>& records) {
        if (notes_) notes_->note(records);
    }

    // Names the change's file as left: in the log, the result and the notes.
    void leave(uint64_t change, const std::string& relative, const std::string& why) {
        const std::string path = installation_ + relative;
        JournalRecord verdict = JournalRecord::of(RecordKind::Leave, change, path + ": " + why);
        verdict.from = "    left " + path + " as it is: " + why;
        note(verdict);
        log_.addLine(verdict.from);
        result.left.push_back(verdict.path);
    }

    // The path inside the installation that the journal's `relative` names, its folder
    // spelled exactly as the run found it. Throws NotAsExpected for a place outside.
    std::string placeOf(const std::string& relative) {
        if (const auto why = outsideReason(relative)) {
            throw NotAsExpected{"refused: the journal names " + relative + ", and " + *why};
        }
        const std::string folder = installation_ + folderPart(relative);
        if (exactSpelling_ && declared_.insert(folder).second) fs_.nameExactly(folder);
        if (!fs_.belongsTo(folder, installation_)) {
            throw NotAsExpected{"refused: its folder " + folder + " leads out of the installation"};
        }
        return installation_ + relative;
    }

    const JournalRecord* keptOf(uint64_t change) const {
        const auto it = kept_.find(change);
        return it == kept_.end() ? nullptr : &it->second;
    }

    // The former bytes that the run kept for `change`, checked against their hash.
    const std::string& keptBytes(uint64_t change) {
        if (keptChange_ != change) {
            const JournalRecord& kept = *keptOf(change);
            keptChange_.reset();
            keptBytes_ = store_.keptBytes(id_, kept.offset, kept.stamp.size);
            if (textHash(keptBytes_) != kept.hash) {
                throw NotAsExpected{"its former bytes kept for the undo do not match the journal"};
            }
            keptChange_ = change;
        }
        return keptBytes_;
    }

    void restored(Restoration restoration) {
        putBack_.emplace(foldName(restoration.path), restoration);
        result.restored.push_back(std::move(restoration));
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

    static JournalRecord step(RecordKind kind, const JournalRecord& r, FileStamp expected = {}) {
        JournalRecord s = JournalRecord::of(kind, r.change, r.path);
        s.stamp = expected;
        return s;
    }

    // The steps that take back the change `r`, from the disk as it is now; none when the
    // run never made it. Throws NotAsExpected when it is to be left as it is.
    std::vector<JournalRecord> decide(const JournalRecord& r) {
        const std::string path = placeOf(r.path);
        const JournalRecord* former = keptOf(r.change);
        switch (r.kind) {
            case RecordKind::Move:
                return decideMove(r, path, former);
            case RecordKind::Copy:
                return decideCopy(r, path, former);
            case RecordKind::Remove:
                return decideRemove(r, path, former);
            default:
                return decideWrite(r, path, former);
        }
    }

    void requireFolder(const std::string& path) {
        if (!fs_.folderExists(folderPart(path))) {
            throw NotAsExpected{"its folder " + folderPart(path) + " is gone since the run"};
        }
    }

    std::vector<JournalRecord> decideMove(const JournalRecord& r, const std::string& to,
                                          const JournalRecord* former) {
        if (!r.fromInstallation) {
            throw NotAsExpected{"refused: the journal names " + r.from +
                                " as its source, a place outside the installation"};
        }
        const std::string from = placeOf(r.from);
        const auto there = fs_.stampOf(from);
        if (there && same(from, *there, r.stamp)) return {};  // the run never got to move it
        const auto now = fs_.stampOf(to);
        if (!now) throw NotAsExpected{"gone since the run"};
        if (!same(to, *now, r.stamp)) throw NotAsExpected{"changed since the run"};
        if (fs_.fileExists(from) || fs_.folderExists(from)) {
            throw NotAsExpected{from + " is taken since the run"};
        }
        requireFolder(from);
        JournalRecord back = step(RecordKind::MoveBack, r, *now);
        back.from = r.from;
        if (!former) return {back};
        return {back, step(RecordKind::PutBack, r)};
    }

    std::vector<JournalRecord> decideCopy(const JournalRecord& r, const std::string& to,
                                          const JournalRecord* former) {
        const auto now = fs_.stampOf(to);
        const auto made = made_.find(r.change);
        if (made == made_.end()) {
            // Killed between the copy and its record: the copy is there, or the run never
            // made it.
            if (!now || (former && now->sameContents(former->stamp))) return {};
            if (!now->sameContents(r.stamp)) throw NotAsExpected{"changed since the run"};
        } else if (!now) {
            throw NotAsExpected{"gone since the run"};
        } else if (!same(to, *now, made->second)) {
            throw NotAsExpected{"changed since the run"};
        }
        return {step(former ? RecordKind::PutBackOver : RecordKind::RemoveCopy, r, *now)};
    }

    std::vector<JournalRecord> decideRemove(const JournalRecord& r, const std::string& path,
                                            const JournalRecord* former) {
        if (!former) return {};  // nothing was kept, so nothing was deleted
        const auto now = fs_.stampOf(path);
        if (now) {
            if (!now->sameContents(former->stamp)) throw NotAsExpected{"changed since the run"};
            return {};  // never deleted, or put back already
        }
        if (fs_.folderExists(path)) throw NotAsExpected{"a folder is in its place"};
        requireFolder(path);
        return {step(RecordKind::PutBack, r)};
    }

    // The text of `path` as it is now: the last the run wrote, or its former text.
    std::vector<JournalRecord> decideWrite(const JournalRecord& r, const std::string& path,
                                           const JournalRecord* former) {
        const auto& texts = written_[foldName(r.path)];
        const auto now = fs_.stampOf(path);
        if (!now) {
            if (former) throw NotAsExpected{"gone since the run"};
            return {};
        }
        const std::string text = fs_.readFile(path);
        if (!texts.contains(textHash(text))) {
            if (!former || text != keptBytes(r.change)) throw NotAsExpected{"edited since the run"};
            return {};  // never written
        }
        return {step(former ? RecordKind::PutBackOver : RecordKind::RemoveWritten, r, *now)};
    }

    // Makes one step, where the disk is as the step expects; a step found made already (by
    // an undo that stopped after it) is passed. Throws NotAsExpected, or FsError.
    void perform(const JournalRecord& s) {
        const std::string path = placeOf(s.path);
        const auto now = fs_.stampOf(path);
        const bool expected = now && *now == s.stamp;
        switch (s.kind) {
            case RecordKind::MoveBack: {
                const std::string from = placeOf(s.from);
                if (expected && !fs_.fileExists(from)) {
                    fs_.moveFile(path, from);
                    log_.addLine("    moved " + path + " back to " + from);
                    return;
                }
                const auto there = fs_.stampOf(from);
                if (!expected && there && *there == s.stamp) return;  // moved back before
                throw NotAsExpected{"changed since the undo began"};
            }
            case RecordKind::RemoveCopy:
            case RecordKind::RemoveWritten:
                if (expected) {
                    fs_.removeFile(path);
                    log_.addLine("    removed " + path +
                                 (s.kind == RecordKind::RemoveCopy ? ", a copy made by the run"
                                                                   : ", written by the run"));
                    return;
                }
                if (!now) return;  // removed before
                throw NotAsExpected{"changed since the undo began"};
            case RecordKind::PutBack:
            case RecordKind::PutBackOver:
                if (s.kind == RecordKind::PutBack ? !now : expected) {
                    putBack(s.change, path);
                    return;
                }
                if (now && fs_.readFile(path) == keptBytes(s.change)) {
                    restored(Restoration{s.path, keptOf(s.change)->stamp, *now});  // before
                    return;
                }
                throw NotAsExpected{"changed since the undo began"};
            default:
                throw JournalDamaged("no step of an undo: " + encodeRecord(s));
        }
    }

    // Puts the kept former file of `change` at `path`, over what is there, with its
    // permission bits and modification time: staged in the run's folder, then copied, as a
    // copy keeps them.
    void putBack(uint64_t change, const std::string& path) {
        const JournalRecord& kept = *keptOf(change);
        const std::string staged = store_.stagingPath(id_, change);
        fs_.writeFile(staged, keptBytes(change), FileSystem::Sync::Deferred);
        fs_.setModeAndTime(staged, kept.stamp.mode, kept.stamp.modified);
        fs_.copyFile(staged, path);
        fs_.removeFile(staged);
        const std::string relative = path.substr(installation_.size());
        if (const auto now = fs_.stampOf(path)) {
            JournalRecord done = JournalRecord::of(RecordKind::PutBackDone, change, relative);
            done.stamp = *now;
            note(done);
            restored(Restoration{relative, kept.stamp, *now});
        }
        log_.addLine("    restored " + path);
    }

    FileSystem& fs_;
    Log& log_;
    const std::string& installation_;
    const JournalStore& store_;
    const std::string& id_;
    const bool exactSpelling_;  // the journal spells paths as the disk did
    UndoNotes* notes_;
    std::set<std::string> declared_;                   // folders named exactly so far
    std::multimap<std::string, Restoration> putBack_;  // by folded relative path
    std::set<uint64_t> voided_;
    std::set<uint64_t> firstWrites_;
    std::map<uint64_t, JournalRecord> kept_;
    std::map<uint64_t, FileStamp> made_;
    std::map<std::string, std::set<uint64_t>> written_;  // text hashes by folded path
    std::set<uint64_t> done_;
    std::map<uint64_t, JournalRecord> leftBefore_;
    std::map<uint64_t, std::vector<JournalRecord>> begunSteps_;
    std::optional<uint64_t> keptChange_;  // whose bytes keptBytes_ holds
    std::string keptBytes_;
};

}  // namespace

UndoResult undoJournal(FileSystem& fs, Log& log, const std::string& installation,
                       const JournalStore& store, const std::string& id,
                       const JournalContents& journal, const std::vector<Restoration>& earlier,
                       const std::vector<JournalRecord>& begun, UndoNotes* notes) {
    fs.nameExactly(store.folderOf(id));
    Undo undo(fs, log, installation, store, id, journal, earlier, notes);
    undo.resume(begun);
    undo.run(journal);
    return std::move(undo.result);
}

std::string encodeRestorations(const std::vector<Restoration>& restored) {
    std::string text = encodeHeader("restorations", {});
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
