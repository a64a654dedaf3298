#include "journal/undo_installation.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

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
        const std::string path = store.folderOf(*run) + kRestoredName;
        if (*run == id || !stateEntryExists(path)) continue;
        const auto restored = decodeRestorations(readTrustedFile(path), path);
        all.insert(all.end(), restored.begin(), restored.end());
    }
    return all;
}

// The notes of an undo, in the run's file "undo": made at the first note, or continued
// after the last whole line of an undo that stopped.
class UndoNotesFile final : public UndoNotes {
  public:
    UndoNotesFile(std::string path, std::string installation, bool begun)
        : path_(std::move(path)), installation_(std::move(installation)), begun_(begun) {}

    void note(const std::vector<JournalRecord>& records) override {
        if (!file_ && begun_) {
            file_ = std::make_unique<AppendFile>(path_, openTrustedToAppend(path_));
        } else if (!file_) {
            file_ = std::make_unique<AppendFile>(path_);
            file_->append(encodeHeader(installation_, JournalStore::now()));
        }
        std::string lines;
        for (const auto& record : records) lines += encodeRecord(record);
        file_->append(lines);
    }
    void sync() {
        if (file_) file_->sync();
    }

  private:
    std::string path_;
    std::string installation_;
    bool begun_;
    std::unique_ptr<AppendFile> file_;
};

// The notes of an undo of the run in `runFolder` that stopped; none when none began. A last
// line that a kill cut short is dropped from the file, so that notes go on after it.
std::vector<JournalRecord> begunUndo(const std::string& runFolder, bool preview) {
    const std::string path = runFolder + kUndoPlanName;
    if (!stateEntryExists(path)) return {};
    std::string text = readTrustedFile(path);
    auto notes = decodeJournal(text, path).records;
    if (!text.empty() && text.back() != '\n' && !preview) {
        text.resize(text.rfind('\n') + 1);
        writeStateFile(path, text);
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
    requireTrustedFolder(store.folderOf(id));
    const std::string path = store.folderOf(id) + kJournalName;
    return decodeJournal(readTrustedFile(path), path);
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
            if (!id || !heldByLiveRun(store.folderOf(*id) + kJournalName)) break;
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
            const std::string runFolder = store.folderOf(*id);
            const JournalContents journal = readJournal(store, *id);
            if (journal.installation != key) {
                throw JournalDamaged("the journal of the run " + *id + " is of the installation " +
                                     journal.installation + ", not of " + key);
            }
            trustedFileExists(runFolder + kKeptName);  // refused before anything is done
            const auto begun = begunUndo(runFolder, preview);
            log.addLine(
                (begun.empty() ? "  undoing the run " : "  finishing the undo of the run ") + *id);
            const auto earlier = laterRestorations(store, key, *id);
            RunContext ctx(fs, log);
            removeLeftoverTemporaryFiles(ctx, folder);
            UndoNotesFile notes(runFolder + kUndoPlanName, key, !begun.empty());
            const UndoResult result = undoJournal(fs, log, folder, runFolder, journal, earlier,
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
