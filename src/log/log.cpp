#include "log/log.h"

#include <algorithm>

namespace zendrik {

void Log::addLine(std::string line) {
    if (!keepAll_) lines_.clear();
    lines_.push_back(std::move(line));
    for (LogObserver* o : observers_) o->lineAdded(lines_.back());
}

void Log::extendLastLine(std::string_view text) {
    if (lines_.empty()) {
        addLine(std::string(text));
        return;
    }
    lines_.back() += text;
    for (LogObserver* o : observers_) o->lastLineChanged(lines_.back());
}

void Log::clear() {
    lines_.clear();
    for (LogObserver* o : observers_) o->cleared();
}

void Log::addObserver(LogObserver* observer) {
    observers_.push_back(observer);
}

void Log::removeObserver(LogObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace zendrik
