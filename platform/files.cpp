#include "platform/files.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace voren::platform {

namespace {

void set_error(int* error, int value) {
    if (error) *error = value;
}

FileStatus status_from(const struct stat& st) {
    FileStatus status;
    if (S_ISREG(st.st_mode))
        status.type = FileType::Regular;
    else if (S_ISDIR(st.st_mode))
        status.type = FileType::Directory;
    else if (S_ISLNK(st.st_mode))
        status.type = FileType::Symlink;
    else
        status.type = FileType::Other;
    status.size = st.st_size;
    status.mtime_ns = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    status.link_count = st.st_nlink;
    status.mode = st.st_mode & 07777;
    return status;
}

} // namespace

FileStatus link_status(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) {
        FileStatus missing;
        missing.error = errno;
        return missing;
    }
    return status_from(st);
}

FileStatus file_status(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        FileStatus missing;
        missing.error = errno;
        return missing;
    }
    return status_from(st);
}

std::string system_error_text(int error) {
    return std::strerror(error);
}

std::string real_path(const std::string& path, int* error) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) {
        set_error(error, errno);
        return {};
    }
    std::string result(resolved);
    free(resolved);
    return result;
}

std::string directory_part(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string base_name(std::string_view path) {
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

namespace {

std::string current_directory() {
    char* dir = getcwd(nullptr, 0);
    if (!dir) return "/";
    std::string result(dir);
    free(dir);
    return result;
}

// Removes "." components, folds "//" and resolves ".." lexically.
std::string normalise_lexically(const std::string& absolute) {
    std::string out;
    size_t pos = 0;
    while (pos <= absolute.size()) {
        size_t next = absolute.find('/', pos);
        if (next == std::string::npos) next = absolute.size();
        std::string part = absolute.substr(pos, next - pos);
        if (part == "..") {
            size_t slash = out.rfind('/');
            out.erase(slash == std::string::npos ? 0 : slash);
        } else if (!part.empty() && part != ".") {
            out += '/';
            out += part;
        }
        pos = next + 1;
    }
    return out.empty() ? "/" : out;
}

} // namespace

std::string absolute_path(const std::string& path) {
    if (path.empty()) return current_directory();
    std::string resolved = real_path(path);
    if (!resolved.empty()) return resolved;
    std::string dir = directory_part(path);
    std::string base = base_name(path);
    if (dir.empty()) dir = ".";
    std::string real_dir = real_path(dir);
    if (!real_dir.empty() && base != "." && base != "..")
        return real_dir == "/" ? "/" + base : real_dir + "/" + base;
    std::string joined = path[0] == '/' ? path : current_directory() + "/" + path;
    return normalise_lexically(joined);
}

bool resolve_link_chain(const std::string& path, std::string& target, int* error) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = current;
            return true;
        }
        std::string link(size_t(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
        ssize_t length = readlink(current.c_str(), link.data(), link.size());
        if (length < 0) {
            set_error(error, errno);
            return false;
        }
        link.resize(size_t(length));
        if (!link.empty() && link[0] != '/') {
            std::string dir = directory_part(current);
            link = (dir.empty() ? std::string() : dir + "/") + link;
        }
        current = link;
    }
    set_error(error, ELOOP);
    return false;
}

bool add_owner_write(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    return chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool remove_file(const std::string& path, int* error) {
    if (unlink(path.c_str()) == 0) return true;
    set_error(error, errno);
    return false;
}

bool rename_file(const std::string& from, const std::string& to, int* error) {
    if (rename(from.c_str(), to.c_str()) == 0) return true;
    set_error(error, errno);
    return false;
}

bool hard_link(const std::string& existing, const std::string& new_name, int* error) {
    if (link(existing.c_str(), new_name.c_str()) == 0) return true;
    set_error(error, errno);
    return false;
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd >= 0) close(fd);
        fd = other.fd;
        other.fd = -1;
    }
    return *this;
}

FileHandle::~FileHandle() {
    if (fd >= 0) close(fd);
}

FileHandle open_for_reading(const std::string& path, int* error) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) set_error(error, errno);
    return FileHandle(fd);
}

int64_t read_some(const FileHandle& file, char* buffer, int64_t size, int* error) {
    for (;;) {
        ssize_t got = read(file.fd, buffer, size_t(size));
        if (got >= 0) return got;
        if (errno != EINTR) {
            set_error(error, errno);
            return -1;
        }
    }
}

bool write_all(const FileHandle& file, std::string_view data, int* error) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t put = write(file.fd, p, left);
        if (put < 0) {
            if (errno == EINTR) continue;
            set_error(error, errno);
            return false;
        }
        if (put == 0) {
            set_error(error, ENOSPC);
            return false;
        }
        p += put;
        left -= size_t(put);
    }
    return true;
}

bool sync_file(const FileHandle& file, int* error) {
    if (fsync(file.fd) == 0) return true;
    set_error(error, errno);
    return false;
}

void start_writeback(const FileHandle& file, int64_t offset, int64_t length) {
    sync_file_range(file.fd, off_t(offset), off_t(length), SYNC_FILE_RANGE_WRITE);
}

bool truncate_file(const FileHandle& file, int64_t size, int* error) {
    if (ftruncate(file.fd, off_t(size)) == 0) return true;
    set_error(error, errno);
    return false;
}

bool close_file(FileHandle& file, int* error) {
    int fd = file.fd;
    file.fd = -1;
    if (fd < 0 || close(fd) == 0) return true;
    set_error(error, errno);
    return false;
}

void sync_directory(const std::string& dir) {
    int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

FileHandle create_temp_beside(const std::string& path, unsigned mode, std::string& temp_name,
                              int* error) {
    std::string dir = directory_part(path);
    std::string prefix = dir.empty() ? std::string() : (dir == "/" ? dir : dir + "/");
    std::string name = prefix + "." + base_name(path) + ".voren-XXXXXX";
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        set_error(error, errno);
        return FileHandle();
    }
    fchmod(fd, mode & 07777);
    temp_name = name;
    return FileHandle(fd);
}

FileHandle open_for_overwrite(const std::string& path, int* error) {
    int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) set_error(error, errno);
    return FileHandle(fd);
}

FileHandle create_for_writing(const std::string& path, unsigned mode, int* error) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) set_error(error, errno);
    return FileHandle(fd);
}

FileHandle open_for_append(const std::string& path, unsigned mode, int* error) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, mode);
    if (fd < 0) set_error(error, errno);
    return FileHandle(fd);
}

unsigned new_file_mode(unsigned requested) {
    mode_t mask = umask(0);
    umask(mask);
    return requested & ~unsigned(mask);
}

bool copy_file_durably(const std::string& from, const std::string& to, int* error) {
    FileHandle in = open_for_reading(from, error);
    if (!in.is_open()) return false;
    struct stat st;
    if (fstat(in.fd, &st) != 0) {
        set_error(error, errno);
        return false;
    }
    FileHandle out = create_for_writing(to, st.st_mode & 07777, error);
    if (!out.is_open()) return false;
    std::string buffer(1 << 20, '\0');
    for (;;) {
        int64_t got = read_some(in, buffer.data(), int64_t(buffer.size()), error);
        if (got < 0) return false;
        if (got == 0) break;
        if (!write_all(out, std::string_view(buffer.data(), size_t(got)), error)) return false;
    }
    return sync_file(out, error) && close_file(out, error);
}

} // namespace voren::platform
