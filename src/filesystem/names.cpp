#include "filesystem/names.h"

#include <algorithm>

namespace zendrik {
namespace {

// Capital of one code point for the scripts players name their files in; others unchanged.
char32_t upcase(char32_t c) {
    if (c < 0x80) {
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        const bool oddLower = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
        if (oddLower) return (c % 2 == 1) ? c - 1 : c;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
            return (c % 2 == 0) ? c - 1 : c;
        }
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

// Decodes one UTF-8 sequence at `s[i]`; returns its length, or 0 when it is not valid.
size_t decodeUtf8(std::string_view s, size_t i, char32_t& out) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char lead = b(0);
    size_t len = 0;
    char32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4, cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(k) & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    out = cp;
    return len;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string subFolder(std::string_view name) {
    std::string s(name);
    s += kSeparator;
    return s;
}

std::string foldName(std::string_view name) {
    std::string out;
    appendFoldedName(out, name);
    return out;
}

void appendFoldedName(std::string& out, std::string_view name) {
    // The common case, capitals of ASCII letters only, in place; from the first other byte on
    // the text is decoded.
    const size_t from = out.size();
    out.append(name);
    char* const folded = out.data() + from;
    const size_t size = name.size();
    size_t i = 0;
    for (; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(folded[i]);
        if (byte >= 0x80) break;
        if (byte >= 'a' && byte <= 'z') folded[i] = static_cast<char>(byte - 32);
    }
    if (i == size) return;
    out.resize(from + i);
    while (i < name.size()) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte < 0x80) {
            out += (byte >= 'a' && byte <= 'z') ? static_cast<char>(byte - 32) : name[i];
            ++i;
            continue;
        }
        char32_t cp = 0;
        const size_t len = decodeUtf8(name, i, cp);
        if (len == 0) {
            out += name[i];
            ++i;
            continue;
        }
        appendUtf8(out, upcase(cp));
        i += len;
    }
}

bool hasControlCharacter(std::string_view name) {
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string escapedName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return foldName(a) == foldName(b);
}

bool matchesExtension(std::string_view name, std::string_view extension) {
    if (name.size() < extension.size() + 2) return false;  // a base name of one character at least
    const size_t dot = name.size() - extension.size() - 1;
    return name[dot] == '.' && sameName(name.substr(dot + 1), extension);
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace zendrik
