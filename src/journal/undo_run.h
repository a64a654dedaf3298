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

// What an undo left as it was, one text per file.
struct UndoResult {
    std::vector<std::string> left;
};

// Undoes `journal` on the installation folder `installation` (ending in kSeparator), whose
// run folder is `runFolder` (ending in kSeparator, holding the kept files). Writes one log
// line per file undone or left, indented as a run's lines are.
UndoResult undoJournal(FileSystem& fs, Log& log, const std::string& installation,
                       const std::string& runFolder, const JournalContents& journal);

}  // namespace zendrik
