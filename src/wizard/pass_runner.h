// Runs one pass at a time on a worker thread, with a log of its own, through a journal of
// the run, so that zendrik-cli --undo takes it back. What the worker writes (log changes and
// the status text) waits in a relay until the interface's thread takes it with poll(), on
// the view's own timer. A stop request makes the worker end after the file operation it has
// under way: nothing is torn, the rest of the pass is not done.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "log/log.h"
#include "wizard/pass_relay.h"

namespace zendrik {

class FileSystem;
class JournaledRun;
class RepairRun;

class PassRunner {
  public:
    // `fs` must outlive the runner. `ended` is called on the worker thread once each pass
    // has returned (see WizardHost::postPassEnded).
    PassRunner(FileSystem& fs, std::function<void()> ended);
    // Requests a stop and waits for the worker.
    ~PassRunner();
    PassRunner(const PassRunner&) = delete;
    PassRunner& operator=(const PassRunner&) = delete;

    // Starts `pass` over `workList` on the worker thread, through a journal of the run; with
    // `preview` (a layer over the runner's, which must outlive the pass) over that instead,
    // journaling nothing. The file layer is the worker's until finish() has returned. A
    // failure that escapes the pass ends it with one log line "  error: <reason> (the rest of
    // this pass was skipped)". Throws std::logic_error while a pass is running.
    void start(std::vector<std::string> workList, std::function<void(RepairRun&)> pass,
               FileSystem* preview = nullptr);
    // Starts `job` on the worker thread as start() does a pass, with the runner's file layer
    // and log but no journal: for an undo, which keeps journals of its own.
    void startJob(std::function<void(FileSystem&, Log&)> job);
    // After finish(): the run id of the last pass in each installation it journaled, by
    // installation folder (JournaledRun::runIds); empty after a preview or a job.
    const std::map<std::string, std::string>& runIds() const { return runIds_; }
    // From start() until finish().
    bool running() const { return running_; }

    // Interface thread: applies what the worker wrote since the last call to `shown` and
    // `status`; returns what changed.
    struct Progress {
        bool statusChanged = false;
        bool logChanged = false;
    };
    Progress poll(Log& shown, std::string& status);
    // Interface thread, after the notice: waits for the worker to return, then polls the
    // rest. Does nothing when no pass was started since the last finish().
    Progress finish(Log& shown, std::string& status);

    // Any thread: the running pass ends after the file operation under way.
    void requestStop() { relay_.requestStop(); }
    bool stopRequested() const { return relay_.stopRequested(); }

    // The undo journal of a pass over `OrdnerListe`: the file layer the pass works through.
    std::unique_ptr<JournaledRun> CreateUNDObat(const std::vector<std::string>& OrdnerListe);

  private:
    // Runs `body` on the worker, with the handling of stops and failures that start() states.
    void launch(std::function<void()> body);

    FileSystem& fs_;
    std::function<void()> ended_;
    Log workerLog_;
    PassRelay relay_;
    std::thread worker_;
    bool running_ = false;
    // Written by the worker, read once it was joined.
    std::map<std::string, std::string> runIds_;
};

}  // namespace zendrik
