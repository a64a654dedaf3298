// WindowsFileSystem::stampOf: the file that a path names, asked for its size, time and file
// number through a handle that reads nothing.
#include <windows.h>

#include "filesystem/windows_file_system.h"

namespace zendrik {
namespace {

std::wstring widePath(const std::string& text) {
    if (text.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

uint64_t joined(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

}  // namespace

std::optional<FileStamp> WindowsFileSystem::stampOf(const std::string& path) {
    if (!fileExists(path)) return std::nullopt;
    const HANDLE handle = ::CreateFileW(widePath(path).c_str(), 0,
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
