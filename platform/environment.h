#pragma once
// Process environment: variables, directories, process id, time.
#include <ctime>
#include <optional>
#include <string>

namespace voren::platform {

// The value of an environment variable, or nothing when it is not set.
std::optional<std::string> environment_variable(const std::string& name);
// Removes an environment variable from the program's environment.
void unset_environment_variable(const std::string& name);
// The current directory, or nothing when it cannot be read.
std::optional<std::string> current_directory();
// Changes the current directory; returns 0 or the system error number.
int change_directory(const std::string& path);
// How many times change_directory changed the current directory: a cache
// of the current directory is valid while this count stays the same.
unsigned long directory_changes();

enum class PathKind { Missing, Directory, Other };
PathKind path_kind(const std::string& path);
// The directory holding the program: the directory part of argv[0] when it
// contains a "/", otherwise that of /proc/self/exe.
std::string program_directory(const char* argv0);
int process_id();
// Local calendar time now.
std::tm local_time_now();

} // namespace voren::platform
