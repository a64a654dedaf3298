// Completing an installation's server package list for its voices, player classes and skins.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "packagefiles/run_context.h"
#include "serverpackages/game_inis.h"
#include "serverpackages/server_package_list.h"

namespace zendrik {
// For every extension in `Ordner`'s system folder that is not a stock one, of kind Voice,
// PlayerClass or Skin, and not listed in `utini`: adds its entry to `utini` and logs it.
// The ini file is written once, before the entries' lines report them added (and before a
// failure is passed on). Logs "  all extensions are already in UT.ini" when none was due.
void CompleteUTini(RunContext& ctx, const std::string& Ordner, ServerPackageList& utini);

// The same for each ini the game reads, one after the other, each with its own lines, which
// name it by its label.
void CompleteGameInis(RunContext& ctx, const std::string& Ordner, std::vector<GameIni>& inis);

}  // namespace zendrik
