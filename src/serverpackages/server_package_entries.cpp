#include "serverpackages/server_package_entries.h"

namespace zendrik {

void logEntryNotAdded(RunContext& ctx, const std::string& ExtensionName, const std::string& Pfad) {
    ctx.log.addLine("    ServerPackages=" + ExtensionName + " not added: no line of " + Pfad +
                    " begins with ServerPackages=");
}

void AddServerPackage(RunContext& ctx, const std::string& ExtensionName, ServerPackageList& utini,
                      const std::string& Pfad) {
    if (!utini.hasInsertionPoint()) {
        logEntryNotAdded(ctx, ExtensionName, Pfad);
        return;
    }
    utini.add(ExtensionName);
    ctx.log.extendLastLine("  ...entry added");
}

void writeServerPackages(RunContext& ctx, ServerPackageList& utini, const std::string& Pfad) {
    const auto unwritten = utini.unwritten();
    try {
        utini.flush(ctx.fs, Pfad);
    } catch (const FsError& e) {
        ctx.log.addLine("    could not write " + Pfad + " (" + e.reason() + "): the last " +
                        std::to_string(unwritten.size()) +
                        " entries marked \"...entry added\" above, from ServerPackages=" +
                        unwritten.front() + " on, are not in it");
        throw;
    }
}

}  // namespace zendrik
