#include "cli/undo_command.h"

#include <ostream>

#include "cli/cli.h"
#include "journal/journal_store.h"
#include "journal/undo_installation.h"
#include "log/log.h"

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
            for (const auto& folder : folders) {
                const auto runs = keptRuns(store, folder);
                out << "Runs of " << folder << " (newest first):\n";
                for (const auto& run : runs) {
                    out << "  " << run.id << (run.undone ? "  (undone)" : "") << "\n";
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
    const auto undo = [&](const std::string& folder, const std::optional<std::string>& id) {
        const UndoReport report = undoInstallation(fs, log, store, folder, id, preview);
        for (const auto& error : report.errors) err << "zendrik-cli: " << error << "\n";
        return report.whole;
    };
    bool whole = true;
    if (request.kind == UndoRequest::Kind::Run) {
        if (!store.has(request.runId)) {
            err << "zendrik-cli: no run " << request.runId << " in " << store.root() << "\n";
            return kExitUsage;
        }
        // The installation the journal names, for the lock; read again under it.
        std::string folder;
        try {
            folder = installationOfRun(store, request.runId);
        } catch (const std::exception& e) {
            err << "zendrik-cli: " << e.what() << "; nothing was undone\n";
            return kExitFolderFailed;
        }
        fs.nameExactly(folder);  // as the journal spells it
        whole = undo(folder, request.runId);
    } else {
        for (const auto& folder : folders) {
            whole &= undo(folder, std::nullopt);
        }
    }
    log.removeObserver(&printer);
    return whole ? kExitSuccess : kExitFolderFailed;
}

}  // namespace zendrik
