#include "packagefiles/extension_kind.h"

#include <algorithm>

#include <array>
#include <cstddef>

#include "filesystem/names.h"

namespace zendrik {
namespace {

struct KindPattern {
    std::string_view pattern;
    std::string_view kind;
};

// Tried in this order; the last one found decides.
constexpr std::array<KindPattern, 5> kKindPatterns = {{
    {"MetaClass=Botpack.Voice", kVoice},
    {"MetaClass=Botpack.TournamentPlayer", kPlayerClass},
    {"MetaClass=Botpack.TournamentGameInfo", kGameStyle},
    {"Class=Texture", kSkin},
    {"MetaClass=Engine.Mutator", kMutator},
}};

const std::string& loweredPattern(size_t k) {
    static const auto lowered = [] {
        std::array<std::string, kKindPatterns.size()> patterns;
        for (size_t i = 0; i < patterns.size(); ++i) {
            for (char c : kKindPatterns[i].pattern) patterns[i] += asciiLower(c);
        }
        return patterns;
    }();
    return lowered[k];
}

constexpr size_t longestPattern() {
    size_t n = 0;
    for (const auto& p : kKindPatterns) n = p.pattern.size() > n ? p.pattern.size() : n;
    return n;
}

}  // namespace

void ExtensionKindScanner::feed(std::string_view bytes) {
    if (encoding_ == Encoding::Bytes) {  // 8-bit text leaves nothing pending
        search(bytes);
        return;
    }
    pending_.append(bytes);
    if (encoding_ == Encoding::Undecided) {
        if (pending_.size() < 2) return;
        if (pending_.compare(0, 2, "\xFF\xFE") == 0) {
            encoding_ = Encoding::Utf16Le;
            pending_.erase(0, 2);
        } else if (pending_.compare(0, 2, "\xFE\xFF") == 0) {
            encoding_ = Encoding::Utf16Be;
            pending_.erase(0, 2);
        } else {
            encoding_ = Encoding::Bytes;
        }
    }
    if (encoding_ == Encoding::Bytes) {
        search(pending_);
        pending_.clear();
        return;
    }
    std::string decoded;
    const size_t units = pending_.size() / 2;
    decoded.reserve(units);
    const bool little = encoding_ == Encoding::Utf16Le;
    for (size_t i = 0; i < units; ++i) {
        const auto lo = static_cast<unsigned char>(pending_[2 * i + (little ? 0 : 1)]);
        const auto hi = static_cast<unsigned char>(pending_[2 * i + (little ? 1 : 0)]);
        decoded += hi == 0 ? static_cast<char>(lo) : '?';
    }
    pending_.erase(0, units * 2);
    search(decoded);
}

void ExtensionKindScanner::search(std::string_view decoded) {
    // The text with ASCII letters in lower case, searched for the patterns in lower case.
    std::string& text = tail_;
    const size_t from = text.size();
    text.resize(from + decoded.size());
    std::transform(decoded.begin(), decoded.end(), text.begin() + static_cast<std::ptrdiff_t>(from),
                   asciiLower);
    for (size_t k = 0; k < kKindPatterns.size(); ++k) {
        if (!found_[k] && text.find(loweredPattern(k)) != std::string::npos) found_[k] = true;
    }
    const size_t keep = longestPattern() - 1;
    if (text.size() > keep) text.erase(0, text.size() - keep);
}

std::string ExtensionKindScanner::kind() const {
    std::string result;
    for (size_t k = 0; k < kKindPatterns.size(); ++k) {
        if (found_[k]) result = kKindPatterns[k].kind;
    }
    return result;
}

std::string classifyExtensionText(std::string_view text) {
    ExtensionKindScanner scanner;
    scanner.feed(text);
    return scanner.kind();
}

namespace {

constexpr std::array<std::string_view, 24> kStockIntNames = {
    "Core.int",          "D3DDrv.int",  "Editor.int",      "Engine.int",           "Galaxy.int",
    "GlideDrv.int",      "IpDrv.int",   "IpServer.int",    "MeTaLDrv.int",         "OpenGlDrv.int",
    "Setup.int",         "SGLDrv.int",  "SoftDrv.int",     "Startup.int",          "UBrowser.int",
    "UMenu.int",         "UnrealI.int", "UnrealShare.int", "UnrealTournament.int", "UTMenu.int",
    "UTServerAdmin.int", "UWeb.int",    "Window.int",      "WinDrv.int",
};

}  // namespace

bool isStockIntName(std::string_view name) {
    return std::find(kStockIntNames.begin(), kStockIntNames.end(), name) != kStockIntNames.end();
}

}  // namespace zendrik
