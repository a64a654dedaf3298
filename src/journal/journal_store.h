// Where the journals of runs live: one folder per run and installation, in the user's state
// folder, outside every installation. A run's folder is named by its sequence number and its
// installation,
//
//     <sequence number, 10 digits>-<installation's name>-<hash of its absolute path>
//
// and holds the files that journal_design.h lists. Runs of an installation are ordered by their
// sequence numbers, never by the clock: a new run takes the next number after the installation's
// newest, by making its folder exclusively. Only the last kRunsKept runs of an installation are
// kept; the run being made is never pruned. Every folder and file here is reached under the rules
// of state_files.h.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "journal/append_file.h"
#include "journal/journal_record.h"

namespace zendrik {

inline constexpr size_t kRunsKept = 20;
inline constexpr const char* kJournalName = "journal";
inline constexpr const char* kKeptName = "kept";
inline constexpr const char* kUndoPlanName = "undo";
inline constexpr const char* kRestoredName = "restored";
inline constexpr const char* kUndoneName = "undone";

// The clock that dates runs, for tests that set it back; the system's by default.
using JournalClock = std::function<std::chrono::system_clock::time_point()>;
void setJournalClock(JournalClock clock);

class JournalStore {
  public:
    // `root` (UTF-8) is made when a run needs it; an empty one names no folder, and a run
    // there cannot be journaled.
    explicit JournalStore(std::string root);

    // $XDG_STATE_HOME/zendrik, else $HOME/.local/state/zendrik; %LOCALAPPDATA%\Zendrik on
    // Windows. None when the environment names no such folder.
    static std::optional<std::string> userRoot();
    // What a command says when userRoot() names no folder.
    static const char* const kNoRoot;
    // The absolute path of the installation folder `folder`, links resolved: what names an
    // installation in the journals however it was spelled. Throws FsError.
    static std::string installationKey(const std::string& folder);
    // The time of the clock, as a journal's header gives it.
    static std::string now();

    // False for a store made from an empty root.
    bool named() const { return !root_.empty(); }
    const std::string& root() const { return root_; }
    // Throws StateRefused unless the store's folder may be trusted, FsError when it is not
    // there or cannot be looked at.
    void requireTrusted() const;
    // Makes the folder of a new run over the installation `key` and removes the oldest runs
    // of that installation beyond kRunsKept. Returns the run's id. Throws FsError or
    // StateRefused.
    std::string newRun(const std::string& key);
    // The ids of the kept runs of the installation `key`, oldest first.
    std::vector<std::string> runsOf(const std::string& key) const;
    // True when `id` is a run id and a run of that id is kept.
    bool has(const std::string& id) const;
    // True when `id` is a run of the installation `key` by its name.
    static bool namesRunOf(const std::string& id, const std::string& key);
    // The run's folder, ending in the separator.
    std::string folderOf(const std::string& id) const;
    // Throws StateRefused when the mark is there but may not be trusted.
    bool undone(const std::string& id) const;
    // Notes that the run was undone: the files `restorations` puts back first, then the mark,
    // each whole or not at all. Throws FsError; then the run is not marked undone.
    void markUndone(const std::string& id, const std::string& restorations);

    // The files of a run's folder, each reached only here. What makes or reads one throws
    // FsError, or StateRefused for one that may not be trusted.

    // Makes the run's file of kept bytes, then its journal with the header of the
    // installation `key`; the journal holds its lock while it lives.
    std::unique_ptr<AppendFile> createKept(const std::string& id) const;
    std::unique_ptr<AppendFile> createJournal(const std::string& id, const std::string& key) const;
    // True while a live run writes the run's journal.
    bool going(const std::string& id) const;
    // Throws JournalDamaged when the journal does not read back.
    JournalContents readJournal(const std::string& id) const;
    // Refuses a file of kept bytes that may not be trusted; none at all is no refusal.
    void requireKeptTrusted(const std::string& id) const;
    // `size` bytes at `offset` of the run's kept bytes; FsError when there are fewer.
    std::string keptBytes(const std::string& id, uint64_t offset, uint64_t size) const;
    // Where an undo stages the former file of `change` before its file layer copies it into
    // place.
    std::string stagingPath(const std::string& id, uint64_t change) const;
    // The text of the plan of an undo of the run; none when no undo began.
    std::optional<std::string> undoPlan(const std::string& id) const;
    // Replaces the plan by `text`, whole or not at all.
    void rewriteUndoPlan(const std::string& id, const std::string& text);
    // The plan for appending: made with the header of the installation `key`, or continued
    // when an undo began it.
    std::unique_ptr<AppendFile> openUndoPlan(const std::string& id, const std::string& key,
                                             bool begun) const;
    // The text of the list of files an undo of the run put back; none before it finished.
    std::optional<std::string> restorations(const std::string& id) const;

  private:
    std::string root_;  // ending in the separator; empty when none is named
};

}  // namespace zendrik
