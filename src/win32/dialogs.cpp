#include "win32/dialogs.h"

#include <commdlg.h>

#include <deque>
#include <optional>

namespace zendrik::win32 {
namespace {

struct FileDialogSeam {
    std::deque<std::wstring> answers;
    std::vector<FileDialog::Request> requests;
    bool unattended = false;
};

FileDialogSeam& fileSeam() {
    static FileDialogSeam seam;
    return seam;
}

struct MessageBoxSeam {
    std::vector<MessageBoxes::Shown> shown;
    std::deque<bool> answers;
    bool unattended = false;
};

MessageBoxSeam& boxSeam() {
    static MessageBoxSeam seam;
    return seam;
}

std::wstring filterOf(const std::vector<FileDialog::Filter>& filters) {
    std::wstring filter;
    for (const FileDialog::Filter& type : filters) {
        filter += type.description;
        filter += L'\0';
        filter += type.patterns;
        filter += L'\0';
    }
    filter += L'\0';
    return filter;
}

// Records the request; the answer given in advance, if any.
std::optional<std::wstring> answerInAdvance(const FileDialog::Request& request) {
    FileDialogSeam& seam = fileSeam();
    seam.requests.push_back(request);
    if (!seam.answers.empty()) {
        std::wstring name = std::move(seam.answers.front());
        seam.answers.pop_front();
        return name;
    }
    if (seam.unattended) return std::wstring();
    return std::nullopt;
}

std::wstring show(const FileDialog::Request& request) {
    // Room for a long path; the dialog reports a name that does not fit as cancelled.
    std::wstring buffer(32768, L'\0');
    request.initialName.copy(buffer.data(),
                             std::min(request.initialName.size(), buffer.size() - 1));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = request.filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = DWORD(buffer.size());
    ofn.Flags = request.flags;
    if (!request.initialFolder.empty()) ofn.lpstrInitialDir = request.initialFolder.c_str();
    const BOOL chosen =
        request.kind == FileDialog::Kind::Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!chosen) return std::wstring();
    return std::wstring(buffer.c_str());
}

}  // namespace

std::wstring FileDialog::open(HWND owner, const std::vector<Filter>& filters,
                              const std::wstring& folder) {
    // The file must exist, and so must its path.
    const Request request{Kind::Open,        owner, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST,
                          filterOf(filters), {},    folder};
    if (auto name = answerInAdvance(request)) return *name;
    return show(request);
}

std::wstring FileDialog::save(HWND owner, const std::wstring& description,
                              const std::wstring& pattern, const std::wstring& previous) {
    // The folder must exist. "The file must exist" is a flag of open dialogs only: a log is
    // saved to a new file as often as over an old one, which the user confirms.
    const Request request{Kind::Save,
                          owner,
                          OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT,
                          filterOf({{description, pattern}}),
                          previous,
                          {}};
    if (auto name = answerInAdvance(request)) return *name;
    return show(request);
}

void FileDialog::answerNext(const std::wstring& name) {
    fileSeam().answers.push_back(name);
}

void FileDialog::setUnattended(bool unattended) {
    fileSeam().unattended = unattended;
}

const std::vector<FileDialog::Request>& FileDialog::history() {
    return fileSeam().requests;
}

void FileDialog::clearHistory() {
    fileSeam().requests.clear();
    fileSeam().answers.clear();
}

void MessageBoxes::ok(HWND owner, const std::wstring& title, const std::wstring& text) {
    const UINT type = MB_OK;
    boxSeam().shown.push_back({owner, title, text, type});
    if (boxSeam().unattended) return;
    MessageBoxW(owner, text.c_str(), title.c_str(), type);
}

bool MessageBoxes::yesNo(HWND owner, const std::wstring& title, const std::wstring& text) {
    const UINT type = MB_YESNO | MB_DEFBUTTON2;
    MessageBoxSeam& seam = boxSeam();
    seam.shown.push_back({owner, title, text, type});
    if (!seam.answers.empty()) {
        const bool yes = seam.answers.front();
        seam.answers.pop_front();
        return yes;
    }
    if (seam.unattended) return false;
    return MessageBoxW(owner, text.c_str(), title.c_str(), type) == IDYES;
}

void MessageBoxes::answerNext(bool yes) {
    boxSeam().answers.push_back(yes);
}

void MessageBoxes::setUnattended(bool unattended) {
    boxSeam().unattended = unattended;
}

const std::vector<MessageBoxes::Shown>& MessageBoxes::history() {
    return boxSeam().shown;
}

void MessageBoxes::clearHistory() {
    boxSeam().shown.clear();
    boxSeam().answers.clear();
}

}  // namespace zendrik::win32
