#include "cli/windows_console.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <algorithm>

namespace zendrik {
namespace {

// How many bytes the UTF-8 sequence that begins with `lead` has; 1 for a byte that begins none.
size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    return 1;
}

// The length of the longest prefix of `text` that does not end inside a UTF-8 sequence.
size_t wholeCharacters(std::string_view text) {
    const size_t end = text.size();
    for (size_t back = 1; back <= std::min<size_t>(3, end); ++back) {
        const auto byte = static_cast<unsigned char>(text[end - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        return sequenceLength(byte) > back ? end - back : end;
    }
    return end;
}

}  // namespace

std::optional<std::vector<std::string>> utf8Arguments(const wchar_t* commandLine) {
    int count = 0;
    wchar_t** split = ::CommandLineToArgvW(commandLine, &count);
    if (split == nullptr) return std::nullopt;
    std::vector<std::string> arguments;
    bool valid = true;
    for (int i = 1; i < count && valid; ++i) {
        const int length = static_cast<int>(::wcslen(split[i]));
        std::string& argument = arguments.emplace_back();
        if (length == 0) continue;
        const int n = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, split[i], length,
                                            nullptr, 0, nullptr, nullptr);
        argument.resize(static_cast<size_t>(n));
        valid = n > 0 && ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, split[i], length,
                                               argument.data(), n, nullptr, nullptr) == n;
    }
    ::LocalFree(split);
    if (!valid) return std::nullopt;
    return arguments;
}

WideTextBuffer::int_type WideTextBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    waiting_.push_back(traits_type::to_char_type(c));
    if (waiting_.size() >= 4096 && !showWaiting(false)) return traits_type::eof();
    return c;
}

std::streamsize WideTextBuffer::xsputn(const char* text, std::streamsize size) {
    waiting_.append(text, static_cast<size_t>(size));
    if (waiting_.size() >= 4096 && !showWaiting(false)) return 0;
    return size;
}

int WideTextBuffer::sync() {
    return showWaiting(false) ? 0 : -1;
}

bool WideTextBuffer::showWaiting(bool all) {
    const size_t cut = all ? waiting_.size() : wholeCharacters(waiting_);
    if (cut == 0) return true;
    std::wstring wide(cut, L'\0');  // never more UTF-16 units than UTF-8 bytes
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, waiting_.data(), static_cast<int>(cut),
                                        wide.data(), static_cast<int>(wide.size()));
    waiting_.erase(0, cut);
    wide.resize(static_cast<size_t>(std::max(n, 0)));
    if (n > 0 && show_(wide)) return true;
    waiting_.clear();  // a failed stream writes nothing more
    return false;
}

ConsoleStream::ConsoleStream(bool error, std::ostream& redirected) : redirected_(redirected) {
    const HANDLE handle = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) {
        return;  // a file, a pipe or nothing: UTF-8 bytes through the C++ library
    }
    buffer_.emplace([handle](std::wstring_view text) {
        while (!text.empty()) {
            // Pieces of at most 8192 units that never part a surrogate pair.
            size_t piece = std::min<size_t>(text.size(), 8192);
            if (piece < text.size() && IS_HIGH_SURROGATE(text[piece - 1])) --piece;
            DWORD written = 0;
            if (!::WriteConsoleW(handle, text.data(), static_cast<DWORD>(piece), &written,
                                 nullptr) ||
                written == 0) {
                return false;
            }
            text.remove_prefix(std::min<size_t>(written, text.size()));
        }
        return true;
    });
    console_.emplace(&*buffer_);
    if (error) console_->setf(std::ios::unitbuf);
}

ConsoleStream::~ConsoleStream() {
    if (console_) console_->flush();
}

}  // namespace zendrik
