// The undo half of zendrik-cli: journals each run, and takes runs back from their journals
// (--undo, --undo-run ID, --list-runs).
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "filesystem/file_system.h"
#include "journal/journaled_run.h"

namespace zendrik {

struct UndoRequest {
    enum class Kind { None, Last, Run, List };
    Kind kind = Kind::None;
    std::string runId;  // for Kind::Run
};

// Takes the undo option at `arguments[i]`, advancing `i` past its value; false when it is no
// undo option. Sets `error` for one given twice or without its value.
bool parseUndoOption(const std::vector<std::string>& arguments, size_t& i, UndoRequest& request,
                     std::optional<std::string>& error);

// Runs the request over the installation folders `folders` (each ending in kSeparator), with
// the journals of the user's state folder. Returns the exit status: 0 when every change was
// undone, 1 when any was left, failed, or a folder had no run to undo, 2 for a run id that
// names no kept run. A `preview` (over a PreviewFileSystem) prints the same log and status
// and records nothing in the journals: the run stays one to undo.
int runUndoCommand(const UndoRequest& request, FileSystem& fs,
                   const std::vector<std::string>& folders, std::ostream& out, std::ostream& err,
                   bool preview = false);

}  // namespace zendrik
