// Takes back one run's changes of one installation, from its journal, newest first: moves
// back, removes the copies it made, restores the files it replaced or deleted and the ini
// files' former text. What changed since the run made it (another stamp, an ini whose text
// is none the run wrote, a place taken since) is left as it is and named; the rest is still
// undone. A change the journal records but the run never made is nothing to undo. What an
// undo trusts, and how a stopped one is finished from its notes, are invariants 9 to 14 of
// journal_design.h.
#pragma once

#include <string>
#include <vector>

#include "filesystem/file_system.h"
#include "journal/journal_record.h"
#include "journal/journal_store.h"
#include "log/log.h"

namespace zendrik {

// A file that an undo put back: a copy, so of another identity than the file it stands for.
struct Restoration {
    std::string path;  // relative to the installation folder
    FileStamp before;  // the file the run had replaced or deleted
    FileStamp after;   // the copy put back
};

// What an undo left as it was, one text per file, and the files it put back. Not finished
// when a step failed: then the run is not undone yet, and another undo finishes it.
struct UndoResult {
    std::vector<std::string> left;
    std::vector<Restoration> restored;
    bool finished = true;
};

// Where an undo notes its steps before it makes them.
class UndoNotes {
  public:
    virtual ~UndoNotes() = default;
    // The notes reach the operating system before this returns, in one write, so that a
    // kill leaves all of them or none. Throws FsError.
    virtual void note(const std::vector<JournalRecord>& records) = 0;
};

// Undoes `journal`, of the run `id` of `store`, on the installation folder `installation`
// (ending in kSeparator). `earlier` are
// the files that undos of later runs put back: such a file counts as the one it stands for.
// `begun` are the notes of an undo of this run that stopped, none at first; `notes` takes
// the new ones (none for a preview). Writes one log line per file undone, left or refused,
// indented as a run's lines are. Throws FsError when a note cannot be taken: nothing more
// was changed.
UndoResult undoJournal(FileSystem& fs, Log& log, const std::string& installation,
                       const JournalStore& store, const std::string& id,
                       const JournalContents& journal, const std::vector<Restoration>& earlier,
                       const std::vector<JournalRecord>& begun, UndoNotes* notes);

// The text of a list of restorations, and back; decodeRestorations throws JournalDamaged.
std::string encodeRestorations(const std::vector<Restoration>& restored);
std::vector<Restoration> decodeRestorations(std::string_view text, const std::string& name);

}  // namespace zendrik
