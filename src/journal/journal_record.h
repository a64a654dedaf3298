// One line of a run's journal or of an undo's plan, and its text. The line format, field by
// field, and what is written before what are in journal_design.h.
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
                   // run's file "kept", `stamp.size` bytes long, of hash `hash`
    Move = 'M',    // `from` was moved to `path`; `stamp` is the moved file's
    Copy = 'C',    // `from` (any path) was copied to `path`; `stamp` is the source's
    Made = 'S',    // the copy of the change was made; `stamp` is the copy's
    Remove = 'R',  // `path` was deleted (its former bytes by a Kept record of the change)
    Write = 'W',   // `path` was rewritten with a text of hash `hash` and size `stamp.size`
    Void = 'V',    // the change did nothing (refused, or source and target one file)

    // The steps of an undo, in the file "undo" of the run's folder: its plan, written before
    // it changes anything, so that a stopped undo is finished from it. `change` names the
    // run's change that a step takes back.
    MoveBack = 'b',       // move the file that the change moved back
    RemoveCopy = 'x',     // remove the copy that the change made
    PutBack = 'p',        // put the change's kept former file back where no file is
    PutBackOver = 'o',    // put it back over the file that the change made (a copy or a text)
    RemoveWritten = 'w',  // remove the file that the change wrote where none was
    Leave = 'l',          // leave the change's file as it is: `from` is the log line,
                          // `path` what the undo names as left
    PutBackDone = 'r',    // the former file of `change` is back at `path`, of stamp `stamp`
    Done = 'd',           // every step of `change` is made
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
    std::string started;       // when the run began (UTC, "YYYY-MM-DD HH:MM:SS"); empty in
                               // journals of the first format
    std::vector<JournalRecord> records;
};

// A hash of a text (64-bit FNV-1a): cheap, for ini files, kept bytes and checksums. A text
// given in parts is hashed by handing each part the hash of those before.
inline constexpr uint64_t kTextHashStart = 14695981039346656037ull;
uint64_t textHash(std::string_view text, uint64_t hash = kTextHashStart);

// The first line of a journal, with its line end.
std::string encodeHeader(const std::string& installation, const std::string& started);
// The line of `record`, with its line end.
std::string encodeRecord(const JournalRecord& record);
// Reads a whole journal file's text. A last line without its line end was cut short by a
// killed run and is dropped; any other line that does not read back throws JournalDamaged,
// naming `name` and the line.
JournalContents decodeJournal(std::string_view text, const std::string& name);

}  // namespace zendrik
