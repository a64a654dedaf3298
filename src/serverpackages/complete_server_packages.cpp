#include "serverpackages/complete_server_packages.h"

#include <algorithm>
#include <array>

#include "filesystem/names.h"
#include "packagefiles/extension_classifier.h"
#include "packagefiles/file_primitives.h"
#include "serverpackages/ini_text.h"
#include "serverpackages/server_package_entries.h"

namespace zendrik {
namespace {

constexpr std::array<std::string_view, 24> kStockIntNames = {
    "Core.int",          "D3DDrv.int",  "Editor.int",      "Engine.int",           "Galaxy.int",
    "GlideDrv.int",      "IpDrv.int",   "IpServer.int",    "MeTaLDrv.int",         "OpenGlDrv.int",
    "Setup.int",         "SGLDrv.int",  "SoftDrv.int",     "Startup.int",          "UBrowser.int",
    "UMenu.int",         "UnrealI.int", "UnrealShare.int", "UnrealTournament.int", "UTMenu.int",
    "UTServerAdmin.int", "UWeb.int",    "Window.int",      "WinDrv.int",
};

bool needsEntry(const std::string& kind) {
    return kind == kVoice || kind == kPlayerClass || kind == kSkin;
}

}  // namespace

bool isStockIntName(std::string_view name) {
    return std::find(kStockIntNames.begin(), kStockIntNames.end(), name) != kStockIntNames.end();
}

void CompleteUTini(RunContext& ctx, const std::string& Ordner, std::string& utini) {
    ctx.Merker = true;
    ctx.log.addLine("");
    ctx.log.addLine("  Scanning for extensions without ServerPackage entry in UT.ini");
    const std::string system = Ordner + subFolder("system");
    const std::string iniPath = system + "UNREALTOURNAMENT.ini";
    const size_t count = GibDateien(ctx, system + "*.int");
    for (size_t i = 0; i < count; ++i) {
        const std::string name = ctx.Dateiliste[i];
        if (isStockIntName(name)) continue;
        const std::string kind = whatIsThisExtension(ctx, system + name);
        const std::string base = name.substr(0, name.size() - 4);
        const bool listed = SearchUTiniForServerPackage(base, utini);
        if (!listed && needsEntry(kind)) {
            ctx.log.addLine("    Package " + base + " not installed as ServerPackage in UT.ini...");
            utini = AddServerPackage(ctx, base, utini, iniPath);
            ctx.Merker = false;
        }
    }
    if (ctx.Merker) ctx.log.addLine("  all extensions are already in UT.ini");
}

}  // namespace zendrik
