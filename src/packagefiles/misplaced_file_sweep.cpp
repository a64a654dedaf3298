#include "packagefiles/misplaced_file_sweep.h"

#include <set>
#include <string_view>

#include "filesystem/names.h"
#include "packagefiles/file_primitives.h"

namespace zendrik {

void moveExtensionFiles(RunContext& ctx, const std::string& Ordner) {
    ctx.log.addLine("  Scanning for misplaced extension files...");
    ctx.Merker = false;
    // A folder that a link puts outside the installation may be another installation's: its
    // files are not taken away from it. Moving into such a folder (shared textures) is fine.
    std::set<std::string_view> outside;
    for (const SweepMove& move : kSweepMoves) {
        const std::string searched = Ordner + subFolder(move.searched);
        if (outside.contains(move.searched)) continue;
        if (!ctx.fs.belongsTo(searched, Ordner)) {
            outside.insert(move.searched);
            ctx.log.addLine("    " + searched + " lies outside " + Ordner +
                            " (a link): its files are left where they are");
            continue;
        }
        moveExtReal(ctx, searched, Ordner + subFolder(move.home), move.pattern);
    }
    if (!ctx.Merker) ctx.log.addLine("  no misplaced files found");
}

}  // namespace zendrik
