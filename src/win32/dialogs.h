// The platform's file dialogs and message boxes, the only modal windows the wizard shows.
// Tests answer them in advance through the seam (setNextFileName, setNextAnswer,
// setUnattended), so that no modal window blocks a test, and read back every one that was
// asked for, with its flags and texts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wizard/dialog_seam.h"

namespace zendrik::win32 {

struct FileRequest {
    enum class Kind { Open, Save };
    Kind kind;
    HWND owner;
    DWORD flags;
    // The filter as the dialog takes it: for each file type its description, NUL, its
    // patterns, NUL; then one more NUL.
    std::wstring filter;
    std::wstring initialName;
    std::wstring initialFolder;        // where an open dialog starts; "" for the system's choice
    std::vector<std::wstring> places;  // folders an open dialog offers in its side bar
};

class FileDialog : public DialogSeam<FileRequest, std::wstring> {
  public:
    using Request = FileRequest;
    using Kind = FileRequest::Kind;
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
    static void setNextFileName(const std::wstring& name) { setNext(name); }
};

struct ShownBox {
    HWND owner;
    std::wstring title;
    std::wstring text;
    UINT type;
};

class MessageBoxes : public DialogSeam<ShownBox, bool> {
  public:
    using Shown = ShownBox;

    // Shows `text` under `title` with only an OK button and no icon, modal to `owner`;
    // returns once it was closed. An empty title shows as empty.
    static void ok(HWND owner, const std::wstring& title, const std::wstring& text);

    // Asks `text` under `title` with the buttons Yes and No and no icon, No the default, modal
    // to `owner`: true for Yes. Closing the box answers No.
    static bool yesNo(HWND owner, const std::wstring& title, const std::wstring& text);
    // The next question is not shown but answered `yes` at once.
    static void setNextAnswer(bool yes) { setNext(yes); }
};

}  // namespace zendrik::win32
