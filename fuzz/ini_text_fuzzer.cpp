// Fuzz target: the ini text of arbitrary file bytes, the search for a server package in it,
// the insertion of a new entry, and the bytes written back: the file's own, with only whole
// new lines put in.
//
// Input: the file's bytes, optionally preceded by a package name and a NUL. The name is the
// part before the first NUL without its CR, LF and '=' characters; without a NUL, or when
// nothing remains, it is kDefaultName.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "serverpackages/ini_text.h"
#include "serverpackages/server_package_list.h"

namespace {

using zendrik::fuzz::lowered;

constexpr std::string_view kDefaultName = "ZendrikFuzz";
constexpr std::string_view kKey = "ServerPackages=";
constexpr std::string_view kMark = "\xEF\xBB\xBF";  // UTF-8: before the first line, not in it

struct Input {
    std::string name;
    std::string_view bytes;
};

Input split(std::string_view data) {
    Input in{std::string(kDefaultName), data};
    const size_t nul = data.find('\0');
    if (nul == std::string_view::npos) return in;
    std::string name;
    for (char c : data.substr(0, nul)) {
        if (c != '\r' && c != '\n' && c != '=') name += c;
    }
    if (!name.empty()) in.name = name;
    in.bytes = data.substr(nul + 1);
    return in;
}

// The ini text as a byte-at-a-time reading defines it: CR LF, lone CR and lone LF each end a
// line; every line, the last one too, ends in CR LF.
std::string expectedIniText(std::string_view bytes) {
    std::string text;
    std::string line;
    bool open = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            text += line;
            text += "\r\n";
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            line += c;
            open = true;
        }
    }
    if (open) text += line + "\r\n";
    return text;
}

struct Line {
    std::string_view text;  // without its CR LF
    size_t start;
};

// The lines of an ini text, the first after a byte-order mark; aborts unless every line ends
// in CR LF and holds no CR or LF.
std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> lines;
    size_t start = text.substr(0, kMark.size()) == kMark ? kMark.size() : 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        FUZZ_CHECK(end != std::string_view::npos);
        FUZZ_CHECK(text[end] == '\r');
        FUZZ_CHECK(end + 1 < text.size() && text[end + 1] == '\n');
        lines.push_back({text.substr(start, end - start), start});
        start = end + 2;
    }
    FUZZ_CHECK(start == text.size());
    return lines;
}

bool expectedSearch(std::string_view name, const std::vector<Line>& lines) {
    const std::string wanted = lowered(name);
    for (const Line& line : lines) {
        const size_t eq = line.text.find('=');
        if (eq != std::string_view::npos && lowered(line.text.substr(eq + 1)) == wanted) {
            return true;
        }
    }
    return false;
}

std::optional<size_t> expectedInsertionPoint(const std::vector<Line>& lines) {
    const std::string key = lowered(kKey);
    for (const Line& line : lines) {
        if (lowered(line.text.substr(0, key.size())) == key) return line.start;
    }
    return std::nullopt;
}

// `utini` with the entries for `names` added, in that order, through the engine's list.
std::string withEntries(const std::string& utini, std::initializer_list<std::string> names) {
    zendrik::ServerPackageList list(utini);
    for (const auto& name : names) list.add(name);
    return list.text();
}

// The text of `utini` after a pass that adds `name` when it is not listed, as a run does.
std::string afterPass(const std::string& utini, const std::string& name) {
    zendrik::ServerPackageList list(utini);
    if (!list.SearchUTiniForServerPackage(name) && list.hasInsertionPoint()) list.add(name);
    return list.text();
}

std::string swappedCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

void checkIniText(std::string_view bytes, const std::string& utini) {
    FUZZ_CHECK(utini == expectedIniText(bytes));
    FUZZ_CHECK(zendrik::iniTextFromBytes(utini) == utini);
    FUZZ_CHECK(utini.empty() == bytes.empty());
    linesOf(utini);
}

void checkSearch(const std::string& name, const std::string& utini,
                 const std::vector<Line>& lines) {
    const zendrik::ServerPackageList list(utini);
    FUZZ_CHECK(list.SearchUTiniForServerPackage(name) == expectedSearch(name, lines));
    // Every value in the text is found, in either letter case.
    size_t checked = 0;
    for (const Line& line : lines) {
        const size_t eq = line.text.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string value(line.text.substr(eq + 1));
        FUZZ_CHECK(list.SearchUTiniForServerPackage(value));
        FUZZ_CHECK(list.SearchUTiniForServerPackage(swappedCase(value)));
        if (++checked == 16) break;
    }
}

void checkInsertion(const std::string& name, const std::string& utini,
                    const std::vector<Line>& lines) {
    const auto at = zendrik::serverPackagesInsertionPoint(utini);
    FUZZ_CHECK(at == expectedInsertionPoint(lines));
    if (!at) {
        FUZZ_CHECK(afterPass(utini, name) == utini);
        return;
    }
    const std::string entry = std::string(kKey) + name + "\r\n";
    const std::string added = withEntries(utini, {name});
    FUZZ_CHECK(added.size() == utini.size() + 17 + name.size());
    FUZZ_CHECK(added.compare(*at, entry.size(), entry) == 0);
    FUZZ_CHECK(added.substr(0, *at) + added.substr(*at + entry.size()) == utini);
    FUZZ_CHECK(zendrik::iniTextFromBytes(added) == added);

    // The old lines, unaltered and in their order, with the new one above the first entry.
    const std::vector<Line> addedLines = linesOf(added);
    FUZZ_CHECK(addedLines.size() == lines.size() + 1);
    size_t k = 0;
    while (k < lines.size() && lines[k].start != *at) ++k;
    FUZZ_CHECK(k < lines.size());
    for (size_t i = 0; i < addedLines.size(); ++i) {
        if (i == k) {
            FUZZ_CHECK(addedLines[i].text == entry.substr(0, entry.size() - 2));
        } else {
            FUZZ_CHECK(addedLines[i].text == lines[i < k ? i : i - 1].text);
        }
    }

    FUZZ_CHECK(zendrik::ServerPackageList(added).SearchUTiniForServerPackage(name));
    FUZZ_CHECK(zendrik::serverPackagesInsertionPoint(added) == at);
    FUZZ_CHECK(withEntries(utini, {name}) == added);
    // Entries added together stand as if each had been added to the text the one before left.
    const std::string second = swappedCase(name) + "2";
    FUZZ_CHECK(withEntries(utini, {name, second}) == withEntries(added, {second}));

    // A pass adds the entry only when it is missing, and a second pass changes nothing.
    const std::string once = afterPass(utini, name);
    FUZZ_CHECK(once == (expectedSearch(name, lines) ? utini : added));
    FUZZ_CHECK(afterPass(once, name) == once);
    FUZZ_CHECK(afterPass(utini, name) == once);
}

// Where new lines go in the file `bytes`, read a byte at a time: the start of the first line
// that begins with the key, case ignored, the first line starting after a byte-order mark.
std::optional<size_t> expectedByteInsertionPoint(std::string_view bytes) {
    const std::string key = lowered(kKey);
    size_t start = bytes.substr(0, kMark.size()) == kMark ? kMark.size() : 0;
    while (start < bytes.size()) {
        if (lowered(bytes.substr(start, key.size())) == key) return start;
        size_t i = start;
        while (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n') ++i;
        if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return std::nullopt;
}

// The line end of new lines: the file's first one as it stands, CR LF when it has none.
std::string expectedLineEnd(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') return "\n";
        if (bytes[i] == '\r') return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? "\r\n" : "\r";
    }
    return "\r\n";
}

void checkWrittenBytes(const std::string& name, std::string_view bytes, const std::string& utini) {
    zendrik::ServerPackageList list(zendrik::IniFile{std::string(bytes)});
    FUZZ_CHECK(list.text() == utini);
    FUZZ_CHECK(list.bytes() == bytes);  // nothing added: nothing changed
    const auto at = expectedByteInsertionPoint(bytes);
    FUZZ_CHECK(list.hasInsertionPoint() == at.has_value());
    if (!at) return;
    const std::string second = swappedCase(name) + "2";
    list.add(name);
    list.add(second);
    // The file's bytes as they were, with the two lines above the first entry, the one
    // added last on top, each ending as the file's first line does.
    const std::string end = expectedLineEnd(bytes);
    const std::string inserted = std::string(kKey) + second + end + std::string(kKey) + name + end;
    const std::string written = list.bytes();
    FUZZ_CHECK(written ==
               std::string(bytes.substr(0, *at)) + inserted + std::string(bytes.substr(*at)));
    // Read again, the written file is the text with the entries, and takes further lines in
    // the same place and form.
    FUZZ_CHECK(zendrik::iniTextFromBytes(written) == list.text());
    FUZZ_CHECK(expectedByteInsertionPoint(written) == at);
    FUZZ_CHECK(expectedLineEnd(written) == end);
    zendrik::ServerPackageList again(zendrik::IniFile{written});
    FUZZ_CHECK(again.SearchUTiniForServerPackage(name));
    FUZZ_CHECK(again.SearchUTiniForServerPackage(second));
    FUZZ_CHECK(again.bytes() == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Input in = split(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string utini = zendrik::iniTextFromBytes(in.bytes);
    checkIniText(in.bytes, utini);
    const std::vector<Line> lines = linesOf(utini);
    checkSearch(in.name, utini, lines);
    checkInsertion(in.name, utini, lines);
    checkWrittenBytes(in.name, in.bytes, utini);
    return 0;
}
