#include "journal/undo_installation.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

#include "filesystem/names.h"
#include "journal/append_file.h"
#include "journal/journal_record.h"
#include "journal/state_files.h"
#include "journal/undo_run.h"
#include "packagefiles/run_context.h"
#include "repair/folder_checks.h"

namespace zendrik {
namespace {

// The files that undos of runs after `id` on the installation `key` put back.
std::vector<Restoration> laterRestorations(const JournalStore& store, const std::string& key,
                                           const std::string& id) {
    std::vector<Restoration> all;
    const auto runs = store.runsOf(key);
    for (auto run = std::find(runs.begin(), runs.end(), id); run != runs.end(); ++run) {
        if (*run == id) continue;
        if (const auto text = store.restorations(*run)) {
            const auto restored = decodeRestorations(*text, store.folderOf(*run) + kRestoredName);
            all.insert(all.end(), restored.begin(), restored.end());
        }
    }
    return all;
}

// The notes of an undo, in the run's plan: made at the first note, or continued after the
// last whole line of an undo that stopped.
class UndoNotesFile final : public UndoNotes {
  public:
    UndoNotesFile(const JournalStore& store, std::string id, std::string installation, bool begun)
        : store_(store),
          id_(std::move(id)),
          installation_(std::move(installation)),
          begun_(begun) {}

    void note(const std::vector<JournalRecord>& records) override {
        if (!file_) file_ = store_.openUndoPlan(id_, installation_, begun_);
        std::string lines;
        for (const auto& record : records) lines += encodeRecord(record);
        file_->append(lines);
    }
    void sync() {
        if (file_) file_->sync();
    }

  private:
    const JournalStore& store_;
    std::string id_;
    std::string installation_;
    bool begun_;
    std::unique_ptr<AppendFile> file_;
};

// The notes of an undo of the run `id` that stopped; none when none began. A last line that
// a kill cut short is dropped from the plan, so that notes go on after it.
std::vector<JournalRecord> begunUndo(JournalStore& store, const std::string& id, bool preview) {
    auto text = store.undoPlan(id);
    if (!text) return {};
    auto notes = decodeJournal(*text, store.folderOf(id) + kUndoPlanName).records;
    if (!text->empty() && text->back() != '\n' && !preview) {
        text->resize(text->rfind('\n') + 1);
        store.rewriteUndoPlan(id, *text);
    }
    return notes;
}

// The last run of the installation `key` that is not undone, or none.
std::optional<std::string> lastRun(const JournalStore& store, const std::string& key) {
    const auto runs = store.runsOf(key);
    for (auto last = runs.rbegin(); last != runs.rend(); ++last) {
        if (store.has(*last) && !store.undone(*last)) return *last;
    }
    return std::nullopt;
}

// How long an undo waits for a run or another undo of the installation to end.
constexpr std::chrono::milliseconds kWait(10000);

}  // namespace

JournalContents readJournal(const JournalStore& store, const std::string& id) {
    return store.readJournal(id);
}

std::vector<KeptRun> keptRuns(const JournalStore& store, const std::string& folder) {
    if (stateEntryExists(store.root())) store.requireTrusted();
    const auto runs = store.runsOf(JournalStore::installationKey(folder));
    std::vector<KeptRun> kept;
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) kept.push_back({*it, store.undone(*it)});
    return kept;
}

std::string installationOfRun(const JournalStore& store, const std::string& id) {
    store.requireTrusted();
    std::string folder = store.readJournal(id).installation;
    if (!JournalStore::namesRunOf(id, folder)) {
        throw JournalDamaged("the run " + id + " is not named for " + folder +
                             ", the installation its journal names");
    }
    if (folder.back() != kSeparator) folder += kSeparator;
    return folder;
}

UndoReport undoInstallation(FileSystem& fs, Log& log, JournalStore& store,
                            const std::string& folder, const std::optional<std::string>& wanted,
                            bool preview) {
    log.addLine("Processing : " + folder + "...");
    UndoReport report;
    auto& err = report.errors;
    try {
        store.requireTrusted();
        const std::string key = JournalStore::installationKey(folder);
        fs.forgetCache();
        std::unique_ptr<InstallationLock> lock;
        std::optional<std::string> id;
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        for (;;) {
            lock = fs.lockInstallation(folder, kWait);
            id = wanted ? wanted : lastRun(store, key);
            if (!id || !store.going(*id)) break;
            // A run still going: it may need this installation again, so the lock is let go
            // while the undo waits for the run to end.
            lock.reset();
            if (std::chrono::steady_clock::now() >= deadline) {
                throw std::runtime_error("the run " + *id +
                                         " is still going; undo it when it has ended");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!id) {
            log.addLine("  no run to undo");
            err.push_back(folder + ": no run to undo");
        } else if (store.undone(*id)) {
            log.addLine("  the run " + *id + " is undone already");
            report.whole = true;
        } else {
            const JournalContents journal = store.readJournal(*id);
            if (journal.installation != key) {
                throw JournalDamaged("the journal of the run " + *id + " is of the installation " +
                                     journal.installation + ", not of " + key);
            }
            store.requireKeptTrusted(*id);  // refused before anything is done
            const auto begun = begunUndo(store, *id, preview);
            log.addLine(
                (begun.empty() ? "  undoing the run " : "  finishing the undo of the run ") + *id);
            const auto earlier = laterRestorations(store, key, *id);
            RunContext ctx(fs, log);
            removeLeftoverTemporaryFiles(ctx, folder);
            UndoNotesFile notes(store, *id, key, !begun.empty());
            const UndoResult result = undoJournal(fs, log, folder, store, *id, journal, earlier,
                                                  begun, preview ? nullptr : &notes);
            if (!preview) {
                notes.sync();
                if (result.finished) store.markUndone(*id, encodeRestorations(result.restored));
            }
            for (const auto& left : result.left) err.push_back("left " + left);
            if (!result.finished) {
                err.push_back(folder + ": the undo stopped short; --undo again finishes it");
            }
            report.whole = result.finished && result.left.empty();
        }
    } catch (const std::logic_error&) {
        throw;
    } catch (const std::exception& e) {
        log.addLine("  error: " + std::string(e.what()) + " (nothing more of this run was undone)");
        err.push_back(folder + ": " + e.what());
    }
    for (int k = 0; k < 3; ++k) log.addLine("");
    return report;
}

}  // namespace zendrik
