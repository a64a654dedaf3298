// What the steps of a run share: the disk, the log, the work list, the name list that the
// last listing filled and the flag with which a step decides its closing log line.
#pragma once

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "filesystem/file_system.h"
#include "log/log.h"

namespace zendrik {

struct RunContext {
    RunContext(FileSystem& fileSystem, Log& runLog) : fs(fileSystem), log(runLog) {}

    FileSystem& fs;
    Log& log;
    // The installation folders of the run, each ending in kSeparator, in work-list order.
    std::vector<std::string> OrdnerListe;
    // The file names found by the last GibDateien, in listing order.
    std::vector<std::string> Dateiliste;
    // The flag with which a step decides its closing log line. Its meaning is the step's:
    // - the sweep and the removal clear it and set it for each file found to move or delete,
    //   so "true" means "something was done" ("no misplaced files found" and "all packages
    //   were complete" follow only when it is still false);
    // - the completion sets it first and clears it for each entry found missing, so "true"
    //   means "nothing was due" ("all extensions are already in UT.ini" follows when true).
    bool Merker = false;
    // Files that a step left as they are because their owner protected them, one text each:
    // the run goes on, but it did not do all it was to do.
    std::vector<std::string> leftAlone;
    // Listed names with control characters, each logged once per folder's turn.
    std::set<std::string> oddNames;
    // The kind of each description file classified in this folder's turn, by its path, so
    // that each is read once per turn. Every step forms that path alike, Ordner + "system"
    // + separator + a name from the listing of that folder, so one file has one key. No step
    // writes a description file that a later step of the same turn classifies: the sweep
    // moves them before anything is classified, and the exchange classifies only the other
    // installations' files.
    std::unordered_map<std::string, std::string> kinds;
};

}  // namespace zendrik
