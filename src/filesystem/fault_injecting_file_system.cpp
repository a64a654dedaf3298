#include "filesystem/fault_injecting_file_system.h"

namespace zendrik {

void FaultInjectingFileSystem::failOnlyCall(FsOp op, int nth, std::string reason) {
    rule_ = [op, nth](FsOp called, const std::string&, int count) {
        return called == op && count == nth;
    };
    reason_ = std::move(reason);
}

void FaultInjectingFileSystem::failOnlyWhen(std::function<bool(FsOp, const std::string&)> rule,
                                            std::string reason) {
    rule_ = [rule = std::move(rule)](FsOp op, const std::string& path, int) {
        return rule(op, path);
    };
    reason_ = std::move(reason);
}

void FaultInjectingFileSystem::enter(FsOp op, const std::string& path, const std::string& target) {
    const int count = ++counts_[static_cast<size_t>(op)];
    if (rule_ && rule_(op, path, count)) throw FsError(op, path, reason_, target);
}

std::vector<std::string> FaultInjectingFileSystem::listFiles(const std::string& folder,
                                                             std::string_view extension) {
    enter(FsOp::List, folder);
    return target().listFiles(folder, extension);
}

bool FaultInjectingFileSystem::fileExists(const std::string& path) {
    enter(FsOp::Exists, path);
    return target().fileExists(path);
}

bool FaultInjectingFileSystem::folderExists(const std::string& path) {
    enter(FsOp::Exists, path);
    return target().folderExists(path);
}

bool FaultInjectingFileSystem::ambiguous(const std::string& path) {
    enter(FsOp::Exists, path);
    return target().ambiguous(path);
}

bool FaultInjectingFileSystem::sameFile(const std::string& a, const std::string& b) {
    enter(FsOp::Exists, a);
    return target().sameFile(a, b);
}

bool FaultInjectingFileSystem::belongsTo(const std::string& folder,
                                         const std::string& installation) {
    enter(FsOp::Exists, folder);
    return target().belongsTo(folder, installation);
}

std::unique_ptr<SequentialReader> FaultInjectingFileSystem::openForReading(
    const std::string& path) {
    enter(FsOp::Read, path);
    return target().openForReading(path);
}

void FaultInjectingFileSystem::writeFile(const std::string& path, std::string_view contents,
                                         Sync sync) {
    enter(FsOp::Write, path);
    target().writeFile(path, contents, sync);
}

std::unique_ptr<SequentialWriter> FaultInjectingFileSystem::openForReplacing(
    const std::string& path) {
    enter(FsOp::Write, path);
    return target().openForReplacing(path);
}

Transfer FaultInjectingFileSystem::copyFile(const std::string& from, const std::string& to) {
    enter(FsOp::Copy, from, to);
    return target().copyFile(from, to);
}

Transfer FaultInjectingFileSystem::moveFile(const std::string& from, const std::string& to) {
    enter(FsOp::Move, from, to);
    return target().moveFile(from, to);
}

void FaultInjectingFileSystem::removeFile(const std::string& path) {
    enter(FsOp::Remove, path);
    target().removeFile(path);
}

void FaultInjectingFileSystem::testAppend(const std::string& path) {
    enter(FsOp::AppendTest, path);
    target().testAppend(path);
}

}  // namespace zendrik
