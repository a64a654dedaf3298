#include "finder/steam_libraries.h"

#include <optional>

namespace zendrik {
namespace {

// Reads the KeyValues text a token at a time: a quoted string, "{" or "}".
class Tokens {
  public:
    explicit Tokens(std::string_view text) : text_(text) {}

    // The next token; none at the end or at a fault. `quoted` tells a string from a brace.
    std::optional<std::string> next(bool& quoted) {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '/' && at_ + 1 < text_.size() && text_[at_ + 1] == '/') {
                while (at_ < text_.size() && text_[at_] != '\n') ++at_;  // a comment
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                ++at_;
            } else {
                break;
            }
        }
        if (at_ >= text_.size()) return std::nullopt;
        const char c = text_[at_++];
        quoted = c == '"';
        if (c == '{' || c == '}') return std::string(1, c);
        if (!quoted) return std::nullopt;
        std::string token;
        while (at_ < text_.size() && text_[at_] != '"') {
            if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
            token += text_[at_++];
        }
        if (at_ >= text_.size()) return std::nullopt;  // no closing quote
        ++at_;
        return token;
    }

  private:
    std::string_view text_;
    size_t at_ = 0;
};

}  // namespace

std::vector<std::string> steamLibraryFolders(std::string_view vdf) {
    std::vector<std::string> folders;
    Tokens tokens(vdf);
    bool quoted = false;
    int depth = 0;
    std::optional<std::string> key;  // a key read, its value not yet
    for (auto token = tokens.next(quoted); token; token = tokens.next(quoted)) {
        if (!quoted && *token == "{") {
            ++depth;
            key.reset();
        } else if (!quoted && *token == "}") {
            if (--depth < 0) break;
            key.reset();
        } else if (!key) {
            key = std::move(*token);
        } else {
            // "path" in a library's block; or, in older files, a number at the top level.
            const bool numbered = depth == 1 && !key->empty() &&
                                  key->find_first_not_of("0123456789") == std::string::npos;
            if ((depth == 2 && *key == "path") || numbered) folders.push_back(std::move(*token));
            key.reset();
        }
    }
    return folders;
}

}  // namespace zendrik
