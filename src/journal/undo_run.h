// Takes back one run's changes of one installation, from its journal, newest first: moves
// back, removes the copies it made, restores the files it replaced or deleted and the ini
// files' former text. What changed since the run made it (another stamp, an ini whose text
// is none the run wrote, a place taken since) is left as it is and named; the rest is still
// undone. A change the journal records but the run never made is nothing to undo.
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

// What an undo left as it was, one text per file, and the files it put back.
struct UndoResult {
    std::vector<std::string> left;
    std::vector<Restoration> restored;
};

// Undoes `journal` on the installation folder `installation` (ending in kSeparator), whose
// run folder is `runFolder` (ending in kSeparator, holding the kept bytes). `earlier` are
// the files that undos of later runs put back: such a file counts as the one it stands for.
// Writes one log line per file undone or left, indented as a run's lines are.
UndoResult undoJournal(FileSystem& fs, Log& log, const std::string& installation,
                       const std::string& runFolder, const JournalContents& journal,
                       const std::vector<Restoration>& earlier);

// The text of a list of restorations, and back; decodeRestorations throws JournalDamaged.
std::string encodeRestorations(const std::vector<Restoration>& restored);
std::vector<Restoration> decodeRestorations(std::string_view text, const std::string& name);

}  // namespace zendrik
