// Sharing extensions between the installations of a run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "packagefiles/run_context.h"
#include "serverpackages/game_inis.h"
#include "serverpackages/server_package_list.h"

namespace zendrik {

// Copies into the installation at position `AktuellerOrdner` of ctx.OrdnerListe every
// extension that another installation of the work list has and it lacks: the package files
// its kind calls for, a server package entry for voices, player classes and skins (added to
// the ini file and to `utini`), and last its description file. Logs each installation
// scanned and each extension found, with the copies made on the extension's line. The ini
// file is written once, at the end or before a failure is passed on.
void ExchangeExtensions(RunContext& ctx, size_t AktuellerOrdner, ServerPackageList& utini);

// The same for each ini the receiving installation's game reads: each gets the entries; the
// first one's mark on an extension's line is "  ...entry added", another's names it
// ("  ...entry added to System64/UnrealTournament.ini").
void ExchangeExtensions(RunContext& ctx, size_t AktuellerOrdner, std::vector<GameIni>& inis);

}  // namespace zendrik
