// Windows: the command line and the console in Unicode. The engine speaks UTF-8; Windows hands
// a program its arguments, and shows a console's text, in UTF-16, and anything narrower goes
// through a code page that cannot hold every name.
#pragma once
#ifdef _WIN32

#include <functional>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace zendrik {

// The arguments of `commandLine` after the program's name, split as CommandLineToArgvW
// splits them, in UTF-8. None when an argument is not valid UTF-16 (a lone surrogate), as no
// UTF-8 path could name that file.
std::optional<std::vector<std::string>> utf8Arguments(const wchar_t* commandLine);

// A stream buffer that takes UTF-8 text and hands it to `show` as UTF-16, at every flush and
// whenever some kilobytes are waiting. A character whose bytes are split between two writes
// waits for its last byte, so that it is shown whole. `show` returns false on failure, which
// fails the stream.
class WideTextBuffer : public std::streambuf {
  public:
    using Show = std::function<bool(std::wstring_view)>;
    explicit WideTextBuffer(Show show) : show_(std::move(show)) {}
    WideTextBuffer(const WideTextBuffer&) = delete;
    WideTextBuffer& operator=(const WideTextBuffer&) = delete;
    // Shows what is still waiting, a character cut short included.
    ~WideTextBuffer() override { showWaiting(true); }

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize size) override;
    int sync() override;

  private:
    // Shows the whole characters waiting, or all bytes when `all` (bad ones as U+FFFD).
    bool showWaiting(bool all);

    Show show_;
    std::string waiting_;
};

// Standard output or error (`error`) as a stream: its own WideTextBuffer writing with
// WriteConsoleW when the handle is a console, so that every name shows right; else
// `redirected` (std::cout or std::cerr), whose UTF-8 bytes go to the file or pipe unchanged.
class ConsoleStream {
  public:
    ConsoleStream(bool error, std::ostream& redirected);
    ConsoleStream(const ConsoleStream&) = delete;
    ConsoleStream& operator=(const ConsoleStream&) = delete;
    ~ConsoleStream();
    std::ostream& stream() { return console_ ? *console_ : redirected_; }

  private:
    std::ostream& redirected_;
    std::optional<WideTextBuffer> buffer_;
    std::optional<std::ostream> console_;
};

}  // namespace zendrik

#endif
