// Adding server package entries to the ini files of an installation: one protocol for every
// step that adds them, so that no entry is reported added that is not on disk. It is
// AddServerPackage (insert, write, mark at once) in three steps, so that one write serves a
// batch of entries:
//
// 1. add() puts an entry into the text of each ini that has a place for it (a line that
//    begins with "ServerPackages="); nothing is written or logged yet.
// 2. write() writes each ini that took entries since the last write(), once. An ini whose
//    owner made it write-protected is not written: it is left as it is for the rest of the
//    step, and ctx.leftAlone names it.
// 3. Only after write() has returned does the step log its entries' lines: each with its
//    marks(), then logNotAdded() for the inis that had no place for it; then, after the
//    lines, logWriteProtected() for the inis that write() left as they are.
//
// On failure write() throws the first failed write and every entry not on disk keeps no
// mark: marks() gives only the marks of entries that a write() put on disk. Which unmarked
// lines the step still logs before it passes the failure on is its own choice.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "packagefiles/run_context.h"
#include "serverpackages/game_inis.h"

namespace zendrik {

class ServerPackageEntries {
  public:
    // Where an added entry went in one ini.
    enum class Place { Added, NoPlace };
    // An entry that add() made: its name, and one place for each ini, in their order. A
    // default one stands for an extension that takes no entry: no marks, no lines.
    struct Entry {
        std::string name;
        size_t number = 0;  // counts the entries of this step, from 0
        std::vector<Place> places;
    };
    // Whether write() first flushes the files copied so far (FileSystem::syncDeferredWrites),
    // for a step that copies the packages its entries name: no ini names a package that is
    // not on disk.
    enum class Flush { No, CopiesFirst };

    // The inis of one installation, which must outlive this object.
    ServerPackageEntries(RunContext& ctx, std::span<GameIni> inis, Flush flush = Flush::No);

    Entry add(const std::string& name);
    void write();
    // "  ...entry added" for the first ini, "  ...entry added to <label>" for each other one,
    // for each ini the entry is on disk in; empty for the rest.
    std::string marks(const Entry& entry) const;
    // Logs "    ServerPackages=<name> not added: no line of <ini> begins with
    // ServerPackages=" for each ini that had no place for the entry.
    void logNotAdded(const Entry& entry);
    // Logs "    <ini> is write-protected: left as it is, without the entries above" for each
    // ini that the last write() found write-protected.
    void logWriteProtected();

  private:
    RunContext& ctx_;
    std::span<GameIni> inis_;
    Flush flush_;
    size_t added_ = 0;                 // entries made by add()
    std::vector<size_t> writtenUpTo_;  // for each ini, how many of them its file holds
    std::vector<size_t> lockedNow_;    // the inis the last write() found write-protected
};

}  // namespace zendrik
