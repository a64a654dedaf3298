#include "filesystem/folder_in_the_way.h"

#include "filesystem/names.h"

namespace zendrik {

bool folderInTheWay(FileSystem& fs, const std::string& path) {
    try {
        return fs.folderExists(path);
    } catch (const FsError& e) {
        // Taken as a folder, the name itself could not be entered: the layer names it with
        // its closing separator. A refusal of anything above it is the step's to report.
        if (e.path() == path + kSeparator) return false;
        throw;
    }
}

}  // namespace zendrik
