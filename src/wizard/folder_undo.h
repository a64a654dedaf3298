// "Undo last run" on the folder page: for each selected installation, its last run that is
// not undone yet, named for the player to confirm (its date and what it changed), and then
// its undo: the engine's undoInstallation, as zendrik-cli --undo makes it, journaled, under
// the installation's lock and finished from its notes when an earlier undo stopped.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "journal/journal_record.h"

namespace zendrik {

class FileSystem;
class FolderList;
class PageFlow;

// What the run of `records` changed, for the player: e.g. "moved 3 files, copied 2, deleted
// 1 and rewrote 1 ini"; "changed nothing" for none. A change that a Void record of its number
// says did nothing is not counted.
std::string changesOf(const std::vector<JournalRecord>& records);

// One selected installation as "Undo last run" offers it.
struct UndoOffer {
    std::string folder;  // the installation folder, ending in kSeparator
    // The run to take back; none when there is none or the journals could not be read.
    std::optional<std::string> run;
    // With a run: the question to answer Yes or No, naming the installation, the run's date
    // and what it changed. Without one: why there is nothing to undo, to show with OK.
    std::string text;
};

class FolderUndo {
  public:
    // `fs`, `folders` and `flow` must outlive it.
    FolderUndo(FileSystem& fs, FolderList& folders, PageFlow& flow)
        : fs_(fs), folders_(folders), flow_(flow) {}

    // One offer per selected installation (FolderList::selectedInstallations: each once), in
    // list order; none unless the folder page is shown. Reads the journals of
    // JournalStore::userRoot() as they are now; changes nothing.
    std::vector<UndoOffer> offers();
    // What to say when "Undo last run" finds no installation selected.
    static constexpr const char* kNothingSelected =
        "Select the installations whose last run is to be undone.";

    // Takes back the offer's run, the one the player confirmed, on the calling thread (an
    // undo waits at most ten seconds for the installation's lock). Returns the undo's log,
    // its lines from "Processing :" on joined by "\n", without the empty lines that close it.
    // An offer without a run, or made on another page, undoes nothing and returns "".
    std::string undo(const UndoOffer& offer);

  private:
    FileSystem& fs_;
    FolderList& folders_;
    PageFlow& flow_;
};

}  // namespace zendrik
