#include "filesystem/temporary_files.h"

#include <algorithm>

namespace zendrik {
namespace {

// Room for the target's name: 255 bytes less "~", the run, "-", the number and the suffix.
constexpr size_t kNameRoom = 255 - 1 - 32 - 1 - 10 - kTemporarySuffix.size();

}  // namespace

std::string temporaryNameFor(std::string_view targetName, std::string_view run, unsigned n) {
    size_t keep = std::min(targetName.size(), kNameRoom);
    // Never cut inside a UTF-8 sequence.
    while (keep > 0 && keep < targetName.size() &&
           (static_cast<unsigned char>(targetName[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    std::string name(targetName.substr(0, keep));
    name += '~';
    name += run;
    name += '-';
    name += std::to_string(n);
    name += kTemporarySuffix;
    return name;
}

std::optional<std::string> runOfTemporary(std::string_view name) {
    if (!isTemporaryName(name)) return std::nullopt;
    name.remove_suffix(kTemporarySuffix.size());
    const size_t tilde = name.rfind('~');
    const size_t last = name.rfind('-');
    if (tilde == std::string_view::npos || last == std::string_view::npos || last < tilde) {
        return std::nullopt;
    }
    const std::string_view run = name.substr(tilde + 1, last - tilde - 1);
    if (run.find('-') == std::string_view::npos) return std::nullopt;
    return std::string(run);
}

}  // namespace zendrik
