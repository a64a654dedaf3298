// Adding server package entries to an installation's ini text.
#pragma once

#include <string>

#include "packagefiles/run_context.h"
#include "serverpackages/server_package_list.h"

namespace zendrik {

// Adds "ServerPackages=<ExtensionName>" above the first entry of `utini` and marks the last
// log line with "  ...entry added". The ini file `Pfad` gets the new text from
// writeServerPackages, which the step calls before it ends or reports a failure. When no
// line of `utini` begins with "ServerPackages=", nothing is added and a log line says so.
void AddServerPackage(RunContext& ctx, const std::string& ExtensionName, ServerPackageList& utini,
                      const std::string& Pfad);

// The log line for an entry that has no place in the ini text `Pfad`.
void logEntryNotAdded(RunContext& ctx, const std::string& ExtensionName, const std::string& Pfad);

// Writes `utini` to `Pfad` when entries were added since the last write. When the write
// fails, a log line says which entries marked as added are not in the file, and the failure
// is thrown on.
void writeServerPackages(RunContext& ctx, ServerPackageList& utini, const std::string& Pfad);

// Runs `step`; before a failure of it is passed on, the entries it added are written.
template <typename Step>
void withServerPackagesWritten(RunContext& ctx, ServerPackageList& utini, const std::string& Pfad,
                               Step step) {
    try {
        step();
    } catch (...) {
        try {
            writeServerPackages(ctx, utini, Pfad);
        } catch (...) {
            // Logged by writeServerPackages; the step's own failure is the one to report.
        }
        throw;
    }
    writeServerPackages(ctx, utini, Pfad);
}

}  // namespace zendrik
