// Paths given as UTF-8 text, for the standard library and the Windows API: a plain string
// would be read and written in the ANSI code page on Windows, which mangles names outside it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zendrik {

// The path that the UTF-8 text `text` names.
inline std::filesystem::path pathOf(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// The UTF-8 text of `path`.
inline std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32
// The UTF-16 text of the UTF-8 text `text`, as the wide-character API takes it.
inline std::wstring wideOf(std::string_view text) {
    return pathOf(text).wstring();
}
#endif

}  // namespace zendrik
