#include "finder/registry.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>

#include "filesystem/utf8_paths.h"

namespace zendrik {
namespace {

#ifdef _WIN32

std::string narrow(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

HKEY rootOf(Hive hive) {
    return hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The 64-bit view first, then the 32-bit one, where 32-bit installers write.
constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

class WindowsRegistry final : public Registry {
  public:
    std::optional<std::string> value(Hive hive, const std::string& key,
                                     const std::string& name) override {
        for (const REGSAM view : kViews) {
            HKEY opened = nullptr;
            if (::RegOpenKeyExW(rootOf(hive), wideOf(key).c_str(), 0, KEY_QUERY_VALUE | view,
                                &opened) != ERROR_SUCCESS) {
                continue;
            }
            wchar_t data[4096];
            DWORD size = sizeof data - sizeof(wchar_t);
            DWORD type = 0;
            const LONG read = ::RegQueryValueExW(opened, wideOf(name).c_str(), nullptr, &type,
                                                 reinterpret_cast<BYTE*>(data), &size);
            ::RegCloseKey(opened);
            if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
            std::wstring text(data, size / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.pop_back();
            if (type == REG_EXPAND_SZ) {
                wchar_t expanded[4096];
                const DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), expanded, 4096);
                if (n > 0 && n <= 4096) text = expanded;
            }
            return narrow(text);
        }
        return std::nullopt;
    }

    std::vector<std::string> subkeys(Hive hive, const std::string& key) override {
        std::vector<std::string> names;
        for (const REGSAM view : kViews) {
            HKEY opened = nullptr;
            if (::RegOpenKeyExW(rootOf(hive), wideOf(key).c_str(), 0, KEY_READ | view, &opened) !=
                ERROR_SUCCESS) {
                continue;
            }
            wchar_t name[256];
            for (DWORD i = 0;; ++i) {
                DWORD length = 256;
                if (::RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                    ERROR_SUCCESS) {
                    break;
                }
                const std::string found = narrow(std::wstring(name, length));
                if (std::find(names.begin(), names.end(), found) == names.end()) {
                    names.push_back(found);
                }
            }
            ::RegCloseKey(opened);
        }
        return names;
    }
};

#else

class NoRegistry final : public Registry {
  public:
    std::optional<std::string> value(Hive, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::vector<std::string> subkeys(Hive, const std::string&) override { return {}; }
};

#endif

}  // namespace

std::unique_ptr<Registry> systemRegistry() {
#ifdef _WIN32
    return std::make_unique<WindowsRegistry>();
#else
    return std::make_unique<NoRegistry>();
#endif
}

}  // namespace zendrik
