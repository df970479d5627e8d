#include "platform/environment.h"

#include "platform/files.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace voren::platform {

std::optional<std::string> environment_variable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

void unset_environment_variable(const std::string& name) {
    unsetenv(name.c_str());
}

std::optional<std::string> current_directory() {
    char* dir = getcwd(nullptr, 0);
    if (!dir) return std::nullopt;
    std::string result(dir);
    free(dir);
    return result;
}

namespace {
std::atomic<unsigned long> directory_change_count{0};
}

int change_directory(const std::string& path) {
    if (chdir(path.c_str()) != 0) return errno;
    ++directory_change_count;
    return 0;
}

unsigned long directory_changes() {
    return directory_change_count.load();
}

PathKind path_kind(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return PathKind::Missing;
    return S_ISDIR(st.st_mode) ? PathKind::Directory : PathKind::Other;
}

std::string program_directory(const char* argv0) {
    std::string program = argv0 ? argv0 : "";
    if (program.find('/') == std::string::npos) {
        char buffer[PATH_MAX];
        ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (length <= 0) return current_directory().value_or("/");
        program.assign(buffer, size_t(length));
    }
    std::string dir = directory_part(program);
    return absolute_path(dir.empty() ? "." : dir);
}

int process_id() {
    return int(getpid());
}

std::tm local_time_now() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return parts;
}

} // namespace voren::platform
