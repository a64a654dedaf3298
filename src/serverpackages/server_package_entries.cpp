#include "serverpackages/server_package_entries.h"

namespace zendrik {

void logEntryNotAdded(RunContext& ctx, const std::string& ExtensionName, const std::string& Pfad) {
    ctx.log.addLine("    ServerPackages=" + ExtensionName + " not added: no line of " + Pfad +
                    " begins with ServerPackages=");
}

bool AddServerPackage(RunContext& ctx, const std::string& ExtensionName, ServerPackageList& utini,
                      const std::string& Pfad) {
    if (!utini.hasInsertionPoint()) return false;
    utini.add(ExtensionName);
    utini.flush(ctx.fs, Pfad);
    ctx.log.extendLastLine("  ...entry added");
    return true;
}

}  // namespace zendrik
