#include "packagefiles/misplaced_file_sweep.h"

#include "filesystem/names.h"
#include "packagefiles/file_primitives.h"

namespace zendrik {

void moveExtensionFiles(RunContext& ctx, const std::string& Ordner) {
    ctx.log.addLine("  Scanning for misplaced extension files...");
    ctx.Merker = false;
    for (const SweepMove& move : kSweepMoves) {
        moveExtReal(ctx, Ordner + subFolder(move.searched), Ordner + subFolder(move.home),
                    move.pattern);
    }
    if (!ctx.Merker) ctx.log.addLine("  no misplaced files found");
}

}  // namespace zendrik
