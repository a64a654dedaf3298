#include "wizard/pass_runner.h"

#include <exception>
#include <stdexcept>

#include "filesystem/file_system.h"
#include "journal/journaled_run.h"
#include "repair/repair_run.h"

namespace zendrik {

PassRunner::PassRunner(FileSystem& fs, std::function<void()> ended)
    : fs_(fs), ended_(std::move(ended)) {
    // The page keeps every line; the worker's log only the last, which a step may extend.
    workerLog_.keepAllLines(false);
    workerLog_.addObserver(&relay_);
}

PassRunner::~PassRunner() {
    if (worker_.joinable()) {
        relay_.requestStop();
        worker_.join();
    }
    workerLog_.removeObserver(&relay_);
}

std::unique_ptr<JournaledRun> PassRunner::CreateUNDObat(
    const std::vector<std::string>& OrdnerListe) {
    return std::make_unique<JournaledRun>(fs_, OrdnerListe);
}

void PassRunner::start(std::vector<std::string> workList, std::function<void(RepairRun&)> pass,
                       FileSystem* preview) {
    launch([this, workList = std::move(workList), pass = std::move(pass), preview] {
        const auto watch = [this](RepairRun& run) {
            run.setStatusListener([this](const std::string& status) { relay_.setStatus(status); });
        };
        if (preview) {
            RepairRun run(*preview, workerLog_);
            watch(run);
            pass(run);
            return;
        }
        // Each pass is journaled, so that the page's "Undo" and zendrik-cli --undo take it
        // back; its ids are kept however the pass ends, since it may have changed something.
        const auto journal = CreateUNDObat(workList);
        struct KeepIds {
            PassRunner& runner;
            JournaledRun& journal;
            ~KeepIds() { runner.runIds_ = journal.runIds(); }
        } keep{*this, *journal};
        RepairRun run(journal->fs(), workerLog_);
        watch(run);
        pass(run);
    });
}

void PassRunner::startJob(std::function<void(FileSystem&, Log&)> job) {
    launch([this, job = std::move(job)] { job(fs_, workerLog_); });
}

void PassRunner::launch(std::function<void()> body) {
    if (running_) throw std::logic_error("a pass is running already");
    if (worker_.joinable()) worker_.join();
    runIds_.clear();
    running_ = true;
    worker_ = std::thread([this, body = std::move(body)] {
        // A failed folder is logged by the pass itself, which then goes on with the next one.
        try {
            body();
        } catch (const PassStopped&) {
            try {
                fs_.syncDeferredWrites();
            } catch (const std::exception&) {
                // The program is ending; the next run finds the files as they are.
            }
        } catch (const std::exception& e) {
            try {
                workerLog_.addLine(std::string("  error: ") + e.what() +
                                   " (the rest of this pass was skipped)");
            } catch (const PassStopped&) {
            }
        }
        if (ended_) ended_();
    });
}

PassRunner::Progress PassRunner::poll(Log& shown, std::string& status) {
    PassRelay::Batch batch = relay_.take();
    Progress progress;
    if (batch.status && *batch.status != status) {
        status = std::move(*batch.status);
        progress.statusChanged = true;
    }
    if (!batch.changes.empty()) {
        PassRelay::apply(batch.changes, shown);
        progress.logChanged = true;
    }
    return progress;
}

PassRunner::Progress PassRunner::finish(Log& shown, std::string& status) {
    if (!running_) return {};
    worker_.join();
    running_ = false;
    return poll(shown, status);
}

}  // namespace zendrik
