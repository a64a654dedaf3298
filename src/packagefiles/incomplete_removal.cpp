#include "packagefiles/incomplete_removal.h"

#include <optional>

#include "filesystem/names.h"
#include "packagefiles/extension_classifier.h"
#include "packagefiles/file_primitives.h"

namespace zendrik {
namespace {

bool removable(const std::string& kind) {
    return kind == kGameStyle || kind == kSkin || kind == kVoice || kind == kPlayerClass;
}

}  // namespace

void RemoveIncompleteExtensions(RunContext& ctx, const std::string& Ordner) {
    ctx.log.addLine("");
    ctx.log.addLine("  scaning for packages with missing components...");
    ctx.Merker = false;
    const std::string system = Ordner + subFolder("system");
    const std::string textures = Ordner + subFolder("textures");
    const std::string sounds = Ordner + subFolder("sounds");
    const std::string models = Ordner + subFolder("models");
    if (!ctx.fs.belongsTo(system, Ordner)) {
        // Through a link System is another installation's too: what it holds may be complete
        // there, so nothing in it is judged from this installation.
        ctx.log.addLine("    skipped: " + system + " lies outside " + Ordner +
                        " (a link), so its description files may belong to another installation");
        return;
    }
    // The first package folder that a link puts outside the installation, "" when none; asked
    // only once a description file looks incomplete. A package missing from such a folder may
    // be missing only from this view of it (another installation's folder, a drive that
    // changes), so it is never ground for a deletion.
    std::optional<std::string> outside;
    const auto leadingOut = [&]() -> const std::string& {
        if (!outside) {
            outside.emplace();
            for (const std::string* folder : {&textures, &sounds, &models}) {
                if (!ctx.fs.belongsTo(*folder, Ordner)) {
                    *outside = *folder;
                    break;
                }
            }
        }
        return *outside;
    };
    const size_t count = GibDateien(ctx, system + "*.int");
    for (size_t i = 0; i < count; ++i) {
        const std::string name = ctx.Dateiliste[i];
        const std::string base = name.substr(0, name.size() - 4);
        // Only a removable kind is looked for, and only until one package is found.
        if (!removable(whatIsThisExtension(ctx, system + name))) continue;
        const bool complete = ctx.fs.fileExists(textures + base + ".utx") ||
                              ctx.fs.fileExists(sounds + base + ".uax") ||
                              ctx.fs.fileExists(system + base + ".u") ||
                              ctx.fs.fileExists(models + base + ".u");
        if (!complete) {
            ctx.Merker = true;
            if (const std::string& folder = leadingOut(); !folder.empty()) {
                ctx.log.addLine("    found " + system + name +
                                " with no equivalent, left as it is: " + folder + " lies outside " +
                                Ordner + " (a link)");
                continue;
            }
            if (ctx.fs.writeProtected(system + name)) {
                ctx.log.addLine("    found " + system + name +
                                " with no equivalent, left as it is: it is write-protected");
                ctx.leftAlone.push_back(system + name + " is write-protected");
                continue;
            }
            if (ctx.fs.ambiguous(system + name)) {
                ctx.log.addLine("    found " + system + name +
                                " with no equivalent, left in place: "
                                "another file there differs from it only in letter case");
                continue;
            }
            ctx.log.addLine("    found " + system + name + " with no equivalent... deleted");
            ctx.fs.removeFile(system + name);
        }
    }
    if (!ctx.Merker) ctx.log.addLine("  all packages were complete");
}

}  // namespace zendrik
