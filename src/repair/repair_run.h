// The two passes of a run over the work list: the repair pass and the exchange pass. Each
// folder is served completely before the next. A folder whose turn fails (its ini file
// cannot be read, or a step's file operation is refused) ends at that point with one log
// line naming the operation, the path and the system's reason; nothing done is undone and
// the pass goes on with the next folder.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "filesystem/file_system.h"
#include "log/log.h"
#include "packagefiles/run_context.h"
#include "serverpackages/game_inis.h"

namespace zendrik {

// What a pass reports besides its log.
struct PassResult {
    // One text per failed folder: the folder and what failed.
    std::vector<std::string> failures;
    bool failed() const { return !failures.empty(); }
};

class RepairRun {
  public:
    RepairRun(FileSystem& fs, Log& log) : ctx_(fs, log) {}

    // Called with the status field's new text whenever a folder's turn begins.
    void setStatusListener(std::function<void(const std::string&)> listener) {
        statusListener_ = std::move(listener);
    }
    const std::string& status() const { return status_; }
    // Further ini files that the game reads (a server's own), each below the folder of the
    // work list it belongs to: they get the entries the System ini gets.
    void setExtraInis(std::vector<std::string> paths) { extraInis_ = std::move(paths); }
    // How long a folder's turn waits for another run to let the installation go.
    void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

    // For each folder of `OrdnerListe` (each ending in kSeparator): the misplaced file sweep,
    // the removal of incomplete extensions when `removeIncompleteExtensions` is set, and the
    // completion of the server package list.
    PassResult repairPass(std::vector<std::string> OrdnerListe, bool removeIncompleteExtensions);

    // Clears the log, then lets each folder of `OrdnerListe` take the extensions it lacks
    // from the others.
    PassResult exchangePass(std::vector<std::string> OrdnerListe);

  private:
    // Reads each folder's ini files, opens its block in the status field and the log, runs
    // `steps` and closes the block, catching a failure as described above.
    PassResult eachFolder(
        std::vector<std::string> OrdnerListe,
        const std::function<void(size_t, const std::string&, std::vector<GameIni>&)>& steps);
    void setStatus(std::string text);

    RunContext ctx_;
    std::chrono::milliseconds lockWait_{10000};
    std::vector<std::string> extraInis_;
    std::string status_;
    std::function<void(const std::string&)> statusListener_;
};

}  // namespace zendrik
