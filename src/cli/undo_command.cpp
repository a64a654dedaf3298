#include "cli/undo_command.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/cli.h"
#include "filesystem/names.h"
#include "journal/journal_record.h"
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

constexpr const char* kRestoredName = "restored";

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string slurp(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) throw JournalDamaged("could not read " + path);
    return text.str();
}

// The text of the run's journal, or throws JournalDamaged when it cannot be read.
JournalContents readJournal(const JournalStore& store, const std::string& id) {
    const std::string path = store.folderOf(id) + kJournalName;
    return decodeJournal(slurp(path), path);
}

// The files that undos of runs after `id` on the installation `key` put back.
std::vector<Restoration> laterRestorations(const JournalStore& store, const std::string& key,
                                           const std::string& id) {
    std::vector<Restoration> all;
    std::error_code error;
    for (const auto& run : store.runsOf(key)) {
        const std::string path = store.folderOf(run) + kRestoredName;
        if (run <= id || !std::filesystem::exists(pathOf(path), error)) continue;
        const auto restored = decodeRestorations(slurp(path), path);
        all.insert(all.end(), restored.begin(), restored.end());
    }
    return all;
}

// Undoes the run `id` on `folder`; returns whether all of it was undone.
bool undoOne(FileSystem& fs, Log& log, JournalStore& store, const std::string& folder,
             const std::string& id, bool preview, std::ostream& err) {
    log.addLine("Processing : " + folder + "...");
    log.addLine("  undoing the run " + id);
    bool whole = false;
    try {
        const JournalContents journal = readJournal(store, id);
        const auto earlier = laterRestorations(store, JournalStore::installationKey(folder), id);
        fs.forgetCache();
        const auto lock = fs.lockInstallation(folder, std::chrono::milliseconds(10000));
        RunContext ctx(fs, log);
        removeLeftoverTemporaryFiles(ctx, folder);
        const UndoResult result =
            undoJournal(fs, log, folder, store.folderOf(id), journal, earlier);
        if (!preview) {
            std::ofstream restored(pathOf(store.folderOf(id) + kRestoredName), std::ios::binary);
            restored << encodeRestorations(result.restored);
            restored.close();
            store.markUndone(id);
        }
        for (const auto& left : result.left) err << "zendrik-cli: left " << left << "\n";
        whole = result.left.empty();
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
    if (request.kind == UndoRequest::Kind::List) {
        for (const auto& folder : folders) {
            const auto runs = store.runsOf(JournalStore::installationKey(folder));
            out << "Runs of " << folder << " (newest first):\n";
            for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
                out << "  " << *it << (store.undone(*it) ? "  (undone)" : "") << "\n";
            }
            if (runs.empty()) out << "  none\n";
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
        std::string folder;
        try {
            folder = readJournal(store, request.runId).installation;
        } catch (const JournalDamaged& e) {
            err << "zendrik-cli: " << e.what() << "; nothing was undone\n";
            return kExitFolderFailed;
        }
        if (folder.back() != kSeparator) folder += kSeparator;
        if (store.undone(request.runId)) {
            out << "The run " << request.runId << " of " << folder << " is undone already.\n";
            return kExitSuccess;
        }
        fs.nameExactly(folder);
        whole = undoOne(fs, log, store, folder, request.runId, preview, err);
    } else {
        for (const auto& folder : folders) {
            const auto runs = store.runsOf(JournalStore::installationKey(folder));
            auto last = runs.rbegin();
            while (last != runs.rend() && (store.undone(*last) || !store.has(*last))) ++last;
            if (last == runs.rend()) {
                log.addLine("Processing : " + folder + "...");
                log.addLine("  no run to undo");
                for (int k = 0; k < 3; ++k) log.addLine("");
                err << "zendrik-cli: " << folder << ": no run to undo\n";
                whole = false;
                continue;
            }
            whole &= undoOne(fs, log, store, folder, *last, preview, err);
        }
    }
    log.removeObserver(&printer);
    return whole ? kExitSuccess : kExitFolderFailed;
}

}  // namespace zendrik
