#pragma once
// The Run key, under which programs start with Windows.
#include <optional>
#include <string>

namespace plat {

enum class RegRoot { LocalMachine, CurrentUser };

// Writes name=value (REG_SZ) under root's Run key, creating the key. False when refused.
bool SetRunValue(RegRoot root, const std::string& name, const std::string& value);
// Deletes the value; false when it was not there or could not be deleted.
bool DeleteRunValue(RegRoot root, const std::string& name);
// The value, when present.
std::optional<std::string> GetRunValue(RegRoot root, const std::string& name);

}  // namespace plat
