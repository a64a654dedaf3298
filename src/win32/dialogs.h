// The platform's file dialogs and message boxes, the only modal windows the wizard shows.
// Tests answer them in advance, so that no modal window blocks a test, and read back every
// one that was asked for, with its flags and texts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zendrik::win32 {

class FileDialog {
  public:
    enum class Kind { Open, Save };
    struct Request {
        Kind kind;
        HWND owner;
        DWORD flags;
        // The filter as the dialog takes it: for each file type its description, NUL, its
        // patterns, NUL; then one more NUL.
        std::wstring filter;
        std::wstring initialName;
        std::wstring initialFolder;  // where an open dialog starts; "" for the system's choice
        std::vector<std::wstring> places;  // folders an open dialog offers in its side bar
    };
    // A file type: its description and its name patterns, separated by ";".
    struct Filter {
        std::wstring description;
        std::wstring patterns;
    };

    // Asks for an existing file, offering `filters` in order, the first chosen at the start,
    // starting in `folder` (unless "") and offering `places` in its side bar: the common item
    // dialog where the system has it, else the classic one (which starts there, with no
    // places). The path the user chose, "" when they cancelled.
    static std::wstring open(HWND owner, const std::vector<Filter>& filters,
                             const std::wstring& folder = {},
                             const std::vector<std::wstring>& places = {});
    // Asks for a file to save to, starting at `previous`: the path the user named (as typed,
    // no extension added), "" when they cancelled.
    static std::wstring save(HWND owner, const std::wstring& description,
                             const std::wstring& pattern, const std::wstring& previous);

    // The next dialog is not shown but returns `name` at once ("" for a cancelled dialog).
    static void answerNext(const std::wstring& name);
    // When set, every dialog that was not answered in advance returns "" at once.
    static void setUnattended(bool unattended);
    // Every dialog asked for since the last clearHistory.
    static const std::vector<Request>& history();
    static void clearHistory();
};

class MessageBoxes {
  public:
    struct Shown {
        HWND owner;
        std::wstring title;
        std::wstring text;
        UINT type;
    };

    // Shows `text` under `title` with only an OK button and no icon, modal to `owner`;
    // returns once it was closed. An empty title shows as empty.
    static void ok(HWND owner, const std::wstring& title, const std::wstring& text);

    // Asks `text` under `title` with the buttons Yes and No and no icon, No the default, modal
    // to `owner`: true for Yes. Closing the box answers No.
    static bool yesNo(HWND owner, const std::wstring& title, const std::wstring& text);
    // The next question is not shown but answered `yes` at once.
    static void answerNext(bool yes);

    // When set, every box is answered at once instead of being shown: OK, and No to a
    // question not answered in advance.
    static void setUnattended(bool unattended);
    static const std::vector<Shown>& history();
    // Also drops the answers given in advance.
    static void clearHistory();
};

}  // namespace zendrik::win32
