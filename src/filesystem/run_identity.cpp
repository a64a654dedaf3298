#include "filesystem/run_identity.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#include <csignal>
#endif

namespace zendrik {
namespace {

std::string hostTag() {
    std::string host;
#ifdef _WIN32
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (::GetComputerNameW(name, &size)) {
        for (DWORD i = 0; i < size; ++i) host += static_cast<char>(name[i] & 0x7F);
    }
#else
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) == 0) host = name;
#endif
    char tag[9];
    std::snprintf(tag, sizeof tag, "%08x",
                  static_cast<unsigned>(std::hash<std::string>{}(host)&0xFFFFFFFFu));
    return tag;
}

unsigned long processNumber() {
#ifdef _WIN32
    return ::GetCurrentProcessId();
#else
    return static_cast<unsigned long>(::getpid());
#endif
}

}  // namespace

const std::string& thisRun() {
    static const std::string host = hostTag();
    // Named anew in a forked child, which is a run of its own.
    thread_local unsigned long process = 0;
    thread_local std::string run;
    if (const unsigned long now = processNumber(); now != process) {
        process = now;
        run = host + "-" + std::to_string(now);
    }
    return run;
}

bool runIsGone(std::string_view run) {
    const size_t dash = run.find('-');
    if (dash == std::string_view::npos || run.substr(0, dash) != thisRun().substr(0, dash)) {
        return false;
    }
    unsigned long process = 0;
    const auto digits = run.substr(dash + 1);
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), process);
    if (error != std::errc() || end != digits.data() + digits.size() || process == 0) return false;
    if (process == processNumber()) return false;
#ifdef _WIN32
    HANDLE h = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(process));
    if (h == nullptr) return ::GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    ::CloseHandle(h);
    return ended;
#else
    return ::kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
#endif
}

}  // namespace zendrik
