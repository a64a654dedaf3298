#include "journal/journaled_run.h"

namespace zendrik {

JournaledRun::JournaledRun(FileSystem& fs, std::vector<std::string> folders)
    : store_(JournalStore::userRoot().value_or("")), journaling_(fs, store_, std::move(folders)) {
    journaling_.openJournals();
}

}  // namespace zendrik
