// The base of a file layer over another FileSystem: passes every call on to that one, so
// that a layer overrides only the calls it changes.
#pragma once

#include "filesystem/file_system.h"

namespace zendrik {

class FileSystemWrapper : public FileSystem {
  public:
    // `target` (not owned) must outlive the wrapper.
    explicit FileSystemWrapper(FileSystem& target) : target_(target) {}

    // The layer below.
    FileSystem& target() const { return target_; }

    void nameExactly(const std::string& path) override { target_.nameExactly(path); }
    std::vector<std::string> listFiles(const std::string& folder,
                                       std::string_view extension) override {
        entering(FsOp::List, folder);
        return target_.listFiles(folder, extension);
    }
    bool fileExists(const std::string& path) override {
        entering(FsOp::Exists, path);
        return target_.fileExists(path);
    }
    bool ambiguous(const std::string& path) override {
        entering(FsOp::Exists, path);
        return target_.ambiguous(path);
    }
    bool writeProtected(const std::string& path) override { return target_.writeProtected(path); }
    std::string spelledOnDisk(const std::string& path) override {
        entering(FsOp::Exists, path);
        return target_.spelledOnDisk(path);
    }
    std::optional<FileStamp> stampOf(const std::string& path) override {
        entering(FsOp::Exists, path);
        return target_.stampOf(path);
    }
    bool sameFile(const std::string& a, const std::string& b) override {
        entering(FsOp::Exists, a);
        return target_.sameFile(a, b);
    }
    bool sameFolder(const std::string& a, const std::string& b) override {
        return target_.sameFolder(a, b);
    }
    std::unique_ptr<InstallationLock> lockInstallation(const std::string& folder,
                                                       std::chrono::milliseconds wait) override {
        entering(FsOp::Lock, folder);
        return target_.lockInstallation(folder, wait);
    }
    bool belongsTo(const std::string& folder, const std::string& installation) override {
        entering(FsOp::Exists, folder);
        return target_.belongsTo(folder, installation);
    }
    bool folderExists(const std::string& path) override {
        entering(FsOp::Exists, path);
        return target_.folderExists(path);
    }
    std::unique_ptr<SequentialReader> openForReading(const std::string& path) override {
        entering(FsOp::Read, path);
        return target_.openForReading(path);
    }
    void writeFile(const std::string& path, std::string_view contents,
                   Sync sync = Sync::Now) override {
        entering(FsOp::Write, path);
        target_.writeFile(path, contents, sync);
    }
    std::unique_ptr<SequentialWriter> openForReplacing(const std::string& path) override {
        entering(FsOp::Write, path);
        return target_.openForReplacing(path);
    }
    void syncDeferredWrites() override { target_.syncDeferredWrites(); }
    Transfer copyFile(const std::string& from, const std::string& to) override {
        entering(FsOp::Copy, from, to);
        return target_.copyFile(from, to);
    }
    Transfer moveFile(const std::string& from, const std::string& to) override {
        entering(FsOp::Move, from, to);
        return target_.moveFile(from, to);
    }
    void removeFile(const std::string& path) override {
        entering(FsOp::Remove, path);
        target_.removeFile(path);
    }
    void setModeAndTime(const std::string& path, uint32_t mode, int64_t modified) override {
        entering(FsOp::Write, path);
        target_.setModeAndTime(path, mode, modified);
    }
    void testAppend(const std::string& path) override {
        entering(FsOp::AppendTest, path);
        target_.testAppend(path);
    }
    void forgetCache() override { target_.forgetCache(); }
    std::vector<std::vector<std::string>> caseTwins(const std::string& folder) override {
        entering(FsOp::List, folder);
        return target_.caseTwins(folder);
    }

  protected:
    // Called by each forwarding call above that can fail on the disk, before it passes the
    // call on: the kind of operation, its first path and a copy's or move's target. A layer
    // that throws here refuses the call; nothing reached the layer below. Does nothing.
    virtual void entering(FsOp op, const std::string& path, const std::string& target = {}) {
        (void)op;
        (void)path;
        (void)target;
    }

  private:
    FileSystem& target_;
};

}  // namespace zendrik
