// Takes back runs of an installation from their journals, as zendrik-cli --undo and the
// wizard do, under invariants 8 to 16 of journal_design.h: the run is chosen, and its
// journal read, under the installation's lock, so that an undo or a run started meanwhile
// waits and then finds the state as this one left it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "filesystem/file_system.h"
#include "journal/journal_record.h"
#include "journal/journal_store.h"
#include "log/log.h"

namespace zendrik {

// What an undo of one installation reports besides its log.
struct UndoReport {
    bool whole = false;               // every change undone: nothing left, nothing failed
    std::vector<std::string> errors;  // each file left and each failure, one text each
};

// The journal of the run `id`: store.readJournal(id).
JournalContents readJournal(const JournalStore& store, const std::string& id);

// A kept run of an installation.
struct KeptRun {
    std::string id;
    bool undone = false;
};
// The kept runs of the installation `folder`, newest first. Throws StateRefused when the
// store's folder is there but may not be trusted, FsError.
std::vector<KeptRun> keptRuns(const JournalStore& store, const std::string& folder);

// The installation folder (ending in kSeparator) that the journal of the kept run `id`
// names, for an undo of just that run. Throws JournalDamaged when the run is not named for
// that installation or its journal does not read back, StateRefused or FsError.
std::string installationOfRun(const JournalStore& store, const std::string& id);

// Undoes the run `wanted` of the installation `folder` (ending in kSeparator), or its last
// run that is not undone, with the journals of `store`. Writes the undo's lines to `log`,
// from "Processing : <folder>..." to three empty lines. A `preview` (over a
// PreviewFileSystem) writes the same lines and records nothing: the run stays one to undo.
UndoReport undoInstallation(FileSystem& fs, Log& log, JournalStore& store,
                            const std::string& folder, const std::optional<std::string>& wanted,
                            bool preview);

}  // namespace zendrik
