#include "platform/streams_io.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace voren::platform {

namespace {

void set_error(int* error, int value) {
    if (error) *error = value;
}

StreamFileInfo info_from(const struct stat& st) {
    StreamFileInfo info;
    info.exists = true;
    info.size = st.st_size;
    info.mtime_ns = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    info.device = st.st_dev;
    info.inode = st.st_ino;
    info.mode = st.st_mode;
    info.uid = st.st_uid;
    info.gid = st.st_gid;
    return info;
}

} // namespace

int stream_open(const std::string& path, bool write, bool create, int* error) {
    int flags = (write ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    if (write && create) flags |= O_CREAT;
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) set_error(error, errno);
    return fd;
}

void stream_close(int fd) {
    if (fd >= 0) ::close(fd);
}

StreamFileInfo stream_fstat(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        StreamFileInfo info;
        info.error = errno;
        return info;
    }
    return info_from(st);
}

StreamFileInfo stream_stat(const std::string& path, bool follow_links) {
    struct stat st;
    int rc = follow_links ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (rc != 0) {
        StreamFileInfo info;
        info.error = errno;
        return info;
    }
    return info_from(st);
}

int64_t stream_read_at(int fd, int64_t offset, char* buffer, int64_t n, int* error) {
    int64_t done = 0;
    while (done < n) {
        ssize_t r = ::pread(fd, buffer + done, static_cast<size_t>(n - done), offset + done);
        if (r < 0) {
            if (errno == EINTR) continue;
            set_error(error, errno);
            return -1;
        }
        if (r == 0) break;
        done += r;
    }
    return done;
}

bool stream_write_at(int fd, int64_t offset, std::string_view data, int* error) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t r = ::pwrite(fd, data.data() + done, data.size() - done,
                             offset + static_cast<int64_t>(done));
        if (r < 0) {
            if (errno == EINTR) continue;
            set_error(error, errno);
            return false;
        }
        done += static_cast<size_t>(r);
    }
    return true;
}

bool stream_truncate(int fd, int64_t size, int* error) {
    if (::ftruncate(fd, size) != 0) {
        set_error(error, errno);
        return false;
    }
    return true;
}

bool path_access(const std::string& path, char what) {
    int m = what == 'R' ? R_OK : what == 'W' ? W_OK : X_OK;
    return ::faccessat(AT_FDCWD, path.c_str(), m, AT_EACCESS) == 0;
}

unsigned effective_user() {
    return ::geteuid();
}

std::string user_name_of(unsigned uid) {
    struct passwd pw, *found = nullptr;
    char buf[4096];
    if (::getpwuid_r(uid, &pw, buf, sizeof buf, &found) == 0 && found) return pw.pw_name;
    return std::to_string(uid);
}

std::string group_name_of(unsigned gid) {
    struct group gr, *found = nullptr;
    char buf[4096];
    if (::getgrgid_r(gid, &gr, buf, sizeof buf, &found) == 0 && found) return gr.gr_name;
    return std::to_string(gid);
}

std::string local_stamp(int64_t mtime_ns) {
    time_t t = static_cast<time_t>(mtime_ns / 1000000000);
    struct tm tm;
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%2.2d/%2.2d/%2.2d %2.2d:%2.2d:%2.2d", tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_year % 100, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

bool mode_is_directory(unsigned mode) {
    return S_ISDIR(mode);
}
bool mode_is_regular(unsigned mode) {
    return S_ISREG(mode);
}
bool mode_is_link(unsigned mode) {
    return S_ISLNK(mode);
}
bool mode_is_device(unsigned mode) {
    return S_ISCHR(mode) || S_ISBLK(mode);
}

bool mode_is_special(unsigned mode) {
    return S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode);
}

bool console_is_terminal() {
    return ::isatty(0) == 1;
}

bool console_input_waiting() {
    struct pollfd p {
        0, POLLIN, 0
    };
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

int64_t console_read(char* buffer, int64_t n) {
    for (;;) {
        ssize_t r = ::read(0, buffer, static_cast<size_t>(n));
        if (r < 0 && errno == EINTR) continue;
        return r;
    }
}

} // namespace voren::platform
