// A hash for maps keyed by std::string that are looked up by std::string_view: with
// std::equal_to<> it lets find() take a view of a buffer or path, with no string made.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace zendrik {

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

}  // namespace zendrik
