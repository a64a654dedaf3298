#include "repair/log.h"

#include <algorithm>

#include "filesystem/file_system.h"

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

std::string savedLogText(const Log& log) {
    size_t size = 0;
    for (const auto& line : log.lines()) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : log.lines()) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void saveLog(FileSystem& fs, const Log& log, const std::string& path) {
    fs.writeFile(path, savedLogText(log));
}

}  // namespace zendrik
