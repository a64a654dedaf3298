// Checks made at the start of each folder's turn, before its steps: they only log and tidy
// what an earlier run or a careless unpacking left behind.
#pragma once

#include <string>

#include "packagefiles/run_context.h"

namespace zendrik {

// Logs each group of names in the installation folder and its package folders that differ
// only in letter case, and which of them the run uses.
void reportCaseTwins(RunContext& ctx, const std::string& Ordner);

// Deletes the temporary files that an interrupted run left in the package folders, logging
// each once it is removed. Throws FsError on the first that cannot be removed.
void removeLeftoverTemporaryFiles(RunContext& ctx, const std::string& Ordner);

}  // namespace zendrik
