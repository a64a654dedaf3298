#include "exchange/extension_exchange.h"

#include "filesystem/names.h"
#include "packagefiles/extension_classifier.h"
#include "packagefiles/file_primitives.h"
#include "serverpackages/complete_server_packages.h"
#include "serverpackages/server_package_entries.h"

namespace zendrik {
namespace {

// Copies the package files of the extension `X` of kind `kind` from S into T, and adds its
// server package entry where its kind has one. False when that entry had no place in the
// ini text.
bool copyPackagesOfKind(RunContext& ctx, const std::string& S, const std::string& T,
                        const std::string& X, const std::string& kind, ServerPackageList& utini) {
    const std::string system = subFolder("system");
    const std::string sounds = subFolder("sounds");
    bool entry = true;
    if (kind == kVoice) {
        copyExt(ctx, S + system + X + ".u", T + system + X + ".u");
        copyExt(ctx, S + sounds + X + ".uax", T + sounds + X + ".uax");
    } else if (kind == kPlayerClass) {
        copyExt(ctx, S + system + X + ".u", T + system + X + ".u");
        copyExt(ctx, S + subFolder("models") + X + ".u", T + system + X + ".u");
        copyExt(ctx, S + sounds + X + "Sounds.uax", T + sounds + X + "Sounds.uax");
    } else if (kind == kSkin) {
        const std::string textures = subFolder("textures");
        copyExt(ctx, S + textures + X + ".utx", T + textures + X + ".utx");
    } else if (kind == kMutator || kind == kGameStyle) {
        copyExt(ctx, S + system + X + ".u", T + system + X + ".u");
        entry = false;
    } else {
        entry = false;
    }
    return !entry || AddServerPackage(ctx, X, utini, T + system + "UNREALTOURNAMENT.ini");
}

}  // namespace

void ExchangeExtensions(RunContext& ctx, size_t AktuellerOrdner, ServerPackageList& utini) {
    const std::string T = ctx.OrdnerListe[AktuellerOrdner];
    ctx.log.addLine("");
    ctx.log.addLine("    Scanning other folders for extensions not in " + T);
    // The two spellings stand as they do in the log: "System" where the game's own folder is
    // meant, "system" where a package path is formed.
    const std::string system = subFolder("system");
    const std::string System = subFolder("System");
    const std::string iniPath = T + system + "UNREALTOURNAMENT.ini";
    const size_t count = ctx.OrdnerListe.size();
    for (size_t i = 0; i < count; ++i) {
        if (i == AktuellerOrdner) continue;
        const std::string S = ctx.OrdnerListe[i];
        ctx.log.addLine("      " + S);
        const size_t n = GibDateien(ctx, S + System + "*.int");
        for (size_t j = 0; j < n; ++j) {
            const std::string name = ctx.Dateiliste[j];
            if (isStockIntName(name)) continue;
            if (ctx.fs.fileExists(T + System + name)) continue;
            const std::string kind = whatIsThisExtension(ctx, S + system + name);
            ctx.log.addLine("        extension found: " + name + " (" + kind + ")");
            const std::string X = name.substr(0, name.size() - 4);
            const bool placed = copyPackagesOfKind(ctx, S, T, X, kind, utini);
            copyExt(ctx, S + system + name, T + system + name);
            // After the copy notes, which belong on the extension's own line.
            if (!placed) logEntryNotAdded(ctx, X, iniPath);
        }
    }
}

}  // namespace zendrik
