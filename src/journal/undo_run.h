// Takes back one run's changes of one installation, from its journal, newest first: moves
// back, removes the copies it made, restores the files it replaced or deleted and the ini
// files' former text. What changed since the run made it (another stamp, an ini whose text
// is none the run wrote, a place taken since) is left as it is and named; the rest is still
// undone. A change the journal records but the run never made is nothing to undo.
//
// What an undo trusts
// -------------------
// Only paths inside the installation: a journal line whose path is absolute, holds "..", or
// leads through a folder that is a link out of the installation is refused and named, and the
// rest is still undone. A file goes back into the very folder the run used: the journal spells
// paths as the disk did, and those spellings are taken exactly, never matched without regard
// to case. Kept former bytes are put back only when they match the hash the run recorded.
//
// An undo that stops
// ------------------
// Before it changes anything for a change of the run, the undo notes in its own log (UndoLog)
// what it is about to do, step by step, and after it that it did it; a verdict to leave a
// file is noted too. An undo that was killed or failed is finished by the next one, from those
// notes: the steps of a change begun are finished, each only where the disk is as the step
// expects, changes done are not looked at again, and the rest is undone as at first. No step
// destroys the only copy of a file: a file that the run replaced is put back in one rename
// over what replaced it, or, where the replacing file is to be moved back, after that move;
// its bytes stay in the run's kept file until the run is pruned. An undo stops at its first
// failure, so that no later verdict rests on a change half taken back.
#pragma once

#include <string>
#include <vector>

#include "filesystem/file_system.h"
#include "journal/journal_record.h"
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

// Undoes `journal` on the installation folder `installation` (ending in kSeparator), whose
// run folder is `runFolder` (ending in kSeparator, holding the kept bytes). `earlier` are
// the files that undos of later runs put back: such a file counts as the one it stands for.
// `begun` are the notes of an undo of this run that stopped, none at first; `notes` takes
// the new ones (none for a preview). Writes one log line per file undone, left or refused,
// indented as a run's lines are. Throws FsError when a note cannot be taken: nothing more
// was changed.
UndoResult undoJournal(FileSystem& fs, Log& log, const std::string& installation,
                       const std::string& runFolder, const JournalContents& journal,
                       const std::vector<Restoration>& earlier,
                       const std::vector<JournalRecord>& begun, UndoNotes* notes);

// The text of a list of restorations, and back; decodeRestorations throws JournalDamaged.
std::string encodeRestorations(const std::vector<Restoration>& restored);
std::vector<Restoration> decodeRestorations(std::string_view text, const std::string& name);

}  // namespace zendrik
