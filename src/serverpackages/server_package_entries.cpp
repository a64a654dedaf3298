#include "serverpackages/server_package_entries.h"

#include "serverpackages/ini_text.h"

namespace zendrik {

std::string AddServerPackage(RunContext& ctx, const std::string& ExtensionName,
                             const std::string& utini, const std::string& Pfad) {
    const auto position = serverPackagesInsertionPoint(utini);
    if (!position) {
        ctx.log.addLine("    ServerPackages=" + ExtensionName + " not added: no line of " + Pfad +
                        " begins with ServerPackages=");
        return utini;
    }
    std::string text = withServerPackageEntry(utini, *position, ExtensionName);
    // Rewritten once per entry; flushed to the disk once per folder by the pass.
    ctx.fs.writeFile(Pfad, text, FileSystem::Sync::Deferred);
    ctx.log.extendLastLine("  ...entry added");
    return text;
}

}  // namespace zendrik
