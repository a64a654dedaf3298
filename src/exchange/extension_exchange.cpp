#include "exchange/extension_exchange.h"

#include <chrono>
#include <vector>

#include "filesystem/names.h"
#include "packagefiles/extension_classifier.h"
#include "packagefiles/file_primitives.h"
#include "serverpackages/ini_text.h"
#include "serverpackages/server_package_entries.h"

namespace zendrik {
namespace {

// What a copied extension still waits for: its server package entry on disk, the mark on its
// line, and its description file, which marks it as present and so is copied last.
struct Waiting {
    std::string line;   // the extension's line with the copy notes of its package files
    size_t markAt = 0;  // where "  ...entry added" goes in it
    ServerPackageEntries::Entry entry;
    std::string intFrom, intTo;
};

// Copies the package files of the extension `name` of kind `kind` from the installation
// `from` into the installation `to`, noting each copy on the last line of `batch`, and adds
// its server package entry to `entries` where its kind has one.
ServerPackageEntries::Entry copyPackagesOfKind(RunContext& batch, const std::string& from,
                                               const std::string& to, const std::string& name,
                                               const std::string& kind,
                                               ServerPackageEntries& entries) {
    const std::string system = subFolder("system");
    const std::string sounds = subFolder("sounds");
    if (kind == kVoice) {
        copyExt(batch, from + system + name + ".u", to + system + name + ".u");
        copyExt(batch, from + sounds + name + ".uax", to + sounds + name + ".uax");
    } else if (kind == kPlayerClass) {
        copyExt(batch, from + system + name + ".u", to + system + name + ".u");
        copyExt(batch, from + subFolder("models") + name + ".u", to + system + name + ".u");
        copyExt(batch, from + sounds + name + "Sounds.uax", to + sounds + name + "Sounds.uax");
    } else if (kind == kSkin) {
        const std::string textures = subFolder("textures");
        copyExt(batch, from + textures + name + ".utx", to + textures + name + ".utx");
    } else {
        if (kind == kMutator || kind == kGameStyle) {
            copyExt(batch, from + system + name + ".u", to + system + name + ".u");
        }
        return {};
    }
    return entries.add(name);
}

// Extensions are settled in batches: one durable write of the ini and one flush of the
// copied package files serve many extensions, and the log still shows progress.
constexpr size_t kBatch = 512;
constexpr auto kBatchTime = std::chrono::milliseconds(500);

}  // namespace

void ExchangeExtensions(RunContext& ctx, size_t AktuellerOrdner, ServerPackageList& utini) {
    withUTiniAlone(ctx.OrdnerListe[AktuellerOrdner], utini, [&](std::vector<GameIni>& inis) {
        ExchangeExtensions(ctx, AktuellerOrdner, inis);
    });
}

void ExchangeExtensions(RunContext& ctx, size_t AktuellerOrdner, std::vector<GameIni>& inis) {
    const std::string receiving = ctx.OrdnerListe[AktuellerOrdner];
    ctx.log.addLine("");
    ctx.log.addLine("    Scanning other folders for extensions not in " + receiving);
    // The two spellings stand as they do in the log: "System" where the game's own folder is
    // meant, "system" where a package path is formed.
    const std::string packageSystem = subFolder("system");
    const std::string gameSystem = subFolder("System");

    // The lines of the extensions copied since the last settling, held back from the log
    // until their entries are on disk.
    Log held;
    held.keepAllLines(true);
    RunContext batch(ctx.fs, held);
    ServerPackageEntries entries(ctx, inis, ServerPackageEntries::Flush::CopiesFirst);
    std::vector<Waiting> waiting;
    auto batchBegan = std::chrono::steady_clock::now();
    // The package files the batch left as they are count for the folder's turn.
    const auto passOnLeftAlone = [&] {
        for (auto& left : batch.leftAlone) ctx.leftAlone.push_back(std::move(left));
        batch.leftAlone.clear();
    };
    // Logs the held lines as they are, unmarked: what a failure leaves.
    const auto release = [&] {
        passOnLeftAlone();
        for (const auto& w : waiting) ctx.log.addLine(w.line);
        waiting.clear();
        held.clear();
    };
    // The package files copied so far reach the disk, then the inis with their entries; only
    // then are their lines marked and their description files copied.
    const auto settle = [&] {
        passOnLeftAlone();
        for (size_t k = 0; k < waiting.size(); ++k) waiting[k].line = held[k];
        try {
            entries.write();
        } catch (...) {
            release();
            throw;
        }
        std::vector<Waiting> settled = std::move(waiting);
        waiting.clear();
        held.clear();
        for (auto& w : settled) w.line.insert(w.markAt, entries.marks(w.entry));
        for (size_t k = 0; k < settled.size(); ++k) {
            const Waiting& w = settled[k];
            ctx.log.addLine(w.line);
            try {
                copyExt(ctx, w.intFrom, w.intTo);
            } catch (...) {
                // The extensions behind it have their packages and entries, not their .int.
                for (size_t rest = k + 1; rest < settled.size(); ++rest) {
                    ctx.log.addLine(settled[rest].line);
                }
                throw;
            }
            entries.logNotAdded(w.entry);
        }
        entries.logWriteProtected();
        batchBegan = std::chrono::steady_clock::now();
    };

    const size_t count = ctx.OrdnerListe.size();
    for (size_t i = 0; i < count; ++i) {
        if (i == AktuellerOrdner) continue;
        const std::string giving = ctx.OrdnerListe[i];
        settle();
        ctx.log.addLine("      " + giving);
        const size_t n = GibDateien(ctx, giving + gameSystem + "*.int");
        for (size_t j = 0; j < n; ++j) {
            const std::string name = ctx.Dateiliste[j];
            if (isStockIntName(name)) continue;
            if (ctx.fs.fileExists(receiving + gameSystem + name)) continue;
            const std::string base = name.substr(0, name.size() - 4);
            Waiting w;
            w.intFrom = giving + packageSystem + name;
            w.intTo = receiving + packageSystem + name;
            try {
                const std::string kind = whatIsThisExtension(ctx, giving + packageSystem + name);
                held.addLine("        extension found: " + name + " (" + kind + ")");
                waiting.push_back(w);
                waiting.back().entry =
                    copyPackagesOfKind(batch, giving, receiving, base, kind, entries);
                waiting.back().markAt = held[held.size() - 1].size();
            } catch (...) {
                for (size_t k = 0; k < waiting.size(); ++k) waiting[k].line = held[k];
                release();
                throw;
            }
            if (waiting.size() >= kBatch ||
                std::chrono::steady_clock::now() - batchBegan >= kBatchTime) {
                settle();
            }
        }
    }
    settle();
}

}  // namespace zendrik
