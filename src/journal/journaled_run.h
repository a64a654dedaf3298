// A run's file layer that journals what the run changes, for undo.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "filesystem/file_system.h"
#include "journal/journal_store.h"
#include "journal/journaling_file_system.h"

namespace zendrik {

// The file layer of a run over `folders` that journals what the run changes, in the user's
// state folder.
class JournaledRun {
  public:
    JournaledRun(FileSystem& fs, std::vector<std::string> folders);
    FileSystem& fs() { return journaling_; }
    // The run's id in each installation it journaled, by installation folder: what an undo
    // of just this run names (undoInstallation's `wanted`).
    std::map<std::string, std::string> runIds() const { return journaling_.runIds(); }

  private:
    JournalStore store_;
    JournalingFileSystem journaling_;
};

}  // namespace zendrik
