#include "serverpackages/complete_server_packages.h"

#include "filesystem/names.h"
#include "packagefiles/extension_classifier.h"
#include "packagefiles/file_primitives.h"
#include "serverpackages/server_package_entries.h"

namespace zendrik {
namespace {

bool needsEntry(const std::string& kind) {
    return kind == kVoice || kind == kPlayerClass || kind == kSkin;
}

// The entries found missing, in listing order, and their lines once the ini is written: a
// failed write leaves the first line without its mark and the others unlogged.
void report(RunContext& ctx, ServerPackageEntries& entries,
            const std::vector<ServerPackageEntries::Entry>& due, const std::string& label) {
    const auto line = [&](const ServerPackageEntries::Entry& entry) {
        return "    Package " + entry.name + " not installed as ServerPackage in " + label + "...";
    };
    try {
        entries.write();
    } catch (...) {
        if (!due.empty()) ctx.log.addLine(line(due.front()));
        throw;
    }
    for (const auto& entry : due) {
        ctx.log.addLine(line(entry) + entries.marks(entry));
        entries.logNotAdded(entry);
    }
    entries.logWriteProtected();
}

void complete(RunContext& ctx, const std::string& Ordner, GameIni& ini) {
    ctx.Merker = true;
    ctx.log.addLine("");
    ctx.log.addLine("  Scanning for extensions without ServerPackage entry in " + ini.label);
    const std::string system = Ordner + subFolder("system");
    ServerPackageEntries entries(ctx, std::span<GameIni>(&ini, 1));
    std::vector<ServerPackageEntries::Entry> due;
    try {
        const size_t count = GibDateien(ctx, system + "*.int");
        for (size_t i = 0; i < count; ++i) {
            const std::string name = ctx.Dateiliste[i];
            if (isStockIntName(name)) continue;
            const std::string kind = whatIsThisExtension(ctx, system + name);
            const std::string base = name.substr(0, name.size() - 4);
            if (!ini.entries.SearchUTiniForServerPackage(base) && needsEntry(kind)) {
                due.push_back(entries.add(base));
                ctx.Merker = false;
            }
        }
    } catch (...) {
        report(ctx, entries, due, ini.label);
        throw;
    }
    report(ctx, entries, due, ini.label);
    if (ctx.Merker) ctx.log.addLine("  all extensions are already in " + ini.label);
}

}  // namespace

void CompleteUTini(RunContext& ctx, const std::string& Ordner, ServerPackageList& utini) {
    withUTiniAlone(Ordner, utini,
                   [&](std::vector<GameIni>& inis) { complete(ctx, Ordner, inis.front()); });
}

void CompleteGameInis(RunContext& ctx, const std::string& Ordner, std::vector<GameIni>& inis) {
    for (auto& ini : inis) complete(ctx, Ordner, ini);
}

}  // namespace zendrik
