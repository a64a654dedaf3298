// Adding server package entries to an installation's ini text and file. One protocol for
// every step: the entry is written to the file first, and only then is its log line marked
// with "  ...entry added", so that no entry is reported added that is not on disk.
#pragma once

#include <string>

#include "packagefiles/run_context.h"
#include "serverpackages/server_package_list.h"

namespace zendrik {

// Adds "ServerPackages=<ExtensionName>" above the first entry of `utini`, writes the ini file
// `Pfad`, then marks the last log line with "  ...entry added". A failed write throws with
// the line unmarked. When no line of `utini` begins with "ServerPackages=", nothing is added
// or written and the answer is false: the caller logs logEntryNotAdded where it fits.
bool AddServerPackage(RunContext& ctx, const std::string& ExtensionName, ServerPackageList& utini,
                      const std::string& Pfad);

// The log line for an entry that has no place in the ini text of the file `Pfad`, named as
// the disk spells it.
void logEntryNotAdded(RunContext& ctx, const std::string& ExtensionName, const std::string& Pfad);

}  // namespace zendrik
