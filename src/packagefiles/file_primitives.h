// Listing by mask, copying with a log note, and moving with a log line: what every step
// that handles package files rests on.
#pragma once

#include <cstddef>
#include <string>

#include "packagefiles/run_context.h"

namespace zendrik {

// Lists the plain files that match `Dateipfad`, a folder path followed by a pattern
// "*.<extension>", into ctx.Dateiliste and returns how many it found. A folder that does
// not exist lists nothing.
size_t GibDateien(RunContext& ctx, const std::string& Dateipfad);

// When a file exists at `QuellPfad`, notes "  copied <QuellPfad> to <ZielPfad>    " at the
// end of the last log line, then copies it over `ZielPfad`. Does nothing otherwise. Where
// the two are one file (a shared folder), or `ZielPfad` has case twins, the note says so
// and nothing is copied; where `ZielPfad` is write-protected or a folder, the note says so,
// nothing is copied and ctx.leftAlone names it.
void copyExt(RunContext& ctx, const std::string& QuellPfad, const std::string& ZielPfad);

// Moves every file in `QuellOrdner` that matches `Maske` into `ZielOrdner`, replacing files
// of the same name there; each move sets Merker and leaves the log line
// "    found <name> in <QuellOrdner>  ...moved to <ZielOrdner>". A move that fails leaves
// its line without the "...moved to" note and throws. A file with a case twin in either
// folder, or that already is its target (a link), is left in place, and its line says why;
// so is one whose target is write-protected or a folder, which ctx.leftAlone names too.
void moveExtReal(RunContext& ctx, const std::string& QuellOrdner, const std::string& ZielOrdner,
                 const std::string& Maske);

}  // namespace zendrik
