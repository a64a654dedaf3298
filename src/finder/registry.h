// The Windows registry as the finder reads it: string values and the names of sub-keys, in
// both registry views (32-bit programs' keys lie under Wow6432Node on 64-bit Windows). A seam:
// the finder asks the system's registry on Windows and a Wine prefix's registry files on
// Linux, and tests give one of their own.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zendrik {

enum class Hive { LocalMachine, CurrentUser };

class Registry {
  public:
    virtual ~Registry() = default;
    // The string value `name` of `key` ("SOFTWARE\Valve\Steam", parts parted by "\"), in
    // the 64-bit view or else the 32-bit one; none when there is none. Never throws.
    virtual std::optional<std::string> value(Hive hive, const std::string& key,
                                             const std::string& name) = 0;
    // The names of the sub-keys of `key`, in both views, each once. Never throws.
    virtual std::vector<std::string> subkeys(Hive hive, const std::string& key) = 0;
};

// The registry of the running Windows; on other systems one that holds nothing.
std::unique_ptr<Registry> systemRegistry();

}  // namespace zendrik
