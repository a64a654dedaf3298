#include "repair/folder_checks.h"

#include <algorithm>
#include <array>

#include "filesystem/names.h"
#include "filesystem/run_identity.h"
#include "filesystem/temporary_files.h"

namespace zendrik {
namespace {

constexpr std::array<const char*, 5> kPackageFolders = {"system", "textures", "sounds", "maps",
                                                        "models"};
// The types of file that a run writes into an installation.
constexpr std::array<const char*, 6> kWrittenTypes = {"u", "int", "utx", "uax", "unr", "ini"};

}  // namespace

void reportCaseTwins(RunContext& ctx, const std::string& Ordner) {
    std::vector<std::string> folders{Ordner};
    for (const char* sub : kPackageFolders) folders.push_back(Ordner + subFolder(sub));
    for (const auto& folder : folders) {
        for (const auto& twins : ctx.fs.caseTwins(folder)) {
            std::string names;
            for (size_t i = 0; i < twins.size(); ++i) {
                if (i > 0) names += i + 1 == twins.size() ? " and " : ", ";
                names += twins[i];
            }
            ctx.log.addLine("  " + names + " in " + folder + " differ only in letter case; " +
                            twins.front() + " is used");
        }
    }
}

void removeLeftoverTemporaryFiles(RunContext& ctx, const std::string& Ordner) {
    const std::string extension(kTemporarySuffix.substr(1));
    for (const char* sub : kPackageFolders) {
        const std::string folder = Ordner + subFolder(sub);
        for (const auto& name : ctx.fs.listFiles(folder, extension)) {
            bool left;
            if (const auto run = runOfTemporary(name)) {
                // Another run's file while that run may still be going (a log it is saving
                // here, say) is its own business.
                left = runIsGone(*run);
            } else {
                // Of an earlier version, which named no run: only temporary package and ini
                // files, as that version made them.
                const std::string target = name.substr(0, name.size() - kTemporarySuffix.size());
                left =
                    std::any_of(kWrittenTypes.begin(), kWrittenTypes.end(),
                                [&](const char* type) { return matchesExtension(target, type); });
            }
            if (!left) continue;
            // Logged once it is gone: a removal that fails throws, and no line claims it.
            ctx.fs.removeFile(folder + name);
            ctx.log.addLine("  removed " + folder + name + ", left behind by an interrupted run");
        }
    }
}

}  // namespace zendrik
