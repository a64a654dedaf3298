#include "journal/journal_record.h"

#include <charconv>

namespace zendrik {
namespace {

constexpr std::string_view kMagic = "zendrik journal 2";
constexpr std::string_view kFirstMagic = "zendrik journal 1";  // no time in its header

// Fields are parted by tabs; a tab, line break or backslash inside one is escaped.
void appendField(std::string& line, std::string_view field) {
    line += '\t';
    for (const char c : field) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
        }
    }
}

void appendNumber(std::string& line, uint64_t value) {
    line += '\t';
    line += std::to_string(value);
}

std::string hex(uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 15];
    return text;
}

// Closes a line with the checksum of what precedes it.
std::string sealed(std::string line) {
    const uint64_t sum = textHash(line);
    line += '\t';
    line += hex(sum);
    line += '\n';
    return line;
}

std::vector<std::string> fieldsOf(std::string_view line, bool& ok) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\') {
            if (++i == line.size()) {
                ok = false;
                return fields;
            }
            switch (line[i]) {
                case '\\':
                    fields.back() += '\\';
                    break;
                case 't':
                    fields.back() += '\t';
                    break;
                case 'n':
                    fields.back() += '\n';
                    break;
                case 'r':
                    fields.back() += '\r';
                    break;
                default:
                    ok = false;
                    return fields;
            }
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

bool number(const std::string& text, uint64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool knownKind(char c) {
    return std::string_view("KMCSRWVbxpowlrd").find(c) != std::string_view::npos;
}

}  // namespace

uint64_t textHash(std::string_view text, uint64_t hash) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string encodeHeader(const std::string& installation, const std::string& started) {
    std::string line(kMagic);
    appendField(line, installation);
    appendField(line, started);
    return sealed(std::move(line));
}

std::string encodeRecord(const JournalRecord& r) {
    std::string line(1, static_cast<char>(r.kind));
    appendNumber(line, r.change);
    appendField(line, r.path);
    appendField(line, r.from);
    appendNumber(line, r.fromInstallation ? 1 : 0);
    appendNumber(line, r.stamp.size);
    appendNumber(line, static_cast<uint64_t>(r.stamp.modified));
    appendNumber(line, r.stamp.device);
    appendNumber(line, r.stamp.file);
    appendNumber(line, r.stamp.mode);
    appendNumber(line, r.hash);
    appendNumber(line, r.offset);
    return sealed(std::move(line));
}

JournalContents decodeJournal(std::string_view text, const std::string& name) {
    JournalContents contents;
    size_t lineNumber = 0;
    const auto damaged = [&](const std::string& what) {
        return JournalDamaged("damaged journal " + name + ": line " + std::to_string(lineNumber) +
                              " " + what);
    };
    for (size_t start = 0; start < text.size();) {
        ++lineNumber;
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) break;  // cut short by a killed run
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const size_t cut = line.rfind('\t');
        if (cut == std::string_view::npos ||
            line.substr(cut + 1) != hex(textHash(line.substr(0, cut)))) {
            throw damaged("does not match its checksum");
        }
        bool ok = true;
        const auto fields = fieldsOf(line.substr(0, cut), ok);
        if (!ok) throw damaged("holds a bad escape");
        if (lineNumber == 1) {
            const bool first = fields.size() == 2 && fields[0] == kFirstMagic;
            if (!first && (fields.size() != 3 || fields[0] != kMagic)) {
                throw damaged("is no journal header");
            }
            contents.installation = fields[1];
            if (!first) contents.started = fields[2];
            continue;
        }
        JournalRecord r;
        uint64_t values[9];
        bool numbers = fields.size() == 12;
        for (size_t k = 0, field = 1; numbers && k < 9; ++k, ++field) {
            if (field == 2) field = 4;  // past the two paths
            numbers = number(fields[field], values[k]);
        }
        if (!numbers || fields[0].size() != 1 || !knownKind(fields[0][0]) || values[1] > 1 ||
            values[6] > 07777) {
            throw damaged("is no journal record");
        }
        r.kind = static_cast<RecordKind>(fields[0][0]);
        r.change = values[0];
        r.path = fields[2];
        r.from = fields[3];
        r.fromInstallation = values[1] == 1;
        r.stamp = {values[2], static_cast<int64_t>(values[3]), values[4], values[5],
                   static_cast<uint32_t>(values[6])};
        r.hash = values[7];
        r.offset = values[8];
        contents.records.push_back(std::move(r));
    }
    if (lineNumber == 0 || contents.installation.empty()) {
        throw JournalDamaged("damaged journal " + name + ": no header");
    }
    return contents;
}

}  // namespace zendrik
