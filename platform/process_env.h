#pragma once
// The process's environment and current directory.
#include <optional>
#include <string>

namespace voren::platform {

// The current directory, or nothing when it cannot be read.
std::optional<std::string> current_directory();
// Changes the current directory; returns 0 or the system error number.
int change_directory(const std::string& path);
// The value of an environment variable, or nothing when it is not set.
std::optional<std::string> environment_variable(const std::string& name);

enum class PathKind { Missing, Directory, Other };
PathKind path_kind(const std::string& path);

// The system's text for an error number.
std::string error_text(int error);

} // namespace voren::platform
