// One line of a run's journal: what a change of an installation was, written before the
// change is made. Paths are relative to the installation folder, so that an undo finds them
// however the folder is spelled then. Each line carries a checksum: a damaged line is told
// apart from a line that a killed run left unfinished (the last one, without its line end).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "filesystem/file_stamp.h"

namespace zendrik {

enum class RecordKind : char {
    Kept = 'K',    // the former file at `path`, of stamp `stamp`, is kept at `offset` of the
                   // run's file "kept", `stamp.size` bytes long
    Move = 'M',    // `from` was moved to `path`; `stamp` is the moved file's
    Copy = 'C',    // `from` (any path) was copied to `path`; `stamp` is the source's
    Made = 'S',    // the copy of the change was made; `stamp` is the copy's
    Remove = 'R',  // `path` was deleted (its former bytes by a Kept record of the change)
    Write = 'W',   // `path` was rewritten with a text of hash `hash` and size `stamp.size`
    Void = 'V',    // the change did nothing (refused, or source and target one file)
};

struct JournalRecord {
    RecordKind kind = RecordKind::Void;
    uint64_t change = 0;  // the number of the change, counted from 1 per run
    std::string path;
    std::string from;
    bool fromInstallation = true;  // `from` is relative to the installation folder
    FileStamp stamp;
    uint64_t hash = 0;
    uint64_t offset = 0;

    static JournalRecord of(RecordKind kind, uint64_t change, std::string path = {}) {
        JournalRecord record;
        record.kind = kind;
        record.change = change;
        record.path = std::move(path);
        return record;
    }
};

// A journal that cannot be read as one: nothing is undone from it.
class JournalDamaged : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What a journal file holds.
struct JournalContents {
    std::string installation;  // the installation's absolute folder, as the run saw it
    std::vector<JournalRecord> records;
};

// A hash of a text (64-bit FNV-1a): cheap, for ini files and checksums, not for packages.
uint64_t textHash(std::string_view text);

// The first line of a journal, with its line end.
std::string encodeHeader(const std::string& installation);
// The line of `record`, with its line end.
std::string encodeRecord(const JournalRecord& record);
// Reads a whole journal file's text. A last line without its line end was cut short by a
// killed run and is dropped; any other line that does not read back throws JournalDamaged,
// naming `name` and the line.
JournalContents decodeJournal(std::string_view text, const std::string& name);

}  // namespace zendrik
