#include "platform/host_command.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

extern char** environ;

namespace voren::platform {

namespace {

// How often a wait looks at the stop flag.
constexpr int kStopPollMs = 50;
// How long a child asked to end may take before it is killed.
constexpr int kTerminateGraceMs = 1000;

int exit_status(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 255;
}

bool stop_requested(StopFlag flag) {
    return flag && *flag;
}

void sleep_ms(int ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

// A descriptor that becomes readable when the child ends; -1 when the
// kernel has no pidfd_open.
int open_pidfd(pid_t pid) {
#ifdef SYS_pidfd_open
    long fd = syscall(SYS_pidfd_open, pid, 0);
    return fd < 0 ? -1 : static_cast<int>(fd);
#else
    (void)pid;
    return -1;
#endif
}

// Reaps pid without blocking; true with its status when it has ended.
bool reap_now(pid_t pid, int& status) {
    for (;;) {
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return true;
        if (r < 0 && errno == EINTR) continue;
        return false;
    }
}

// Asks the child to end, kills it when it does not, and reaps it.
int end_child(pid_t pid) {
    int status = 0;
    if (reap_now(pid, status)) return exit_status(status);
    kill(pid, SIGTERM);
    for (int waited = 0; waited < kTerminateGraceMs; waited += 10) {
        if (reap_now(pid, status)) return exit_status(status);
        sleep_ms(10);
    }
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return exit_status(status);
}

// Waits for pid to end, watching the stop flag. False when stopped (the
// child is then ended and reaped, its status in status).
bool wait_for(pid_t pid, StopFlag stop_flag, int& status) {
    if (!stop_flag) {
        while (waitpid(pid, &status, 0) < 0) {
            if (errno != EINTR) {
                status = 0;
                return true;
            }
        }
        status = exit_status(status);
        return true;
    }
    int pidfd = open_pidfd(pid);
    int backoff_us = 50;
    for (;;) {
        int raw = 0;
        if (reap_now(pid, raw)) {
            if (pidfd >= 0) close(pidfd);
            status = exit_status(raw);
            return true;
        }
        if (stop_requested(stop_flag)) {
            if (pidfd >= 0) close(pidfd);
            status = end_child(pid);
            return false;
        }
        if (pidfd >= 0) {
            pollfd p{pidfd, POLLIN, 0};
            poll(&p, 1, kStopPollMs); // a signal ends it early (EINTR)
        } else {
            // No pidfd: short sleeps that grow to the poll interval.
            timespec ts{0, backoff_us * 1000L};
            nanosleep(&ts, nullptr);
            if (backoff_us < kStopPollMs * 1000) backoff_us *= 2;
        }
    }
}

struct Spawn {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    Spawn() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attr);
        // The child starts with default signal actions and nothing blocked,
        // whatever the interpreter set for itself.
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int s : {SIGINT, SIGQUIT, SIGPIPE, SIGTERM, SIGCHLD, SIGHUP})
            sigaddset(&defaults, s);
        posix_spawnattr_setsigdefault(&attr, &defaults);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~Spawn() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
    // 0 and the child's id, or the errno value.
    int run(const std::string& command, pid_t& pid) {
        const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
        return posix_spawn(&pid, "/bin/sh", &actions, &attr, const_cast<char* const*>(argv),
                           environ);
    }
};

void close_fd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// Blocks SIGPIPE for the calling thread while it lives, so that writing to a
// pipe whose reader is gone fails with EPIPE instead of ending the process;
// a SIGPIPE raised meanwhile is taken off before the old mask comes back.
struct PipeSignalBlock {
    sigset_t old_mask;
    bool active = false;
    void start() {
        sigset_t pipe_only;
        sigemptyset(&pipe_only);
        sigaddset(&pipe_only, SIGPIPE);
        active = pthread_sigmask(SIG_BLOCK, &pipe_only, &old_mask) == 0;
    }
    ~PipeSignalBlock() {
        if (!active) return;
        sigset_t pipe_only;
        sigemptyset(&pipe_only);
        sigaddset(&pipe_only, SIGPIPE);
        sigset_t pending;
        if (!sigismember(&old_mask, SIGPIPE) && sigpending(&pending) == 0 &&
            sigismember(&pending, SIGPIPE)) {
            timespec zero{0, 0};
            sigtimedwait(&pipe_only, nullptr, &zero);
        }
        pthread_sigmask(SIG_SETMASK, &old_mask, nullptr);
    }
};

} // namespace

ChildResult run_child(const std::string& command, const ChildOptions& options) {
    ChildResult result;
    int out_pipe[2] = {-1, -1}, err_pipe[2] = {-1, -1}, in_pipe[2] = {-1, -1};
    auto fail = [&](int error) {
        close_fd(out_pipe[0]);
        close_fd(out_pipe[1]);
        close_fd(err_pipe[0]);
        close_fd(err_pipe[1]);
        close_fd(in_pipe[0]);
        close_fd(in_pipe[1]);
        result.error_number = error;
        return result;
    };
    if (options.capture_output && pipe2(out_pipe, O_CLOEXEC) != 0) return fail(errno);
    if (options.capture_errors && pipe2(err_pipe, O_CLOEXEC) != 0) return fail(errno);
    PipeSignalBlock pipe_signal;
    if (options.input) {
        if (pipe2(in_pipe, O_CLOEXEC) != 0) return fail(errno);
        fcntl(in_pipe[1], F_SETFL, fcntl(in_pipe[1], F_GETFL) | O_NONBLOCK);
        pipe_signal.start();
    }

    Spawn spawn;
    if (options.input) posix_spawn_file_actions_adddup2(&spawn.actions, in_pipe[0], 0);
    if (options.capture_output) posix_spawn_file_actions_adddup2(&spawn.actions, out_pipe[1], 1);
    if (options.capture_errors)
        posix_spawn_file_actions_adddup2(&spawn.actions, err_pipe[1], 2);
    else if (options.discard_errors)
        posix_spawn_file_actions_addopen(&spawn.actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = spawn.run(command, pid);
    if (rc != 0) return fail(rc);
    result.started = true;
    close_fd(out_pipe[1]);
    close_fd(err_pipe[1]);
    close_fd(in_pipe[0]);
    int in_fd = in_pipe[1];
    if (in_fd >= 0 && options.input->empty()) close_fd(in_fd);

    // Feed the input and read both pipes until they close, so that none of
    // them fills up.
    int fds[2] = {out_pipe[0], err_pipe[0]};
    std::string* sinks[2] = {&result.output, &result.errors};
    char buffer[65536];
    while (fds[0] >= 0 || fds[1] >= 0 || in_fd >= 0) {
        if (stop_requested(options.stop_flag)) break;
        pollfd p[3];
        int n = 0, which[2];
        for (int i = 0; i < 2; ++i) {
            if (fds[i] < 0) continue;
            p[n] = {fds[i], POLLIN, 0};
            which[n++] = i;
        }
        int readers = n;
        if (in_fd >= 0) p[n++] = {in_fd, POLLOUT, 0};
        int ready = poll(p, static_cast<nfds_t>(n), options.stop_flag ? kStopPollMs : -1);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (in_fd >= 0 && p[readers].revents) {
            const std::string& text = *options.input;
            ssize_t put = write(in_fd, text.data() + result.input_written,
                                text.size() - result.input_written);
            if (put > 0) result.input_written += static_cast<size_t>(put);
            // Done, or the reader is gone (EPIPE): no more input.
            if (result.input_written == text.size() ||
                (put < 0 && errno != EINTR && errno != EAGAIN))
                close_fd(in_fd);
        }
        for (int k = 0; k < readers; ++k) {
            if (!(p[k].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            int i = which[k];
            ssize_t got = read(fds[i], buffer, sizeof buffer);
            if (got > 0)
                sinks[i]->append(buffer, static_cast<size_t>(got));
            else if (got == 0 || errno != EINTR)
                close_fd(fds[i]);
        }
    }
    if (stop_requested(options.stop_flag)) {
        // Keep what the child wrote before it is ended.
        for (int i = 0; i < 2; ++i) {
            if (fds[i] < 0) continue;
            fcntl(fds[i], F_SETFL, fcntl(fds[i], F_GETFL) | O_NONBLOCK);
            for (;;) {
                ssize_t got = read(fds[i], buffer, sizeof buffer);
                if (got > 0) {
                    sinks[i]->append(buffer, static_cast<size_t>(got));
                    continue;
                }
                if (got < 0 && errno == EINTR) continue;
                break;
            }
        }
    }
    close_fd(fds[0]);
    close_fd(fds[1]);
    close_fd(in_fd);

    int status = 0;
    if (stop_requested(options.stop_flag)) {
        result.status = end_child(pid);
        result.stopped = true;
        return result;
    }
    result.stopped = !wait_for(pid, options.stop_flag, status);
    result.status = status;
    return result;
}

bool program_exists(const std::string& name) {
    auto executable = [](const std::string& path) {
        struct stat st;
        return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
               access(path.c_str(), X_OK) == 0;
    };
    if (name.empty()) return false;
    if (name.find('/') != std::string::npos) return executable(name);
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    for (;;) {
        size_t end = dirs.find(':', start);
        std::string_view dir = std::string_view(dirs).substr(
            start, end == std::string::npos ? std::string::npos : end - start);
        if (dir.empty()) dir = ".";
        std::string candidate(dir);
        candidate += '/';
        candidate += name;
        if (executable(candidate)) return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

int start_child(const std::string& command, int& error_number) {
    Spawn spawn;
    pid_t pid = 0;
    int rc = spawn.run(command, pid);
    if (rc != 0) {
        error_number = rc;
        return -1;
    }
    error_number = 0;
    return static_cast<int>(pid);
}

ChildState wait_child(int pid, bool wait, int& status, StopFlag stop_flag) {
    if (pid <= 0) return ChildState::Unknown;
    int raw = 0;
    for (;;) {
        pid_t r = waitpid(pid, &raw, WNOHANG);
        if (r == pid) {
            status = exit_status(raw);
            return ChildState::Ended;
        }
        if (r < 0) {
            if (errno == EINTR) continue;
            return ChildState::Unknown;
        }
        break;
    }
    if (!wait) return ChildState::Running;
    if (!stop_flag) {
        while (waitpid(pid, &raw, 0) < 0) {
            if (errno != EINTR) return ChildState::Unknown;
        }
        status = exit_status(raw);
        return ChildState::Ended;
    }
    int pidfd = open_pidfd(pid);
    for (;;) {
        if (reap_now(pid, raw)) {
            if (pidfd >= 0) close(pidfd);
            status = exit_status(raw);
            return ChildState::Ended;
        }
        if (stop_requested(stop_flag)) {
            if (pidfd >= 0) close(pidfd);
            return ChildState::Running;
        }
        if (pidfd >= 0) {
            pollfd p{pidfd, POLLIN, 0};
            poll(&p, 1, kStopPollMs);
        } else {
            sleep_ms(5);
        }
    }
}

int signal_process(int pid, int signal_number) {
    if (pid <= 0) return EINVAL;
    return kill(pid, signal_number) == 0 ? 0 : errno;
}

bool sleep_microseconds(long long microseconds, StopFlag stop_flag) {
    while (microseconds > 0) {
        if (stop_requested(stop_flag)) return false;
        long long step =
            stop_flag ? std::min<long long>(microseconds, kStopPollMs * 1000LL) : microseconds;
        timespec ts{static_cast<time_t>(step / 1000000), static_cast<long>(step % 1000000) * 1000};
        while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
            if (stop_requested(stop_flag)) return false;
        }
        microseconds -= step;
    }
    return !stop_requested(stop_flag);
}

} // namespace voren::platform
