// The sweep that moves package files from a wrong sub-folder of an installation into the
// folder for their type.
#pragma once

#include <array>
#include <string>

#include "packagefiles/run_context.h"

namespace zendrik {

// One row of the sweep: files matching `pattern` in `searched` go to `home`. Folder names
// are relative to the installation folder and get kSeparator appended.
struct SweepMove {
    const char* searched;
    const char* pattern;
    const char* home;
};

// The 18 moves, in the order they run. ".u" and ".unr" files in "models" stay there.
inline constexpr std::array<SweepMove, 18> kSweepMoves = {{
    {"system", "*.utx", "textures"},
    {"system", "*.uax", "sounds"},
    {"system", "*.unr", "maps"},
    {"textures", "*.int", "system"},
    {"textures", "*.uax", "sounds"},
    {"textures", "*.u", "system"},
    {"textures", "*.unr", "maps"},
    {"sounds", "*.int", "system"},
    {"sounds", "*.u", "system"},
    {"sounds", "*.utx", "textures"},
    {"sounds", "*.unr", "maps"},
    {"maps", "*.utx", "textures"},
    {"maps", "*.int", "system"},
    {"maps", "*.u", "system"},
    {"maps", "*.uax", "sounds"},
    {"models", "*.int", "system"},
    {"models", "*.utx", "textures"},
    {"models", "*.uax", "sounds"},
}};

// Runs every move of the sweep for the installation folder `Ordner`, logging each moved
// file, or "  no misplaced files found" when none was.
void moveExtensionFiles(RunContext& ctx, const std::string& Ordner);

}  // namespace zendrik
