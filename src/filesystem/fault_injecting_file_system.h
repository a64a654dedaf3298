// A FileSystem that passes every call on to another one, except the calls a test chose to
// refuse: those throw FsError before anything reaches the disk, as a refusal of the
// platform would. Counts every call per kind of operation, so a test can aim at the
// first, a middle or the last call of a run.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "filesystem/file_system_wrapper.h"

namespace zendrik {

class FaultInjectingFileSystem final : public FileSystemWrapper {
  public:
    explicit FaultInjectingFileSystem(FileSystem& target) : FileSystemWrapper(target) {}

    // From now on refuses only the `nth` call (counted from 1) of kind `op`, with `reason`;
    // the rule set before is dropped.
    void failOnlyCall(FsOp op, int nth, std::string reason = "injected fault");
    // From now on refuses only the calls whose kind and first path satisfy `rule`; the rule
    // set before is dropped.
    void failOnlyWhen(std::function<bool(FsOp op, const std::string& path)> rule,
                      std::string reason = "injected fault");
    // The number of calls of kind `op` so far, refused ones included.
    int calls(FsOp op) const { return counts_[static_cast<size_t>(op)]; }

    std::vector<std::string> listFiles(const std::string& folder,
                                       std::string_view extension) override;
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    bool ambiguous(const std::string& path) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    std::string spelledOnDisk(const std::string& path) override {
        enter(FsOp::Exists, path);
        return target().spelledOnDisk(path);
    }
    std::optional<FileStamp> stampOf(const std::string& path) override {
        enter(FsOp::Exists, path);
        return target().stampOf(path);
    }
    bool belongsTo(const std::string& folder, const std::string& installation) override;
    std::unique_ptr<InstallationLock> lockInstallation(const std::string& folder,
                                                       std::chrono::milliseconds wait) override {
        enter(FsOp::Lock, folder);
        return target().lockInstallation(folder, wait);
    }
    std::unique_ptr<SequentialReader> openForReading(const std::string& path) override;
    void writeFile(const std::string& path, std::string_view contents,
                   Sync sync = Sync::Now) override;
    std::unique_ptr<SequentialWriter> openForReplacing(const std::string& path) override;
    Transfer copyFile(const std::string& from, const std::string& to) override;
    Transfer moveFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override;
    void setModeAndTime(const std::string& path, uint32_t mode, int64_t modified) override {
        enter(FsOp::Write, path);
        target().setModeAndTime(path, mode, modified);
    }
    void testAppend(const std::string& path) override;
    std::vector<std::vector<std::string>> caseTwins(const std::string& folder) override {
        enter(FsOp::List, folder);
        return target().caseTwins(folder);
    }

  private:
    // Counts the call and throws when it is one to refuse.
    void enter(FsOp op, const std::string& path, const std::string& target = {});

    std::array<int, kFsOpCount> counts_{};
    std::function<bool(FsOp, const std::string&, int)> rule_;
    std::string reason_;
};

}  // namespace zendrik
