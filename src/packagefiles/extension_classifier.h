// The kind of an extension, decided by the class lines that its .int file contains.
#pragma once

#include <string>
#include <string_view>

#include "packagefiles/run_context.h"

namespace zendrik {

// The extension kinds. Compared by exact equality; the empty string is the unknown kind.
inline constexpr std::string_view kVoice = "Voice";
inline constexpr std::string_view kPlayerClass = "PlayerClass";
inline constexpr std::string_view kGameStyle = "GameStyle";
inline constexpr std::string_view kSkin = "Skin";
inline constexpr std::string_view kMutator = "Mutator";

// Finds the kind patterns in a text fed to it piece by piece, as a file is read. A text
// that begins with a UTF-16 byte-order mark is decoded first (characters above 255 become
// '?'), so that description files saved as Unicode are classified like 8-bit ones.
class ExtensionKindScanner {
  public:
    void feed(std::string_view bytes);
    // The kind of everything fed so far: the last pattern in table order that was found.
    std::string kind() const;

  private:
    void search(std::string_view decoded);

    enum class Encoding { Undecided, Bytes, Utf16Le, Utf16Be } encoding_ = Encoding::Undecided;
    std::string pending_;  // bytes not yet decoded: a partial mark or half a UTF-16 unit
    std::string tail_;     // the end of the text searched so far, for patterns that straddle
    bool found_[5] = {};
};

// The kind of an extension whose description file holds `text`.
std::string classifyExtensionText(std::string_view text);

// How much of a description file decides its kind. Real ones are a few kilobytes; a file
// of gigabytes (a sparse or broken one) must not stall the run.
inline constexpr size_t kClassifiedPrefix = 4 * 1024 * 1024;

// Reads the first kClassifiedPrefix bytes of the .int file at `extensionPfad` and returns
// its kind.
std::string whatIsThisExtension(RunContext& ctx, const std::string& extensionPfad);

}  // namespace zendrik
