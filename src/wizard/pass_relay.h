// Hands what a pass running on a worker thread writes (its log's changes and the status
// field's text) to the interface's thread in batches, under a lock, and carries a request
// to stop the other way. The engine's log stays on the worker, which this observes.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "log/log.h"

namespace zendrik {

// Thrown on the worker by the next log change after a stop was requested: it is no
// std::exception, so the pass's folder-by-folder handling lets it through and the pass ends
// after the file operation it had under way.
struct PassStopped {};

class PassRelay final : public LogObserver {
  public:
    struct Change {
        enum class Kind { Add, Extend, Clear } kind;
        std::string line;  // the whole line after the change; empty for Clear
    };
    struct Batch {
        std::vector<Change> changes;
        std::optional<std::string> status;  // the newest status text, when it changed
    };

    // Worker side.
    void setStatus(const std::string& status);
    void lineAdded(const std::string& line) override;
    void lastLineChanged(const std::string& line) override;
    void cleared() override;

    // Interface side: the changes since the last take, in order.
    Batch take();
    void requestStop() { stop_ = true; }
    void clearStop() { stop_ = false; }
    bool stopRequested() const { return stop_; }

    // Applies `changes` to `log`, which then reads as the worker's log did.
    static void apply(const std::vector<Change>& changes, Log& log);

  private:
    void push(Change change);

    std::mutex mutex_;
    Batch pending_;
    std::atomic<bool> stop_{false};
};

}  // namespace zendrik
