#include "filesystem/windows_file_system.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <system_error>

#include "filesystem/flush_together.h"
#include "filesystem/names.h"
#include "filesystem/run_identity.h"
#include "filesystem/temporary_files.h"

namespace zendrik {
namespace {

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// `path` as the wide-character API takes it, at any length.
std::wstring nativePath(const std::string& path) {
    return longPathForm(wide(path));
}

std::string utf8(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<size_t>(n - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

// The system's reason for `error`, worded as on POSIX systems where the meaning is the same,
// so that a failure reads alike on both platforms.
std::string reasonOf(DWORD error) {
    int posix = 0;
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            posix = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
            posix = EACCES;
            break;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            posix = EBUSY;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            posix = ENOSPC;
            break;
        case ERROR_WRITE_PROTECT:
            posix = EROFS;
            break;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            posix = EEXIST;
            break;
        case ERROR_NOT_SAME_DEVICE:
            posix = EXDEV;
            break;
        default:
            return std::system_category().message(static_cast<int>(error));
    }
    return std::generic_category().message(posix);
}

[[noreturn]] void fail(FsOp op, const std::string& path, DWORD error,
                       const std::string& target = {}) {
    throw FsError(op, path, reasonOf(error), target);
}

// Closes a handle when it goes out of scope.
class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid()) ::CloseHandle(h_);
    }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
    // Closes now; false when closing failed.
    bool close() {
        const bool ok = ::CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE h_;
};

// Hidden and system files exist, but never match a listing mask.
constexpr DWORD kNotListed = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

std::pair<std::string, std::string> splitPath(const std::string& path) {
    size_t cut = path.size();
    while (cut > 0 && !isSeparator(path[cut - 1])) --cut;
    return {path.substr(0, cut), path.substr(cut)};
}

// The attributes of `path`, or INVALID_FILE_ATTRIBUTES.
DWORD attributesOf(const std::string& path) {
    return ::GetFileAttributesW(nativePath(path).c_str());
}

// A fresh temporary name of this run beside `target`.
std::string temporaryPathFor(const std::string& target) {
    static unsigned counter = 0;
    const auto [folder, name] = splitPath(target);
    return folder + temporaryNameFor(name, thisRun(), ++counter);
}

// Writes a temporary file beside `target` through `fill`, flushes it when `durable`, and
// renames it over `target`. Returns 0 or the error; on error the target is untouched.
template <typename Fill>
DWORD replaceSafely(const std::string& target, bool durable, Fill fill) {
    const std::wstring temporary = nativePath(temporaryPathFor(target));
    DWORD error = fill(temporary);
    if (error == 0 && durable) {
        Handle h(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h.valid() || !::FlushFileBuffers(h.get())) error = ::GetLastError();
    }
    if (error == 0) {
        const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
        if (!::MoveFileExW(temporary.c_str(), nativePath(target).c_str(), flags)) {
            error = ::GetLastError();
        }
    }
    if (error != 0) ::DeleteFileW(temporary.c_str());
    return error;
}

// Copies `source` to the new file `temporary`. The copy never keeps the read-only attribute,
// which would leave a temporary file that no later run could remove.
DWORD copyTo(const std::string& source, const std::wstring& temporary) {
    if (!::CopyFileW(nativePath(source).c_str(), temporary.c_str(), TRUE)) return ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(temporary.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        !::SetFileAttributesW(temporary.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        return error;
    }
    return 0;
}

// True when an existing file at `path` has the read-only attribute: its owner protected it.
bool readOnly(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(nativePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Volume and index of the file at `path`, to tell whether two paths name one file.
bool fileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    Handle h(::CreateFileW(nativePath(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h.valid() && ::GetFileInformationByHandle(h.get(), &info);
}

// True when `a` and `b` open one file or folder: the same volume and index.
bool oneObject(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION x{}, y{};
    return fileIdentity(a, x) && fileIdentity(b, y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

// The absolute form of `path` as GetFullPathNameW makes it (of any length), or "" on failure.
std::wstring fullWidePath(const std::wstring& path) {
    std::wstring full(std::max<size_t>(path.size() + 1, MAX_PATH), L'\0');
    for (;;) {
        const DWORD n =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return {};
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);  // n counts the closing null when the buffer was too small
    }
}

std::string fullPath(const std::string& path) {
    const std::wstring full = fullWidePath(wide(path));
    return full.empty() ? path : utf8(full.c_str());
}

// A temporary file beside a target, filled front to back and renamed over the target by
// finish(); deleted again if it is never finished, so that the target keeps its old bytes.
class WindowsWriter final : public SequentialWriter {
  public:
    WindowsWriter(const std::string& target, std::string shown, std::function<void()> committed)
        : target_(nativePath(target)),
          temporary_(nativePath(temporaryPathFor(target))),
          shown_(std::move(shown)),
          committed_(std::move(committed)),
          out_(::CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (!out_.valid()) fail(FsOp::Write, shown_, ::GetLastError());
    }
    WindowsWriter(const WindowsWriter&) = delete;
    WindowsWriter& operator=(const WindowsWriter&) = delete;
    ~WindowsWriter() override {
        if (finished_) return;
        if (out_.valid()) out_.close();
        ::DeleteFileW(temporary_.c_str());
    }

    void append(std::string_view data) override {
        for (size_t done = 0; done < data.size();) {
            const size_t rest = data.size() - done;
            const DWORD piece = rest > (1u << 30) ? (1u << 30) : static_cast<DWORD>(rest);
            DWORD written = 0;
            if (!::WriteFile(out_.get(), data.data() + done, piece, &written, nullptr)) {
                fail(FsOp::Write, shown_, ::GetLastError());
            }
            done += written;
        }
    }
    void commit() override { finish(true); }

    // Puts the file in place of the target, flushed to the disk first when `durable`.
    // The bytes always reach the disk before the rename; `durable` makes the rename too.
    void finish(bool durable) {
        if (!::FlushFileBuffers(out_.get())) fail(FsOp::Write, shown_, ::GetLastError());
        if (!out_.close()) fail(FsOp::Write, shown_, ::GetLastError());
        const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
        if (!::MoveFileExW(temporary_.c_str(), target_.c_str(), flags)) {
            fail(FsOp::Write, shown_, ::GetLastError());
        }
        finished_ = true;
        if (committed_) committed_();
    }

  private:
    std::wstring target_;
    std::wstring temporary_;
    std::string shown_;
    std::function<void()> committed_;
    Handle out_;
    bool finished_ = false;
};

class WindowsReader final : public SequentialReader {
  public:
    WindowsReader(HANDLE h, std::string shown) : h_(h), shown_(std::move(shown)) {}
    size_t read(char* buffer, size_t size) override {
        DWORD n = 0;
        const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        if (!::ReadFile(h_.get(), buffer, want, &n, nullptr)) {
            fail(FsOp::Read, shown_, ::GetLastError());
        }
        return n;
    }

  private:
    Handle h_;
    std::string shown_;
};

}  // namespace

std::wstring longPathForm(const std::wstring& path) {
    // Folders end at MAX_PATH - 12 characters without the long form, files at MAX_PATH.
    constexpr size_t kShortest = MAX_PATH - 12;
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) return path;
    const bool absolute =
        path.starts_with(L"\\\\") || (path.size() >= 3 && path[1] == L':' && path[2] == L'\\');
    if (absolute && path.size() < kShortest) return path;
    const std::wstring full = fullWidePath(path);
    if (full.size() < kShortest) return path;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return path;
}

const WindowsFileSystem::Listing& WindowsFileSystem::listing(const std::string& folder) {
    const std::string key = foldName(folder);
    if (auto it = listings_.find(key); it != listings_.end()) return it->second;
    Listing entries;
    WIN32_FIND_DATAW data;
    Handle find(::FindFirstFileExW(nativePath(folder + "*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find.valid()) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
            error != ERROR_DIRECTORY && error != ERROR_INVALID_NAME) {
            fail(FsOp::List, folder, error);
        }
    } else {
        // FindClose, not CloseHandle, ends a search.
        HANDLE search = find.get();
        do {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
            const std::string name = utf8(data.cFileName);
            entries.emplace(std::make_pair(foldName(name), name),
                            (data.dwFileAttributes & kNotListed) == 0);
        } while (::FindNextFileW(search, &data));
        const DWORD error = ::GetLastError();
        ::FindClose(search);
        new (&find) Handle(INVALID_HANDLE_VALUE);
        if (error != ERROR_NO_MORE_FILES) fail(FsOp::List, folder, error);
    }
    return listings_.emplace(key, std::move(entries)).first->second;
}

const std::string* WindowsFileSystem::findFile(const std::string& path) {
    const auto [folder, name] = splitPath(path);
    if (name.empty()) return nullptr;
    const Listing& entries = listing(folder);
    const auto it = entries.lower_bound({foldName(name), std::string()});
    if (it == entries.end() || it->first.first != foldName(name)) return nullptr;
    return &it->first.second;
}

std::string WindowsFileSystem::spelledOnDisk(const std::string& path) {
    const auto [folder, name] = splitPath(path);
    std::string spelled = folder;
    // The folder that holds the file, the one a step names ("system\"): the rest is the
    // user's, or named as the user named it.
    if (folder.size() > 1) {
        const std::string bare = folder.substr(0, folder.size() - 1);
        const auto [above, last] = splitPath(bare);
        WIN32_FIND_DATAW data;
        const HANDLE find = ::FindFirstFileW(nativePath(bare).c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            ::FindClose(find);
            const std::string real = utf8(data.cFileName);
            if (!last.empty() && sameName(real, last) &&
                (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                spelled = above + real + folder.back();
            }
        }
    }
    const std::string* existing = name.empty() ? nullptr : findFile(path);
    return spelled + (existing ? *existing : name);
}

std::string WindowsFileSystem::targetOf(const std::string& path) {
    const std::string* existing = findFile(path);
    return existing ? splitPath(path).first + *existing : path;
}

void WindowsFileSystem::noteWritten(const std::string& path) {
    const auto [folder, name] = splitPath(path);
    if (auto it = listings_.find(foldName(folder)); it != listings_.end()) {
        it->second[{foldName(name), name}] = true;
    }
}

void WindowsFileSystem::noteRemoved(const std::string& path) {
    const auto [folder, name] = splitPath(path);
    if (auto it = listings_.find(foldName(folder)); it != listings_.end()) {
        it->second.erase({foldName(name), name});
    }
}

std::vector<std::string> WindowsFileSystem::listFiles(const std::string& folder,
                                                      std::string_view extension) {
    std::vector<std::string> names;
    for (const auto& entry : listing(folder)) {
        if (entry.second && matchesExtension(entry.first.first, extension)) {
            names.push_back(entry.first.second);
        }
    }
    return names;
}

bool WindowsFileSystem::fileExists(const std::string& path) {
    return findFile(path) != nullptr;
}

bool WindowsFileSystem::sameFile(const std::string& a, const std::string& b) {
    return fileExists(a) && fileExists(b) && oneObject(a, b);
}

bool WindowsFileSystem::writeProtected(const std::string& path) {
    return fileExists(path) && readOnly(targetOf(path));
}

bool WindowsFileSystem::sameFolder(const std::string& a, const std::string& b) {
    return folderExists(a) && folderExists(b) && oneObject(a, b);
}

bool WindowsFileSystem::folderExists(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::unique_ptr<SequentialReader> WindowsFileSystem::openForReading(const std::string& path) {
    const HANDLE h = ::CreateFileW(nativePath(path).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) fail(FsOp::Read, path, ::GetLastError());
    return std::make_unique<WindowsReader>(h, path);
}

void WindowsFileSystem::writeFile(const std::string& path, std::string_view contents, Sync sync) {
    const std::string target = targetOf(path);
    if (readOnly(target)) throw FsError::protectedFile(FsOp::Write, path);
    const bool now = sync == Sync::Now;
    WindowsWriter writer(target, path, nullptr);
    writer.append(contents);
    writer.finish(now);
    noteWritten(target);
    if (now) {
        unsynced_.erase(target);
    } else {
        unsynced_.insert(target);
    }
}

std::unique_ptr<SequentialWriter> WindowsFileSystem::openForReplacing(const std::string& path) {
    const std::string target = targetOf(path);
    return std::make_unique<WindowsWriter>(target, path, [this, target] {
        noteWritten(target);
        unsynced_.erase(target);
    });
}

void WindowsFileSystem::syncDeferredWrites() {
    // The files are whole and in place already; a flush that fails costs durability only.
    // They are flushed all at once, so that their flushes share the disk's commits.
    std::set<std::string> unsynced;
    unsynced.swap(unsynced_);
    const std::vector<std::string> files(unsynced.begin(), unsynced.end());
    const auto failure = flushTogether(files.size(), [&](size_t i) -> int {
        Handle h(::CreateFileW(nativePath(files[i]).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD e = !h.valid()                    ? ::GetLastError()
                        : ::FlushFileBuffers(h.get()) ? 0
                                                      : ::GetLastError();
        return e == ERROR_FILE_NOT_FOUND ? 0 : static_cast<int>(e);
    });
    if (failure) fail(FsOp::Write, files[failure->index], static_cast<DWORD>(failure->error));
}

Transfer WindowsFileSystem::copyFile(const std::string& from, const std::string& to) {
    if (!fileExists(from)) fail(FsOp::Copy, from, ERROR_FILE_NOT_FOUND, to);
    if (sameFile(from, to)) return Transfer::SameFile;
    const std::string target = targetOf(to);
    if (readOnly(target)) throw FsError::protectedFile(FsOp::Copy, to);
    const DWORD error = replaceSafely(
        target, false, [&](const std::wstring& temporary) { return copyTo(from, temporary); });
    if (error != 0) fail(FsOp::Copy, from, error, to);
    noteWritten(target);
    unsynced_.insert(target);  // flushed by syncDeferredWrites, in batches
    return Transfer::Done;
}

Transfer WindowsFileSystem::moveFile(const std::string& from, const std::string& to) {
    if (!fileExists(from)) fail(FsOp::Move, from, ERROR_FILE_NOT_FOUND, to);
    const std::string target = targetOf(to);
    if (oneObject(from, target)) {
        // Already where it is to go.
        if (sameName(fullPath(from), fullPath(target))) return Transfer::SameFile;
        // Two links of one file: the target already holds the bytes; drop the source's name.
        if (!::DeleteFileW(nativePath(from).c_str())) fail(FsOp::Move, from, ::GetLastError(), to);
        noteRemoved(from);
        return Transfer::Done;
    }
    if (fileExists(to) && readOnly(target)) throw FsError::protectedFile(FsOp::Move, to);
    if (!::MoveFileExW(nativePath(from).c_str(), nativePath(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_NOT_SAME_DEVICE) fail(FsOp::Move, from, error, to);
        // Another volume: a durable copy first, so that deleting the source loses nothing.
        const DWORD copyError = replaceSafely(
            target, true, [&](const std::wstring& temporary) { return copyTo(from, temporary); });
        if (copyError != 0) fail(FsOp::Move, from, copyError, to);
        noteWritten(target);
        if (!::DeleteFileW(nativePath(from).c_str())) fail(FsOp::Move, from, ::GetLastError(), to);
    }
    noteWritten(target);
    noteRemoved(from);
    return Transfer::Done;
}

void WindowsFileSystem::removeFile(const std::string& path) {
    if (readOnly(path)) throw FsError::protectedFile(FsOp::Remove, path);
    if (!::DeleteFileW(nativePath(path).c_str())) fail(FsOp::Remove, path, ::GetLastError());
    noteRemoved(path);
}

namespace {

// The lock of one installation; see installation_lock.h. The system deletes the file when
// the handle closes, also when the process ends.
class WindowsInstallationLock final : public InstallationLock {
  public:
    explicit WindowsInstallationLock(HANDLE h) : h_(h) {}
    ~WindowsInstallationLock() override { ::CloseHandle(h_); }

  private:
    HANDLE h_;
};

}  // namespace

std::unique_ptr<InstallationLock> WindowsFileSystem::lockInstallation(
    const std::string& folder, std::chrono::milliseconds wait) {
    const std::wstring path = nativePath(folder + kLockFileName);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            const std::string who = thisRun() + "\r\n";
            DWORD written = 0;
            ::WriteFile(h, who.data(), static_cast<DWORD>(who.size()), &written, nullptr);
            return std::make_unique<WindowsInstallationLock>(h);
        }
        const DWORD error = ::GetLastError();
        // Access denied where no lock file is: the folder may not be written, and no other
        // run is to be waited for. Where one is, another run holds it or is letting it go.
        if (error == ERROR_WRITE_PROTECT ||
            (error == ERROR_ACCESS_DENIED &&
             ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)) {
            throw FsError::protectedFile(FsOp::Lock, folder);
        }
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) {
            fail(FsOp::Lock, folder, error);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw FsError(FsOp::Lock, folder, "in use by another run");
        }
        ::Sleep(50);
    }
}

void WindowsFileSystem::testAppend(const std::string& path) {
    Handle h(::CreateFileW(nativePath(path).c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) fail(FsOp::AppendTest, path, ::GetLastError());
    if (!h.close()) fail(FsOp::AppendTest, path, ::GetLastError());
}

void WindowsFileSystem::nameExactly(const std::string&) {}

bool WindowsFileSystem::ambiguous(const std::string&) {
    return false;
}

std::vector<std::vector<std::string>> WindowsFileSystem::caseTwins(const std::string&) {
    return {};
}

namespace {

// The final path of the folder at `path` (links and junctions followed), letter case folded
// and ending in a separator; none when it cannot be opened.
std::optional<std::string> finalFolderPath(const std::string& path) {
    Handle h(::CreateFileW(nativePath(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h.valid()) return std::nullopt;
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetFinalPathNameByHandleW(h.get(), final.data(), static_cast<DWORD>(final.size()), 0);
        if (n == 0) return std::nullopt;
        if (n < final.size()) {
            final.resize(n);
            break;
        }
        final.resize(n);  // n counts the closing null when the buffer was too small
    }
    std::string folded = foldName(utf8(final.c_str()));
    if (folded.empty() || !isSeparator(folded.back())) folded += '\\';
    return folded;
}

}  // namespace

bool WindowsFileSystem::belongsTo(const std::string& folder, const std::string& installation) {
    const auto inner = finalFolderPath(folder);
    const auto outer = finalFolderPath(installation);
    return !inner || !outer || inner->starts_with(*outer);
}

void WindowsFileSystem::setModeAndTime(const std::string& path, uint32_t, int64_t modified) {
    Handle h(::CreateFileW(nativePath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid()) fail(FsOp::Write, path, ::GetLastError());
    // FILETIME counts 100 nanoseconds since 1601.
    const uint64_t ticks = static_cast<uint64_t>(modified / 100 + 116444736000000000);
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    if (!::SetFileTime(h.get(), nullptr, nullptr, &time)) fail(FsOp::Write, path, ::GetLastError());
}

namespace {

uint64_t joined(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

}  // namespace

// The file that a path names, asked for its size, time and file number through a handle
// that reads nothing.
std::optional<FileStamp> WindowsFileSystem::stampOf(const std::string& path) {
    if (!fileExists(path)) return std::nullopt;
    const HANDLE handle = ::CreateFileW(nativePath(path).c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw FsError(FsOp::Exists, path, "error " + std::to_string(::GetLastError()));
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = ::GetFileInformationByHandle(handle, &info) != 0;
    const DWORD error = ::GetLastError();
    ::CloseHandle(handle);
    if (!ok) throw FsError(FsOp::Exists, path, "error " + std::to_string(error));
    // FILETIME counts 100 nanoseconds since 1601; the stamp counts from 1970.
    const uint64_t ticks =
        joined(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    const int64_t since1970 = static_cast<int64_t>(ticks) - 116444736000000000;
    return FileStamp{joined(info.nFileSizeHigh, info.nFileSizeLow), since1970 * 100,
                     info.dwVolumeSerialNumber, joined(info.nFileIndexHigh, info.nFileIndexLow)};
}

}  // namespace zendrik
