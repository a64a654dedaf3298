// Fuzz target: the kind of an extension from the bytes of its .int file, read whole or in
// pieces, 8-bit, UTF-8 with or without a byte-order mark, or UTF-16 with one.
//
// Input: the file's bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "packagefiles/extension_kind.h"

namespace {

using zendrik::fuzz::hashOf;
using zendrik::fuzz::lowered;
using zendrik::fuzz::nextRandom;

struct Pattern {
    std::string_view text;
    std::string_view kind;
};

// In table order: the last one found decides.
constexpr std::array<Pattern, 5> kPatterns = {{
    {"MetaClass=Botpack.Voice", "Voice"},
    {"MetaClass=Botpack.TournamentPlayer", "PlayerClass"},
    {"MetaClass=Botpack.TournamentGameInfo", "GameStyle"},
    {"Class=Texture", "Skin"},
    {"MetaClass=Engine.Mutator", "Mutator"},
}};

constexpr std::string_view kLittleMark = "\xFF\xFE";
constexpr std::string_view kBigMark = "\xFE\xFF";

bool hasMark(std::string_view bytes) {
    return bytes.substr(0, 2) == kLittleMark || bytes.substr(0, 2) == kBigMark;
}

// The 8-bit text that `bytes` stands for: after a UTF-16 byte-order mark each whole unit
// becomes its character, or '?' above 255; otherwise the bytes themselves.
std::string decoded(std::string_view bytes) {
    if (!hasMark(bytes)) return std::string(bytes);
    const bool little = bytes.substr(0, 2) == kLittleMark;
    std::string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const unsigned unit = little ? first | (second << 8) : (first << 8) | second;
        text += unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
    return text;
}

std::string expectedKind(std::string_view bytes) {
    const std::string text = lowered(decoded(bytes));
    std::string kind;
    for (const Pattern& p : kPatterns) {
        if (text.find(lowered(p.text)) != std::string::npos) kind = p.kind;
    }
    return kind;
}

// The kind when `bytes` is fed in pieces whose lengths (empty ones among them) follow from
// `seed`.
std::string kindInPieces(std::string_view bytes, unsigned long long seed) {
    unsigned long long state = seed | 1;
    zendrik::ExtensionKindScanner scanner;
    for (size_t at = 0; at < bytes.size();) {
        const unsigned long long r = nextRandom(state);
        const size_t wanted = r % 4 == 0 ? (r >> 8) % 3 : (r >> 8) % 80;
        const size_t n = wanted < bytes.size() - at ? wanted : bytes.size() - at;
        scanner.feed(bytes.substr(at, n));
        at += n;
    }
    return scanner.kind();
}

std::string kindByteByByte(std::string_view bytes) {
    zendrik::ExtensionKindScanner scanner;
    for (size_t i = 0; i < bytes.size(); ++i) scanner.feed(bytes.substr(i, 1));
    return scanner.kind();
}

// `text` as UTF-16 with a byte-order mark, each byte one unit.
std::string asUtf16(std::string_view text, bool little) {
    std::string bytes(little ? kLittleMark : kBigMark);
    for (char c : text) {
        bytes += little ? c : '\0';
        bytes += little ? '\0' : c;
    }
    return bytes;
}

// `text`, read as Latin-1, in UTF-8: each byte above 127 becomes two.
std::string asUtf8(std::string_view text) {
    std::string bytes;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            bytes += c;
        } else {
            bytes += static_cast<char>(0xC0 | (u >> 6));
            bytes += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return bytes;
}

bool isKind(const std::string& kind) {
    if (kind.empty()) return true;
    for (const Pattern& p : kPatterns) {
        if (kind == p.kind) return true;
    }
    return false;
}

void checkBytes(std::string_view bytes, const std::string& kind) {
    FUZZ_CHECK(isKind(kind));
    FUZZ_CHECK(kind == expectedKind(bytes));
    FUZZ_CHECK(kindInPieces(bytes, hashOf(bytes)) == kind);
    FUZZ_CHECK(kindInPieces(bytes, ~hashOf(bytes)) == kind);
    if (bytes.size() <= 64) FUZZ_CHECK(kindByteByByte(bytes) == kind);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string kind = zendrik::classifyExtensionText(bytes);
    checkBytes(bytes, kind);
    if (hasMark(bytes)) return 0;

    // 8-bit text: the pattern that overrides all others, by the plainest search there is.
    const bool mutator = lowered(bytes).find("metaclass=engine.mutator") != std::string::npos;
    FUZZ_CHECK((kind == "Mutator") == mutator);
    // A mutator line decides, wherever the text has its other patterns.
    const std::string withMutator = std::string(bytes) + "\r\nMetaClass=Engine.Mutator\r\n";
    FUZZ_CHECK(zendrik::classifyExtensionText(withMutator) == "Mutator");
    FUZZ_CHECK(kindInPieces(withMutator, hashOf(bytes)) == "Mutator");
    // The same text saved as Unicode has the same kind.
    for (const bool little : {true, false}) {
        const std::string unicode = asUtf16(bytes, little);
        FUZZ_CHECK(zendrik::classifyExtensionText(unicode) == kind);
        FUZZ_CHECK(kindInPieces(unicode, hashOf(bytes)) == kind);
    }
    // And saved as UTF-8, with a byte-order mark or without one.
    for (const std::string& utf8 :
         {asUtf8(bytes), "\xEF\xBB\xBF" + asUtf8(bytes), "\xEF\xBB\xBF" + std::string(bytes)}) {
        FUZZ_CHECK(zendrik::classifyExtensionText(utf8) == kind);
        FUZZ_CHECK(kindInPieces(utf8, hashOf(bytes)) == kind);
    }
    return 0;
}
