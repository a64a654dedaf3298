// The log of a run: an ordered list of text lines that every step writes into. A line is
// appended at the end, or the last line is extended in place (copy and move notes, the
// "...entry added" mark); nothing else changes a line. Observers see each change as it
// happens, so a window or a terminal can show the log while a pass runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zendrik {

class LogObserver {
  public:
    virtual ~LogObserver() = default;
    // `line` was appended and is now the last line.
    virtual void lineAdded(const std::string& line) = 0;
    // The last line was extended and now reads `line`.
    virtual void lastLineChanged(const std::string& line) = 0;
    // Every line was dropped.
    virtual void cleared() = 0;
};

class Log {
  public:
    void addLine(std::string line);
    // Appends `text` to the last line; on an empty log it becomes the first line.
    void extendLastLine(std::string_view text);
    void clear();

    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const std::string& operator[](size_t position) const { return lines_[position]; }
    const std::vector<std::string>& lines() const { return lines_; }

    // Whether every line is kept (the default), or only the last one, for a caller that
    // passes lines on as they come and keeps no log of its own: memory stays flat however
    // long the run. Observers see every change either way.
    void keepAllLines(bool keep) { keepAll_ = keep; }

    // Observers are not owned and must outlive their registration.
    void addObserver(LogObserver* observer);
    void removeObserver(LogObserver* observer);

  private:
    std::vector<std::string> lines_;
    std::vector<LogObserver*> observers_;
    bool keepAll_ = true;
};

}  // namespace zendrik
