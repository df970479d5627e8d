#pragma once
// File-system services for the editor: status, links, permissions, reading,
// durable writing. Paths are bytes; errors come back as errno values so that
// callers choose their own messages (system_error_text turns them into text).
#include <cstdint>
#include <string>
#include <string_view>

namespace voren::platform {

enum class FileType { Missing, Regular, Directory, Symlink, Other };

struct FileStatus {
    FileType type = FileType::Missing;
    int64_t size = 0;
    int64_t mtime_ns = 0;    // last-write time, nanoseconds since the epoch
    uint64_t link_count = 0; // hard links
    unsigned mode = 0;       // permission bits
    int error = 0;           // errno when the status could not be read
    bool owner_writable() const { return (mode & 0200) != 0; }
};

// Status of the path itself (a symbolic link is reported as Symlink).
FileStatus link_status(const std::string& path);
// Status of what the path designates (links followed).
FileStatus file_status(const std::string& path);

std::string system_error_text(int error);

// Canonical absolute path with every link resolved; empty (and errno set in
// *error) when some component does not exist or a loop is met.
std::string real_path(const std::string& path, int* error = nullptr);
// Absolute form of a path that may not exist yet: the directory part is
// resolved, the last component kept as given; lexical when that fails.
std::string absolute_path(const std::string& path);

// Follows symbolic links from `path` to the name they finally designate (which
// may not exist). Returns false with ELOOP in *error when the chain loops.
bool resolve_link_chain(const std::string& path, std::string& target, int* error);

bool add_owner_write(const std::string& path);
bool remove_file(const std::string& path, int* error = nullptr);
bool rename_file(const std::string& from, const std::string& to, int* error = nullptr);
bool hard_link(const std::string& existing, const std::string& new_name, int* error = nullptr);
// Copies `from` to `to` (replacing it), flushed to disk.
bool copy_file_durably(const std::string& from, const std::string& to, int* error = nullptr);

// An open file descriptor that closes itself.
struct FileHandle {
    int fd = -1;
    FileHandle() = default;
    explicit FileHandle(int descriptor) : fd(descriptor) {}
    FileHandle(FileHandle&& other) noexcept : fd(other.fd) { other.fd = -1; }
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle();
    bool is_open() const { return fd >= 0; }
};

FileHandle open_for_reading(const std::string& path, int* error);
// Reads up to `size` bytes; returns the count, 0 at the end, -1 with *error.
int64_t read_some(const FileHandle& file, char* buffer, int64_t size, int* error);

// Writes all of `data` (retrying short writes); false with *error on failure.
bool write_all(const FileHandle& file, std::string_view data, int* error);
bool sync_file(const FileHandle& file, int* error);
// Asks the system to start writing a range of the file to disk now, without
// waiting (a hint; sync_file still makes it durable).
void start_writeback(const FileHandle& file, int64_t offset, int64_t length);
bool truncate_file(const FileHandle& file, int64_t size, int* error);
bool close_file(FileHandle& file, int* error);
// Flushes the directory entry changes (renames, creations) of `dir` to disk.
void sync_directory(const std::string& dir);

// Creates a new, empty, uniquely named file next to `path` for writing, with
// permission bits `mode`; `temp_name` receives its name.
FileHandle create_temp_beside(const std::string& path, unsigned mode, std::string& temp_name,
                              int* error);
// Opens an existing file for writing in place (no truncation).
FileHandle open_for_overwrite(const std::string& path, int* error);
// Creates or truncates `path` for writing with permission bits `mode`.
FileHandle create_for_writing(const std::string& path, unsigned mode, int* error);
FileHandle open_for_append(const std::string& path, unsigned mode, int* error);

// Permission bits a new file gets: `requested` minus the process umask.
unsigned new_file_mode(unsigned requested);

std::string directory_part(const std::string& path); // "" when no "/"
std::string base_name(std::string_view path);

} // namespace voren::platform
