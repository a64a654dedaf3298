// UTF-8, the engine's and the core's form of text and paths, to and from the UTF-16 that the
// wide-character Win32 API takes.
#pragma once

#include <string>
#include <string_view>

namespace zendrik::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace zendrik::win32
