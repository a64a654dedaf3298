#include "exchange/extension_exchange.h"

#include <chrono>
#include <vector>

#include "filesystem/names.h"
#include "packagefiles/extension_classifier.h"
#include "packagefiles/file_primitives.h"
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

// One exchange into the installation at position `receiving` of the work list. The lines of
// the extensions copied since the last settling are held back from the log until their
// entries are on disk.
class ExtensionExchange {
  public:
    ExtensionExchange(RunContext& ctx, size_t receiving, std::vector<GameIni>& inis)
        : ctx_(ctx),
          receivingAt_(receiving),
          receiving_(ctx.OrdnerListe[receiving]),
          batch_(ctx.fs, held_),
          entries_(ctx, inis, ServerPackageEntries::Flush::CopiesFirst) {
        held_.keepAllLines(true);
    }

    // Each other installation of the work list in turn, then the last batch.
    void run() {
        ctx_.log.addLine("");
        ctx_.log.addLine("    Scanning other folders for extensions not in " + receiving_);
        const size_t count = ctx_.OrdnerListe.size();
        for (size_t i = 0; i < count; ++i) {
            if (i != receivingAt_) takeFrom(ctx_.OrdnerListe[i]);
        }
        settleBatch();
    }

  private:
    // Logs the giving installation and takes each extension of it that the receiving one
    // lacks, in listing order.
    void takeFrom(const std::string& giving) {
        settleBatch();
        ctx_.log.addLine("      " + giving);
        const size_t n = GibDateien(ctx_, giving + gameSystem_ + "*.int");
        for (size_t j = 0; j < n; ++j) {
            const std::string name = ctx_.Dateiliste[j];
            if (receivingLacks(name)) takeExtension(giving, name);
        }
    }

    bool receivingLacks(const std::string& intName) {
        return !isStockIntName(intName) && !ctx_.fs.fileExists(receiving_ + gameSystem_ + intName);
    }

    // A failure logs the held lines unmarked before it is passed on.
    void takeExtension(const std::string& giving, const std::string& intName) {
        try {
            copyPackagesAndHoldLine(giving, intName);
        } catch (...) {
            release();
            throw;
        }
        if (batchIsDue()) settleBatch();
    }

    void copyPackagesAndHoldLine(const std::string& giving, const std::string& intName) {
        Waiting w;
        w.intFrom = giving + packageSystem_ + intName;
        w.intTo = receiving_ + packageSystem_ + intName;
        const std::string kind = whatIsThisExtension(ctx_, w.intFrom);
        held_.addLine("        extension found: " + intName + " (" + kind + ")");
        waiting_.push_back(w);
        const std::string base = intName.substr(0, intName.size() - 4);
        waiting_.back().entry =
            copyPackagesOfKind(batch_, giving, receiving_, base, kind, entries_);
        waiting_.back().markAt = held_[held_.size() - 1].size();
    }

    bool batchIsDue() const {
        return waiting_.size() >= kBatch ||
               std::chrono::steady_clock::now() - batchBegan_ >= kBatchTime;
    }

    // The package files copied so far reach the disk, then the inis with their entries; only
    // then are the lines marked and logged and the description files copied.
    void settleBatch() {
        passOnLeftAlone();
        takeHeldLines();
        writeInis();
        const std::vector<Waiting> settled = markedLines();
        for (size_t k = 0; k < settled.size(); ++k) {
            ctx_.log.addLine(settled[k].line);
            copyDescriptionFile(settled, k);
            entries_.logNotAdded(settled[k].entry);
        }
        entries_.logWriteProtected();
        batchBegan_ = std::chrono::steady_clock::now();
    }

    void writeInis() {
        try {
            entries_.write();
        } catch (...) {
            release();
            throw;
        }
    }

    // The waiting extensions, each line marked for the inis that hold its entry; none wait
    // after.
    std::vector<Waiting> markedLines() {
        std::vector<Waiting> settled = std::move(waiting_);
        waiting_.clear();
        held_.clear();
        for (auto& w : settled) w.line.insert(w.markAt, entries_.marks(w.entry));
        return settled;
    }

    // The description file of the `k`th settled extension, which marks it as present. When
    // it fails, the extensions behind it have their packages and entries, not their .int.
    void copyDescriptionFile(const std::vector<Waiting>& settled, size_t k) {
        try {
            copyExt(ctx_, settled[k].intFrom, settled[k].intTo);
        } catch (...) {
            for (size_t rest = k + 1; rest < settled.size(); ++rest) {
                ctx_.log.addLine(settled[rest].line);
            }
            throw;
        }
    }

    // The held lines, with the copy notes of their package files, become the waiting ones'.
    void takeHeldLines() {
        for (size_t k = 0; k < waiting_.size(); ++k) waiting_[k].line = held_[k];
    }

    // The package files the batch left as they are count for the folder's turn.
    void passOnLeftAlone() {
        for (auto& left : batch_.leftAlone) ctx_.leftAlone.push_back(std::move(left));
        batch_.leftAlone.clear();
    }

    // Logs the held lines as they are, unmarked: what a failure leaves.
    void release() {
        passOnLeftAlone();
        takeHeldLines();
        for (const auto& w : waiting_) ctx_.log.addLine(w.line);
        waiting_.clear();
        held_.clear();
    }

    RunContext& ctx_;
    const size_t receivingAt_;
    const std::string receiving_;
    // The two spellings stand as they do in the log: "System" where the game's own folder is
    // meant, "system" where a package path is formed.
    const std::string packageSystem_ = subFolder("system");
    const std::string gameSystem_ = subFolder("System");
    Log held_;
    RunContext batch_;  // copies into the receiving installation, noted on the held lines
    ServerPackageEntries entries_;
    std::vector<Waiting> waiting_;
    std::chrono::steady_clock::time_point batchBegan_ = std::chrono::steady_clock::now();
};

}  // namespace

void ExchangeExtensions(RunContext& ctx, size_t AktuellerOrdner, ServerPackageList& utini) {
    withUTiniAlone(ctx.OrdnerListe[AktuellerOrdner], utini, [&](std::vector<GameIni>& inis) {
        ExchangeExtensions(ctx, AktuellerOrdner, inis);
    });
}

void ExchangeExtensions(RunContext& ctx, size_t AktuellerOrdner, std::vector<GameIni>& inis) {
    ExtensionExchange(ctx, AktuellerOrdner, inis).run();
}

}  // namespace zendrik
