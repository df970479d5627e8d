#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace voren::platform {

namespace {

// Starts /bin/sh -c command without copying this process first (the child
// shares memory with us until it runs the shell). -1 when it cannot start.
pid_t spawn_shell(const std::string& command, const posix_spawn_file_actions_t* actions) {
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid = -1;
    int rc =
        posix_spawn(&pid, "/bin/sh", actions, nullptr, const_cast<char* const*>(argv), environ);
    return rc == 0 ? pid : -1;
}

int exit_status(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

int run_shell_command(const std::string& command, bool wait) {
    if (wait) {
        pid_t pid = spawn_shell(command, nullptr);
        return pid < 0 ? -1 : exit_status(pid);
    }
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        // The grandchild runs the command; the child ends at once, so the
        // caller reaps it and no zombie is left behind.
        pid_t inner = fork();
        if (inner != 0) _exit(inner < 0 ? 127 : 0);
        setsid();
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    exit_status(pid);
    return 0;
}

int run_shell_capture(const std::string& command, std::string& output) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 leaves the copy open across the exec.
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    pid_t pid = spawn_shell(command, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return -1;
    }
    char buf[4096];
    for (;;) {
        ssize_t n = read(fds[0], buf, sizeof buf);
        if (n > 0) {
            output.append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    close(fds[0]);
    return exit_status(pid);
}

int run_program_waiting(const std::string& program, const std::vector<std::string>& arguments,
                        const std::vector<EnvironmentChange>& environment_changes, int* error) {
    // The child's environment is built here, before the process exists:
    // nothing but exec runs in the child, and the caller's own environment
    // stays as it was.
    std::vector<std::string> env_text;
    for (char** e = environ; e && *e; ++e) {
        std::string_view entry(*e);
        bool replaced = false;
        for (const auto& [name, value] : environment_changes)
            if (entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 &&
                entry[name.size()] == '=')
                replaced = true;
        if (!replaced) env_text.emplace_back(entry);
    }
    for (const auto& [name, value] : environment_changes)
        if (value) env_text.push_back(name + "=" + *value);
    std::vector<char*> envp;
    for (std::string& e : env_text)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> arg_text;
    arg_text.push_back(program);
    arg_text.insert(arg_text.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : arg_text)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data());
    if (rc != 0) {
        if (error) *error = rc;
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            if (error) *error = errno;
            return -1;
        }
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

char* stack_low_bound() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return nullptr;
    void* addr = nullptr;
    size_t size = 0;
    int rc = pthread_attr_getstack(&attr, &addr, &size);
    pthread_attr_destroy(&attr);
    if (rc != 0) return nullptr;
    return static_cast<char*>(addr);
}

namespace {

struct ThreadJob {
    const std::function<int()>* body;
    int result = 0;
};

void* thread_main(void* p) {
    auto* job = static_cast<ThreadJob*>(p);
    job->result = (*job->body)();
    return nullptr;
}

} // namespace

int run_with_stack(std::size_t bytes, const std::function<int()>& body) {
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) != 0) return body();
    ThreadJob job{&body};
    pthread_t thread;
    bool started = pthread_attr_setstacksize(&attr, bytes) == 0 &&
                   pthread_create(&thread, &attr, thread_main, &job) == 0;
    pthread_attr_destroy(&attr);
    if (!started) return body();
    pthread_join(thread, nullptr);
    return job.result;
}

} // namespace voren::platform
