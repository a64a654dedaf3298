#include "wizard/pass_relay.h"

namespace zendrik {

void PassRelay::setStatus(const std::string& status) {
    if (stop_) throw PassStopped();
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.status = status;
}

void PassRelay::push(Change change) {
    if (stop_) throw PassStopped();
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.changes.push_back(std::move(change));
}

void PassRelay::lineAdded(const std::string& line) {
    push({Change::Kind::Add, line});
}

void PassRelay::lastLineChanged(const std::string& line) {
    push({Change::Kind::Extend, line});
}

void PassRelay::cleared() {
    if (stop_) throw PassStopped();
    std::lock_guard<std::mutex> lock(mutex_);
    // What was not taken yet is gone with the clearing.
    pending_.changes.clear();
    pending_.changes.push_back({Change::Kind::Clear, {}});
}

PassRelay::Batch PassRelay::take() {
    Batch batch;
    std::lock_guard<std::mutex> lock(mutex_);
    std::swap(batch, pending_);
    return batch;
}

void PassRelay::apply(const std::vector<Change>& changes, Log& log) {
    for (const Change& change : changes) {
        switch (change.kind) {
            case Change::Kind::Add:
                log.addLine(change.line);
                break;
            case Change::Kind::Extend:
                // The worker's log extends only a line that this log holds as it was.
                if (log.empty()) {
                    log.addLine(change.line);
                } else {
                    log.extendLastLine(
                        std::string_view(change.line).substr(log[log.size() - 1].size()));
                }
                break;
            case Change::Kind::Clear:
                log.clear();
                break;
        }
    }
}

}  // namespace zendrik
