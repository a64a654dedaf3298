// What identifies a file's contents cheaply, without reading them: its size, its modification
// time and its identity on the disk (device and file number). A file renamed keeps its stamp;
// a file rewritten, replaced or copied gets another.
#pragma once

#include <cstdint>

namespace zendrik {

struct FileStamp {
    uint64_t size = 0;
    int64_t modified = 0;  // nanoseconds since the epoch, as precise as the file system keeps it
    uint64_t device = 0;
    uint64_t file = 0;

    bool operator==(const FileStamp&) const = default;
    // Same size and modification time: the same contents as far as a stamp can tell, for a
    // file that was put back by a copy and so has another identity.
    bool sameContents(const FileStamp& other) const {
        return size == other.size && modified == other.modified;
    }
};

}  // namespace zendrik
