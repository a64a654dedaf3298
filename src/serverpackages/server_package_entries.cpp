#include "serverpackages/server_package_entries.h"

#include "serverpackages/ini_text.h"

namespace zendrik {

void logEntryNotAdded(RunContext& ctx, const std::string& ExtensionName, const std::string& Pfad) {
    const std::string key(kServerPackagesKey);
    ctx.log.addLine("    " + key + ExtensionName + " not added: no line of " +
                    ctx.fs.spelledOnDisk(Pfad) + " begins with " + key);
}

bool AddServerPackage(RunContext& ctx, const std::string& ExtensionName, ServerPackageList& utini,
                      const std::string& Pfad) {
    if (!utini.hasInsertionPoint()) return false;
    utini.add(ExtensionName);
    utini.write(ctx.fs, Pfad);
    ctx.log.extendLastLine("  ...entry added");
    return true;
}

}  // namespace zendrik
