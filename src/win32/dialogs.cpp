#include "win32/dialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>

namespace zendrik::win32 {
namespace {

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

// Releases a COM interface when it goes.
template <typename T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->Release();
    }
};

// The shell item of the folder `path`, or null.
IShellItem* folderItem(const std::wstring& path) {
    IShellItem* item = nullptr;
    if (FAILED(SHCreateItemFromParsingName(path.c_str(), nullptr, IID_PPV_ARGS(&item)))) {
        return nullptr;
    }
    return item;
}

// The open request in the common item dialog, with its places; none when the system has no
// such dialog, so that the classic one is shown instead.
std::optional<std::wstring> showItemDialog(const FileDialog::Request& request,
                                           const std::vector<FileDialog::Filter>& filters) {
    Released<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&dialog.p)))) {
        return std::nullopt;
    }
    std::vector<COMDLG_FILTERSPEC> types;
    for (const auto& filter : filters) {
        types.push_back({filter.description.c_str(), filter.patterns.c_str()});
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog.p->GetOptions(&options);
    // The classic dialog's OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST.
    options |= FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
    if (FAILED(dialog.p->SetOptions(options)) ||
        FAILED(dialog.p->SetFileTypes(UINT(types.size()), types.data()))) {
        return std::nullopt;
    }
    dialog.p->SetFileTypeIndex(1);
    if (!request.initialFolder.empty()) {
        if (Released<IShellItem> start{folderItem(request.initialFolder)}; start.p) {
            dialog.p->SetFolder(start.p);
        }
    }
    for (const std::wstring& place : request.places) {
        if (Released<IShellItem> item{folderItem(place)}; item.p) {
            dialog.p->AddPlace(item.p, FDAP_BOTTOM);
        }
    }
    if (FAILED(dialog.p->Show(request.owner))) return std::wstring();  // cancelled
    Released<IShellItem> result;
    if (FAILED(dialog.p->GetResult(&result.p))) return std::wstring();
    PWSTR path = nullptr;
    if (FAILED(result.p->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::wstring();
    std::wstring chosen(path);
    CoTaskMemFree(path);
    return chosen;
}

}  // namespace

std::wstring FileDialog::open(HWND owner, const std::vector<Filter>& filters,
                              const std::wstring& folder, const std::vector<std::wstring>& places) {
    // The file must exist, and so must its path.
    const Request request{
        Kind::Open, owner, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, filterOf(filters), {},
        folder,     places};
    if (auto name = answerOf(request, std::wstring())) return *name;
    if (auto chosen = showItemDialog(request, filters)) return *chosen;
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
                          {},
                          {}};
    if (auto name = answerOf(request, std::wstring())) return *name;
    return show(request);
}

void MessageBoxes::ok(HWND owner, const std::wstring& title, const std::wstring& text) {
    const UINT type = MB_OK;
    if (shows({owner, title, text, type})) MessageBoxW(owner, text.c_str(), title.c_str(), type);
}

bool MessageBoxes::yesNo(HWND owner, const std::wstring& title, const std::wstring& text) {
    const UINT type = MB_YESNO | MB_DEFBUTTON2;
    if (const std::optional<bool> answer = answerOf({owner, title, text, type}, false))
        return *answer;
    return MessageBoxW(owner, text.c_str(), title.c_str(), type) == IDYES;
}

}  // namespace zendrik::win32
