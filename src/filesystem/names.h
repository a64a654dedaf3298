// File and folder names as the game's home platform treats them: compared without regard
// to letter case and listed in the order of an NTFS folder.
#pragma once

#include <string>
#include <string_view>

namespace zendrik {

// The separator that stands in every folder path the engine forms, in the log too.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// `name` followed by the separator: the form in which sub-folders are joined to paths.
std::string subFolder(std::string_view name);

// The case-folded form of a name: each letter replaced by its capital (ASCII, Latin-1,
// Latin Extended-A, Greek, Cyrillic), UTF-8 in and out. Bytes that are not valid UTF-8
// stand for themselves. Two names that differ only in letter case fold to the same text,
// and byte order of folded texts is the ordinal, case-ignoring order of an NTFS listing.
std::string foldName(std::string_view name);
// Appends the case-folded form of `name`, which must not be a view of `out`, to `out`.
void appendFoldedName(std::string& out, std::string_view name);

// True when `name` holds a control character (a line break, a tab, ...): such a name is
// data that must never become a line of text.
bool hasControlCharacter(std::string_view name);

// `name` with each control character written as \xNN, for a log line.
std::string escapedName(std::string_view name);

// True when the two names are equal without regard to letter case, as foldName sees it.
bool sameName(std::string_view a, std::string_view b);

// True when `name` ends with a dot followed by `extension`, case ignored, after a base name
// of at least one character: the meaning of the wildcard mask "*.<extension>".
bool matchesExtension(std::string_view name, std::string_view extension);

// ASCII-only case-insensitive helpers for 8-bit text (ini and .int contents).
inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

}  // namespace zendrik
