// A file that grows at its end only: each append reaches the operating system at once (a
// killed process loses nothing appended), and sync() puts what was appended on the disk.
// Outside any installation, so it goes straight to the system, not through a FileSystem.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zendrik {

class AppendFile {
  public:
    // Creates the file at the UTF-8 path `path`, which must not exist (nor a link there), for
    // its user alone. Throws FsError.
    explicit AppendFile(const std::string& path);
    // Takes the file open for appending as `fd`, at its end.
    AppendFile(const std::string& path, int fd) : path_(path), fd_(fd) {}
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Appends all of `data` or nothing: when the system refuses the rest of it, what reached
    // the file is cut off again, so that a line cut short never joins the next one. Throws
    // FsError then; when even the cut fails, every later append throws too.
    void append(std::string_view data);
    // Throws FsError when the flush fails. A file with nothing appended since its last
    // flush is not flushed again: a run syncs every journal at each of its sync points.
    void sync();
    // Holds the file's lock until the object is destroyed or the process ends, however it
    // ends: heldByLiveRun tells that the run writing it is alive. Throws FsError.
    void holdLock();
    // The bytes of the appends so far; past them, a failed append may have left bytes that
    // could not be cut off.
    uint64_t size() const { return size_; }

  private:
    std::string path_;
    int fd_ = -1;
    uint64_t size_ = 0;
    std::optional<uint64_t> synced_;  // the size at the last flush that succeeded
    bool cutShort_ = false;           // a failed append left bytes that could not be cut off
};

}  // namespace zendrik
