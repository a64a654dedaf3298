// What identifies a file's contents cheaply, without reading them: its size, its modification
// time and its identity on the disk (device and file number). A file renamed keeps its stamp;
// a file rewritten, replaced or copied gets another. Its permission bits come along, but are
// no part of what identifies it.
#pragma once

#include <cstdint>

namespace zendrik {

struct FileStamp {
    uint64_t size = 0;
    int64_t modified = 0;  // nanoseconds since 1970 (UTC), as precise as the file system keeps it
    uint64_t device = 0;
    uint64_t file = 0;
    uint32_t mode = 0;  // the permission bits (POSIX); 0 where the system has none

    bool operator==(const FileStamp& other) const {
        return sameContents(other) && device == other.device && file == other.file;
    }
    // Same size and modification time: the same contents as far as a stamp can tell, for a
    // file that was put back by a copy and so has another identity.
    bool sameContents(const FileStamp& other) const {
        return size == other.size && modified == other.modified;
    }
};

}  // namespace zendrik
