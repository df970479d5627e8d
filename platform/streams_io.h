#pragma once
// File access for the REXX stream functions and EXECIO: positioned reads
// and writes on a descriptor, status with the file's identity, access and
// ownership tests, and the console. Errors come back as errno values.
#include <cstdint>
#include <string>
#include <string_view>

namespace voren::platform {

struct StreamFileInfo {
    bool exists = false;
    int64_t size = 0;
    int64_t mtime_ns = 0;
    uint64_t device = 0, inode = 0; // identity: a replaced file has another
    unsigned mode = 0;              // type and permission bits (st_mode)
    unsigned uid = 0, gid = 0;
    int error = 0; // errno when the status could not be read
};

// Opens path for reading and writing (created when absent and create is
// set), or for reading only. Returns the descriptor, or -1 with *error.
int stream_open(const std::string& path, bool write, bool create, int* error);
void stream_close(int fd);

StreamFileInfo stream_fstat(int fd);
// Status of a path; follow_links false reports a link itself.
StreamFileInfo stream_stat(const std::string& path, bool follow_links);

// Reads up to n bytes at offset; returns the count (0 at the end) or -1.
int64_t stream_read_at(int fd, int64_t offset, char* buffer, int64_t n, int* error);
// Writes all bytes at offset; false with *error.
bool stream_write_at(int fd, int64_t offset, std::string_view data, int* error);
bool stream_truncate(int fd, int64_t size, int* error);

// Whether the effective user may read (R), write (W) or execute (X) path.
bool path_access(const std::string& path, char what);
unsigned effective_user();
// Names of a user and a group id; the number as text when it has no name.
std::string user_name_of(unsigned uid);
std::string group_name_of(unsigned gid);
// Local time of a modification time, as "mm/dd/yy hh:mm:ss".
std::string local_stamp(int64_t mtime_ns);

// Kinds of st_mode bits.
bool mode_is_directory(unsigned mode);
bool mode_is_regular(unsigned mode);
bool mode_is_link(unsigned mode);
bool mode_is_special(unsigned mode); // device, fifo or socket
bool mode_is_device(unsigned mode);  // character or block device

// Whether input is waiting on standard input (no wait).
bool console_input_waiting();
// Whether standard input is a terminal (not a file or a pipe).
bool console_is_terminal();
// Reads up to n bytes from standard input; the count, 0 at its end, -1.
int64_t console_read(char* buffer, int64_t n);

} // namespace voren::platform
