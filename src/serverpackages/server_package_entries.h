// Adding a server package entry to an installation's ini file.
#pragma once

#include <string>

#include "packagefiles/run_context.h"

namespace zendrik {

// Returns `utini` with "ServerPackages=<ExtensionName>" inserted above its first entry,
// after writing exactly that text to the file `Pfad` and marking the last log line with
// "  ...entry added". When no line of `utini` begins with "ServerPackages=", nothing is
// written, a log line says so, and `utini` comes back unchanged.
std::string AddServerPackage(RunContext& ctx, const std::string& ExtensionName,
                             const std::string& utini, const std::string& Pfad);

}  // namespace zendrik
