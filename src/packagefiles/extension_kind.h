// What an extension is: its kind, decided by the class lines of its description file, and
// whether a description file is one of the game's own. Text only: no file is read here.
#pragma once

#include <string>
#include <string_view>

namespace zendrik {

// The extension kinds. Compared by exact equality; the empty string is the unknown kind.
inline constexpr std::string_view kVoice = "Voice";
inline constexpr std::string_view kPlayerClass = "PlayerClass";
inline constexpr std::string_view kGameStyle = "GameStyle";
inline constexpr std::string_view kSkin = "Skin";
inline constexpr std::string_view kMutator = "Mutator";

// Finds the kind patterns in a text fed to it piece by piece, as a file is read. A text
// that begins with a UTF-16 byte-order mark is decoded first (characters above 255 become
// '?'), so that description files saved as Unicode are classified like 8-bit ones. UTF-8,
// with or without its byte-order mark, is searched as 8-bit text: the patterns are ASCII, and
// no byte of a UTF-8 character beyond ASCII is, so it has the kind of its other forms.
class ExtensionKindScanner {
  public:
    void feed(std::string_view bytes);
    // The kind of everything fed so far: the last pattern in table order that was found.
    std::string kind() const;

  private:
    void search(std::string_view decoded);

    enum class Encoding { Undecided, Bytes, Utf16Le, Utf16Be } encoding_ = Encoding::Undecided;
    std::string pending_;  // bytes not yet decoded: a partial mark or half a UTF-16 unit
    // The end of the text searched so far, for patterns that straddle; the buffer that each
    // piece is lowered into after it.
    std::string tail_;
    bool found_[5] = {};
};

// The kind of an extension whose description file holds `text`.
std::string classifyExtensionText(std::string_view text);

// True for the name of one of the 24 description files that come with the game: never an
// extension, whatever it contains. Compared exactly.
bool isStockIntName(std::string_view name);

}  // namespace zendrik
