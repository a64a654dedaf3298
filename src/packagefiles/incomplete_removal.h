// The removal of description files whose extension has none of its package files.
#pragma once

#include <string>

#include "packagefiles/run_context.h"

namespace zendrik {

// Deletes each .int file in `Ordner`'s system folder whose kind is GameStyle, Skin, Voice or
// PlayerClass and for which none of textures/<base>.utx, sounds/<base>.uax,
// system/<base>.u and models/<base>.u exists; logs each deletion before making it, or
// "  all packages were complete" when none was made. Where any of those folders lies outside
// the installation (a link), no .int is deleted: each is kept with a line that says so.
void RemoveIncompleteExtensions(RunContext& ctx, const std::string& Ordner);

}  // namespace zendrik
