// Where the journals of runs live: one folder per run and installation, in the user's state
// folder, outside every installation. A run's folder is named by its time and installation,
//
//     <YYYYMMDD-HHMMSS-microseconds>-<installation's name>-<hash of its absolute path>
//
// and holds the file "journal" and the file "kept", the former bytes of each file the run
// replaced or deleted, one after the other. An undone run holds the file "undone". Only the
// last kRunsKept runs of an installation are kept.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zendrik {

inline constexpr size_t kRunsKept = 20;
inline constexpr const char* kJournalName = "journal";
inline constexpr const char* kKeptName = "kept";

class JournalStore {
  public:
    // `root` (UTF-8) is made when a run needs it; an empty one names no folder, and a run
    // there cannot be journaled.
    explicit JournalStore(std::string root);

    // $XDG_STATE_HOME/zendrik, else $HOME/.local/state/zendrik; %LOCALAPPDATA%\Zendrik on
    // Windows. None when the environment names no such folder.
    static std::optional<std::string> userRoot();
    // The absolute path of the installation folder `folder`, links resolved: what names an
    // installation in the journals however it was spelled. Throws FsError.
    static std::string installationKey(const std::string& folder);

    const std::string& root() const { return root_; }
    // Makes the folder of a new run over the installation `key` and removes the oldest runs
    // of that installation beyond kRunsKept. Returns the run's id. Throws FsError.
    std::string newRun(const std::string& key);
    // The ids of the kept runs of the installation `key`, oldest first.
    std::vector<std::string> runsOf(const std::string& key) const;
    // True when a run of that id is kept.
    bool has(const std::string& id) const;
    // The run's folder, ending in the separator.
    std::string folderOf(const std::string& id) const;
    bool undone(const std::string& id) const;
    // Notes that the run was undone. Throws FsError.
    void markUndone(const std::string& id);

  private:
    std::string root_;  // ending in the separator
};

}  // namespace zendrik
