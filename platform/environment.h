#pragma once
// Process environment: variables, directories, process id, time.
#include <ctime>
#include <optional>
#include <string>

namespace voren::platform {

std::optional<std::string> environment_variable(const char* name);
std::string current_directory();
// The directory holding the program: the directory part of argv[0] when it
// contains a "/", otherwise that of /proc/self/exe.
std::string program_directory(const char* argv0);
int process_id();
// Local calendar time now.
std::tm local_time_now();

} // namespace voren::platform
