#include "serverpackages/complete_server_packages.h"

#include <algorithm>
#include <array>
#include <exception>

#include "filesystem/names.h"
#include "packagefiles/extension_classifier.h"
#include "packagefiles/file_primitives.h"
#include "serverpackages/ini_text.h"
#include "serverpackages/server_package_entries.h"

namespace zendrik {
namespace {

bool needsEntry(const std::string& kind) {
    return kind == kVoice || kind == kPlayerClass || kind == kSkin;
}

void complete(RunContext& ctx, const std::string& Ordner, ServerPackageList& utini,
              const std::string& iniPath, const std::string& label) {
    ctx.Merker = true;
    ctx.log.addLine("");
    ctx.log.addLine("  Scanning for extensions without ServerPackage entry in " + label);
    const std::string system = Ordner + subFolder("system");
    std::vector<std::string> due;  // entries found missing, in listing order, not yet logged
    // The file first, then the lines that report it: no entry is reported added before it
    // is on disk. A failed write leaves the first line without its mark.
    const auto report = [&] {
        // An ini its owner made read-only is left as it is.
        const bool locked = !utini.unwritten().empty() && ctx.fs.writeProtected(iniPath);
        std::exception_ptr failure;
        try {
            if (!locked) utini.write(ctx.fs, iniPath);
        } catch (...) {
            failure = std::current_exception();
        }
        for (const auto& base : due) {
            ctx.log.addLine("    Package " + base + " not installed as ServerPackage in " + label +
                            "...");
            if (failure) break;
            if (locked) continue;
            if (utini.hasInsertionPoint()) {
                ctx.log.extendLastLine("  ...entry added");
            } else {
                logEntryNotAdded(ctx, base, iniPath);
            }
        }
        if (locked) {
            const std::string named = ctx.fs.spelledOnDisk(iniPath);
            ctx.log.addLine("    " + named +
                            " is write-protected: left as it is, without the entries above");
            ctx.leftAlone.push_back(named + " is write-protected");
        }
        due.clear();
        if (failure) std::rethrow_exception(failure);
    };
    try {
        const size_t count = GibDateien(ctx, system + "*.int");
        for (size_t i = 0; i < count; ++i) {
            const std::string name = ctx.Dateiliste[i];
            if (isStockIntName(name)) continue;
            const std::string kind = whatIsThisExtension(ctx, system + name);
            const std::string base = name.substr(0, name.size() - 4);
            const bool listed = utini.SearchUTiniForServerPackage(base);
            if (!listed && needsEntry(kind)) {
                if (utini.hasInsertionPoint()) utini.add(base);
                due.push_back(base);
                ctx.Merker = false;
            }
        }
    } catch (...) {
        report();
        throw;
    }
    report();
    if (ctx.Merker) ctx.log.addLine("  all extensions are already in " + label);
}

}  // namespace

void CompleteUTini(RunContext& ctx, const std::string& Ordner, ServerPackageList& utini) {
    complete(ctx, Ordner, utini, iniPathToWrite(Ordner), "UT.ini");
}

void CompleteGameInis(RunContext& ctx, const std::string& Ordner, std::vector<GameIni>& inis) {
    for (auto& ini : inis) complete(ctx, Ordner, ini.entries, ini.path, ini.label);
}

}  // namespace zendrik
