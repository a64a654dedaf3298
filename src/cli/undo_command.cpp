#include "cli/undo_command.h"

#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <thread>

#include "cli/cli.h"
#include "filesystem/names.h"
#include "journal/append_file.h"
#include "journal/journal_record.h"
#include "journal/journal_store.h"
#include "journal/state_files.h"
#include "journal/undo_run.h"
#include "log/log.h"
#include "packagefiles/run_context.h"
#include "repair/folder_checks.h"

namespace zendrik {
namespace {

// Prints each line as it is added: the undo adds whole lines only.
class PrintEachLine final : public LogObserver {
  public:
    explicit PrintEachLine(std::ostream& out) : out_(out) {}
    void lineAdded(const std::string& line) override { out_ << line << '\n' << std::flush; }
    void lastLineChanged(const std::string&) override {}
    void cleared() override {}

  private:
    std::ostream& out_;
};

JournalStore userStore() {
    return JournalStore(JournalStore::userRoot().value_or(""));
}

// The text of the run's journal, or throws JournalDamaged when it cannot be read, and
// StateRefused when it may not be trusted.
JournalContents readJournal(const JournalStore& store, const std::string& id) {
    requireTrustedFolder(store.folderOf(id));
    const std::string path = store.folderOf(id) + kJournalName;
    return decodeJournal(readTrustedFile(path), path);
}

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

    void note(const JournalRecord& record) override {
        if (!file_ && begun_) {
            file_ = std::make_unique<AppendFile>(path_, openTrustedToAppend(path_));
        } else if (!file_) {
            file_ = std::make_unique<AppendFile>(path_);
            file_->append(encodeHeader(installation_, JournalStore::now()));
        }
        file_->append(encodeRecord(record));
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

// Undoes the run `wanted` on `folder`, or its last run not undone; returns whether all of it
// was undone. The run is chosen, and its journal read, under the installation's lock: an undo
// or a run started meanwhile waits, then finds the state as this one left it.
bool undoOne(FileSystem& fs, Log& log, JournalStore& store, const std::string& folder,
             const std::optional<std::string>& wanted, bool preview, std::ostream& err) {
    log.addLine("Processing : " + folder + "...");
    bool whole = false;
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
            err << "zendrik-cli: " << folder << ": no run to undo\n";
        } else if (store.undone(*id)) {
            log.addLine("  the run " + *id + " is undone already");
            whole = true;
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
            for (const auto& left : result.left) err << "zendrik-cli: left " << left << "\n";
            if (!result.finished) {
                err << "zendrik-cli: " << folder
                    << ": the undo stopped short; --undo again finishes it\n";
            }
            whole = result.finished && result.left.empty();
        }
    } catch (const std::logic_error&) {
        throw;
    } catch (const std::exception& e) {
        log.addLine("  error: " + std::string(e.what()) + " (nothing more of this run was undone)");
        err << "zendrik-cli: " << folder << ": " << e.what() << "\n";
    }
    for (int k = 0; k < 3; ++k) log.addLine("");
    return whole;
}

}  // namespace

bool parseUndoOption(const std::vector<std::string>& arguments, size_t& i, UndoRequest& request,
                     std::optional<std::string>& error) {
    const std::string& a = arguments[i];
    UndoRequest::Kind kind;
    if (a == "--undo") {
        kind = UndoRequest::Kind::Last;
    } else if (a == "--list-runs") {
        kind = UndoRequest::Kind::List;
    } else if (a == "--undo-run" || a.starts_with("--undo-run=")) {
        kind = UndoRequest::Kind::Run;
        if (a != "--undo-run") {
            request.runId = a.substr(11);
        } else if (i + 1 < arguments.size()) {
            request.runId = arguments[++i];
        }
        if (request.runId.empty() && !error) error = "--undo-run needs a run id";
    } else {
        return false;
    }
    if (request.kind != UndoRequest::Kind::None && !error) {
        error = "--undo, --undo-run and --list-runs go alone";
    }
    request.kind = kind;
    return true;
}

int runUndoCommand(const UndoRequest& request, FileSystem& fs,
                   const std::vector<std::string>& folders, std::ostream& out, std::ostream& err,
                   bool preview) {
    JournalStore store = userStore();
    if (!store.named()) {
        err << "zendrik-cli: " << JournalStore::kNoRoot << "; nothing was looked at\n";
        return kExitFolderFailed;
    }
    if (request.kind == UndoRequest::Kind::List) {
        try {
            if (stateEntryExists(store.root())) store.requireTrusted();
            for (const auto& folder : folders) {
                const auto runs = store.runsOf(JournalStore::installationKey(folder));
                out << "Runs of " << folder << " (newest first):\n";
                for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
                    out << "  " << *it << (store.undone(*it) ? "  (undone)" : "") << "\n";
                }
                if (runs.empty()) out << "  none\n";
            }
        } catch (const std::exception& e) {
            err << "zendrik-cli: " << e.what() << "\n";
            return kExitFolderFailed;
        }
        return kExitSuccess;
    }
    Log log;
    log.keepAllLines(false);
    PrintEachLine printer(out);
    log.addObserver(&printer);
    bool whole = true;
    if (request.kind == UndoRequest::Kind::Run) {
        if (!store.has(request.runId)) {
            err << "zendrik-cli: no run " << request.runId << " in " << store.root() << "\n";
            return kExitUsage;
        }
        // The installation the journal names, for the lock; read again under it.
        std::string folder;
        try {
            store.requireTrusted();
            folder = readJournal(store, request.runId).installation;
            if (!JournalStore::namesRunOf(request.runId, folder)) {
                throw JournalDamaged("the run " + request.runId + " is not named for " + folder +
                                     ", the installation its journal names");
            }
        } catch (const std::exception& e) {
            err << "zendrik-cli: " << e.what() << "; nothing was undone\n";
            return kExitFolderFailed;
        }
        if (folder.back() != kSeparator) folder += kSeparator;
        fs.nameExactly(folder);
        whole = undoOne(fs, log, store, folder, request.runId, preview, err);
    } else {
        for (const auto& folder : folders) {
            whole &= undoOne(fs, log, store, folder, std::nullopt, preview, err);
        }
    }
    log.removeObserver(&printer);
    return whole ? kExitSuccess : kExitFolderFailed;
}

}  // namespace zendrik
