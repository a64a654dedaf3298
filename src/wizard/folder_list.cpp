#include "wizard/folder_list.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <stdexcept>

#include "filesystem/file_system.h"
#include "filesystem/names.h"
#include "repair/installation_folder.h"

namespace zendrik {
namespace {

// Whether `path` is absolute in the file layer's form: from "/" on POSIX; from a drive's
// root or "\\" (a network share or the \\?\ form) on Windows.
bool isAbsolute(const std::string& path) {
    if constexpr (kSeparator == '\\') {
        if (path.starts_with("\\\\")) return true;
        return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
               path[1] == ':' && path[2] == '\\';
    } else {
        return path.starts_with('/');
    }
}

}  // namespace

std::optional<std::string> installationFolderOf(const std::string& exe) {
    // The file dialog names files by absolute paths; anything else is no pick of it.
    if (!isAbsolute(exe)) return std::nullopt;
    return installationFolderOfExecutable(exe);
}

const std::vector<OpenFilter>& openFilters() {
    static const std::vector<OpenFilter> filters{
        {"Search for UnrealTournament.exe", {"UnrealTournament.exe"}},
        {"Search for any program of the game", {kGamePrograms.begin(), kGamePrograms.end()}},
    };
    return filters;
}

LocateResult FolderList::locate(const std::string& exe) {
    LocateResult result;
    if (exe.empty()) return result;
    const bool listed =
        std::any_of(located_.begin(), located_.end(),
                    [&](const LocatedExecutable& entry) { return entry.path == exe; });
    if (listed) return result;
    const size_t cut = exe.rfind(kSeparator);
    if (!isGameProgram(cut == std::string::npos ? exe : exe.substr(cut + 1))) {
        result.message = exe +
                         " is no program of the game: locate the installation's "
                         "UnrealTournament.exe, ut-bin, ucc-bin, ut-bin-amd64 or ucc-bin-amd64.";
        return result;
    }
    const std::optional<std::string> folder = installationFolderOf(exe);
    if (!folder) {
        result.message = exe +
                         " is not inside a folder of an installation: the program must lie in "
                         "a sub-folder (System or System64) of the installation folder.";
        return result;
    }
    bool writable = true;
    try {
        // The disk as it is now: an installation unpacked since the last look is there.
        fs_.forgetCache();
        fs_.nameExactly(exe);  // the file the user chose, as spelled
        fs_.testAppend(exe);
    } catch (const std::exception&) {
        writable = false;
    }
    if (!writable) result.message = "disable write protection on " + *folder;
    located_.push_back({exe, writable});
    result.listed = true;
    result.selected = writable;
    return result;
}

void FolderList::setSelected(size_t index, bool selected) {
    located_.at(index).selected = selected;
}

namespace {

// Whether `folder` is one folder with one of `taken`: spelled alike, or one folder on the disk.
bool oneOf(FileSystem& fs, const std::vector<std::string>& taken, const std::string& folder) {
    return std::any_of(taken.begin(), taken.end(), [&](const std::string& other) {
        return other == folder || fs.sameFolder(other, folder);
    });
}

}  // namespace

std::vector<std::string> FolderList::selectedInstallations() {
    // The disk as it is now: a link made since the last look is followed.
    fs_.forgetCache();
    std::vector<std::string> folders;
    for (const LocatedExecutable& entry : located_) {
        if (!entry.selected) continue;
        const std::optional<std::string> folder = installationFolderOf(entry.path);
        if (!folder) continue;
        fs_.nameExactly(*folder);  // as the user spelled it: "ut" is not "UT" on Linux
        if (!oneOf(fs_, folders, *folder)) folders.push_back(*folder);
    }
    return folders;
}

void FolderList::erstelleverzeichnisarray() {
    workList_ = selectedInstallations();
}

}  // namespace zendrik
