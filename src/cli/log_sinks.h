// Where zendrik-cli's log lines go as the run makes them: printed, and saved to --log.
#pragma once

#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#include "filesystem/file_system.h"
#include "log/log.h"

namespace zendrik {

// Prints each log line once it is final: when the next line starts, the log is cleared, or
// the run ends.
class FinalLines final : public LogObserver {
  public:
    explicit FinalLines(std::function<void(const std::string&)> take) : take_(std::move(take)) {}
    void lineAdded(const std::string& line) override {
        flush();
        pending_ = line;
    }
    void lastLineChanged(const std::string& line) override { pending_ = line; }
    void cleared() override { flush(); }
    void flush() {
        if (pending_) take_(*pending_);
        pending_.reset();
    }

  private:
    std::function<void(const std::string&)> take_;
    std::optional<std::string> pending_;
};

// Writes the saved log as the run goes, every final line followed by CR LF, in blocks of
// some tens of kilobytes, so that it needs little memory however long it grows. The file
// replaces FILE only at the end; a failure to write is kept for then and does not disturb
// the run.
class SavedLog {
  public:
    SavedLog(FileSystem& fs, const std::string& path)
        : writer_(fs.openForReplacing(path)), lines_([this](const std::string& line) {
              block_ += line;
              block_ += "\r\n";
              if (block_.size() >= kBlockSize) writeBlock();
          }) {}
    LogObserver& observer() { return lines_; }
    // Puts the file in place; returns the failure, or "" when the file was saved.
    std::string finish() {
        lines_.flush();
        writeBlock();
        if (failure_.empty()) {
            try {
                writer_->commit();
            } catch (const std::exception& e) {
                failure_ = e.what();
            }
        }
        return failure_;
    }

  private:
    static constexpr size_t kBlockSize = 64 * 1024;
    void writeBlock() {
        if (failure_.empty() && !block_.empty()) {
            try {
                writer_->append(block_);
            } catch (const std::exception& e) {
                failure_ = e.what();
            }
        }
        block_.clear();
    }

    std::unique_ptr<SequentialWriter> writer_;
    FinalLines lines_;
    std::string block_;
    std::string failure_;
};

// Prints final lines to `out`, pushing them on at least every tenth of a second: a terminal
// shows each line as it comes, a pipe or file gets them in blocks, not a call per line.
// Printing that fails (a closed pipe, a full disk) stops printing, never the run.
class PrintedLines {
  public:
    explicit PrintedLines(std::ostream& out)
        : out_(out), lines_([this](const std::string& line) {
              if (failed_) return;
              out_ << line << '\n';
              const auto now = std::chrono::steady_clock::now();
              if (now - flushed_ >= std::chrono::milliseconds(100)) {
                  out_.flush();
                  flushed_ = now;
              }
              noteFailure();
          }) {}
    LogObserver& observer() { return lines_; }
    // Returns the reason printing failed, or "".
    std::string finish() {
        lines_.flush();
        if (!failed_) out_.flush();
        noteFailure();
        return reason_;
    }

  private:
    void noteFailure() {
        if (failed_ || !out_.fail()) return;
        failed_ = true;
        reason_ = errno != 0 ? std::generic_category().message(errno) : "output error";
    }

    bool failed_ = false;
    std::string reason_;
    std::ostream& out_;
    FinalLines lines_;
    std::chrono::steady_clock::time_point flushed_ = std::chrono::steady_clock::now();
};

// Removes what a killed run left of saving a log at `logFile`: its temporary files, named
// for that file and for a run that is gone.
void removeLeftoverLogFiles(FileSystem& fs, const std::string& logFile);

}  // namespace zendrik
