// The journal's design: how a run records its changes of an installation, and how an undo
// takes them back. The other headers of this folder hold the contracts of their functions
// and point here for the rules below.
//
// The files of a run
// ------------------
// Per run and installation one folder in the user's state folder (journal_store.h names it),
// reached only under the trust rules of state_files.h:
//   journal   the run's records, one line each (the format is below)
//   kept      the former bytes of every file the run replaced or deleted, one after another
//   undo      the plan of an undo of the run: its steps, in the journal's line format
//   restored  the files an undo put back, once it has finished (a header "restorations",
//             then per file a Kept record of the file it stands for and a Made record of
//             itself, numbered from 1)
//   undone    the mark of a run that is undone
//
// Invariants of a run (JournalingFileSystem)
// ------------------------------------------
// 1. The run's folder and its journal, with the header, exist before the run's first change
//    of the installation, at the latest when the run locks the installation. The run holds
//    the journal's lock while it lives, so that an undo tells a run still going from a dead
//    one, and pruning never takes it.
// 2. Per change, in this order: the former bytes of a file it replaces or deletes go to
//    "kept", then the Kept record that names them (offset, size, hash, stamp), then the
//    record of the change itself, then the change. A file that a rename keeps is never
//    copied to "kept".
// 3. Each line and each block of kept bytes is written to the operating system (O_APPEND)
//    before the next step: a run killed at any moment leaves every change it made recorded,
//    and perhaps the record of a change it did not get to. A line that the system takes only
//    in part is cut off again, so that it never runs into the next one.
// 4. A change that cannot be recorded is not made: the failed append throws FsError before
//    the call reaches the layer below. Former bytes count as kept for the later writes of a
//    file only once a write recorded with them was made.
// 5. A change that then fails, or whose source and target are one file, gets a Void record
//    of its number. That record may be lost (the append is left unchecked); invariant 7 makes
//    up for it.
// 6. A copy gets a Made record with the copy's stamp once it is made.
// 7. "journal" and "kept" reach the disk (fdatasync) at each syncDeferredWrites, before the
//    layer below flushes the changes of that batch.
//
// What an undo trusts (undo_run.cpp)
// ----------------------------------
// 8. Only files and folders that state_files.h trusts, and only a journal whose header names
//    the installation being undone and whose every line reads back (a last line without its
//    line end is dropped as cut short by a kill; any other bad line refuses the whole run).
// 9. Only places inside the installation: a relative path that is absolute, empty, holds a
//    NUL, "." or "..", or whose folder leads out of the installation (belongsTo) is refused
//    and named. Paths of journals of the second format are taken exactly as the disk spelled
//    them.
// 10. The disk, not the record, tells whether a change was made: a recorded change whose
//     source is still as the record found it, or whose target does not hold what the run
//     made, was never made or is left. A file is the run's only when its stamp is the one
//     recorded, or that of the copy an undo of a later run put back for it ("restored");
//     an ini file only when its text hashes to one the run wrote. Anything else is left as
//     it is and named, and the rest is still undone. Of the writes of one file, the first
//     that was not voided is taken back, to the former bytes kept with it or, where none
//     were, with a voided write before it.
// 11. Kept bytes are put back only when they hash to the Kept record's hash.
//
// An undo that stops (undo_run.h, undo_installation.h)
// -----------------------------------------------------
// 12. The undo takes the run's changes back newest first. Before it touches anything for a
//     change, it appends all the steps of that change to "undo" in one write; after them, a
//     Done record. A verdict to leave a file (Leave) and each file put back (PutBackDone) are
//     noted too.
// 13. No step destroys the only copy of a file: a replaced file is put back by a copy from
//     "kept" renamed over what replaced it, or after that file was moved back; its bytes stay
//     in "kept" until the run is pruned.
// 14. An undo stops at its first failure. The next one reads "undo" (dropping a last line a
//     kill cut short): changes with Done are not looked at again, a Leave verdict stands, the
//     steps of a change begun are finished each only where the disk is as the step expects,
//     and the rest is undone as at first.
// 15. Only an undo that finished writes "restored", then "undone", each whole or not at all
//     (written aside, flushed, renamed, its folder flushed). A run without "undone" is one to
//     undo again.
// 16. An undo chooses the run and reads its journal under the installation's lock; while a
//     live run holds the journal's lock, it lets the installation go and waits.
//
// The line format
// ---------------
// Every line of "journal", "undo" and "restored" is fields parted by tabs, then a tab and the
// checksum: 16 lowercase hexadecimal digits of the 64-bit FNV-1a hash (textHash) of all that
// precedes that tab; then "\n". Inside a field a backslash, tab, line feed and carriage
// return are written "\\", "\t", "\n" and "\r". Numbers are decimal.
//
// The first line, the header: "zendrik journal 2", the installation (its absolute folder as
// installationKey gives it), the time the run began (UTC, "YYYY-MM-DD HH:MM:SS"). Journals of
// the first format begin "zendrik journal 1" and have no time; their paths are matched
// without regard to letter case.
//
// Every other line, a record (JournalRecord), twelve fields:
//    1 kind      one letter of RecordKind (journal_record.h says what each means)
//    2 change    the number of the change, from 1 per run; in "undo", the change a step is of
//    3 path      relative to the installation folder, as the disk spelled it; a Leave
//                record's: what the undo names as left
//    4 from      a move's or copy's source; a Leave record's log line
//    5 fromInstallation  1 when `from` is relative to the installation folder, else 0
//    6 size      of the file of the stamp; of the kept bytes; of a written text
//    7 modified  nanoseconds since 1970, UTC (a negative time as its 64-bit two's complement)
//    8 device    of the file of the stamp
//    9 file      its file number on that device
//   10 mode      its permission bits, at most 07777; 0 where the system has none
//   11 hash      textHash of the kept bytes, or of a written text
//   12 offset    where a Kept record's bytes begin in "kept"
// Fields a kind does not use are empty or 0.
#pragma once
