#pragma once
// Streams: the files a program reads and writes through LINEIN, LINEOUT,
// CHARIN, CHAROUT and EXECIO, addressed by line number through an index of
// line starts.
//
// Every file opened during a run has one entry in the table, found again by
// its full path and the working directory it was opened under. An entry keeps
// its descriptor, the byte offsets at which its lines start, the file's size,
// modification time and identity at the last scan, and the current line (the
// line the next LINEIN reads and the next LINEOUT writes) and byte position
// (for CHARIN and CHAROUT). Each use checks the file again: when another
// program changed or replaced it, it is scanned anew and the position moves
// after its last line. Where the system sends change notices for the file
// (local file systems), the check costs one read of the notices, shared by
// every stream, and the file's status is read only after a notice; elsewhere
// the status is read on every use.
//
// Lines appended at the end of a file are kept in the stream and written in
// one go: when 64 KiB have gathered, before anything else is done to the
// file through the stream, before a host command or a back-quoted command
// runs (sync_streams), and when the run ends. Reads go through a read-ahead
// block of the file, dropped whenever the file changes.
//
// Writing a line inside a file replaces that line: the rest of the file is
// moved to fit the new length. The operations below report failures as
// message texts; the stream functions hand them to the NOTREADY path,
// EXECIO to its return codes.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_watch.h"
#include "rexx/lib/builtins.h"

namespace tolma {

enum class LineEnd : uint8_t { Unix, Windows }; // LF, or CR LF

struct StreamTable;

struct Stream {
    StreamTable* table = nullptr;
    std::string name; // as the program gave it
    std::string path; // full path
    std::string cwd;  // working directory when it was opened
    int fd = -1;
    bool writable = false;
    std::vector<int64_t> starts; // byte offset of each line's start
    bool ends_with_newline = true;
    int64_t size = 0;
    int64_t mtime_ns = 0;
    uint64_t device = 0, inode = 0;
    int64_t line = 0;   // 0-based: the next line read or written
    int64_t offset = 0; // byte position of CHARIN and CHAROUT
    // Bytes appended but not written yet: they follow the file's first
    // size - pending.size() bytes.
    std::string pending;
    // Read-ahead: the file's bytes [cache_at, cache_at + cache.size()).
    std::string cache;
    int64_t cache_at = 0;
    // Change notices: the watch number, -1 when the file cannot be watched;
    // changed: the file's status must be read at the next use.
    int watch = -1;
    bool changed = true;
    bool regular = true; // a regular file: appended lines may be kept
    // The table's cwd_changes when the stream was last found by its name
    // under the current directory: while it is unchanged, the name alone
    // finds the stream.
    unsigned long found_under = ~0UL;

    int64_t line_count() const { return static_cast<int64_t>(starts.size()); }
    int64_t line_end_offset(int64_t i) const { return i + 1 < line_count() ? starts[i + 1] : size; }
};

struct StreamTable {
    std::vector<std::unique_ptr<Stream>> streams;
    LineEnd line_end = LineEnd::Unix;
    bool last_line = false; // LINELAST: the line written becomes the last one
    // Console input taken from the read hook but not yet consumed: the rest
    // of a line CHARIN() read part of, or a line LINES() looked ahead at.
    std::string console_pending;
    // The current directory, read again after change_directory moved it.
    std::string cwd;
    unsigned long cwd_changes = 0;
    bool cwd_known = false;
    voren::platform::Watcher watcher; // the change notices of every stream
    bool watcher_tried = false;

    StreamTable() = default;
    StreamTable(const StreamTable&) = delete;
    StreamTable& operator=(const StreamTable&) = delete;
    ~StreamTable();
};

// The run's stream table (made on first use).
StreamTable& stream_table(Interp& in);
// Closes every stream; the embedder calls it when a run ends. Lines that
// cannot be written are reported on the error output; false then.
bool close_streams(Interp& in);
// Closes one stream and forgets it (EXECIO's FINIS).
void close_stream(Interp& in, Stream* s);
// Writes the lines every stream keeps, so that another program sees whole
// files. A failure leaves them kept, to be written and reported at the
// stream's next use.
void sync_streams(Interp& in);
// Writes the lines kept by one stream; false with msg on failure.
bool flush_stream(Stream& s, std::string_view fn, std::string& msg);

// Opens name (or finds it open) and checks it against the file. fn names the
// caller in messages ("LINEIN", "EXECIO"). A stream opened by a writer is
// created when missing and starts after its last line; one opened by a
// reader starts at line 1. Null with msg set on failure.
Stream* open_stream(Interp& in, std::string_view name, std::string_view fn, bool writing,
                    std::string& msg);

// One line of console input for LINEIN(), STDIN(), PULL: what CHARIN() or
// LINES() left over first, else a line from the interpreter's read hook.
// The line end (and a CR before it) is removed; false at the end of input.
bool read_console_line(Interp& in, std::string& line);

// Reads line i (0-based) without its line end (one CR before the LF is also
// dropped in Windows mode).
bool read_stream_line(const StreamTable& t, Stream& s, int64_t i, std::string& out,
                      std::string_view fn, std::string& msg);
// The same, the line's bytes seen in place: valid until the stream is used
// again.
bool read_stream_line_view(const StreamTable& t, Stream& s, int64_t i, std::string_view& out,
                           std::string_view fn, std::string& msg);
// Writes text as line s.line (replacing it, or appending after the last
// line) and moves the position past it; with t.last_line the file ends after
// that line.
bool write_stream_line(const StreamTable& t, Stream& s, std::string_view text, std::string_view fn,
                       std::string& msg);
// Inserts lines before line s.line and moves the position past them.
bool insert_stream_lines(const StreamTable& t, Stream& s, const std::vector<std::string>& lines,
                         std::string_view fn, std::string& msg);
// Deletes count lines from line first (0-based); the position stays on
// the line that followed them.
bool delete_stream_lines(Stream& s, int64_t first, int64_t count, std::string_view fn,
                         std::string& msg);
// Replaces bytes [from, to) with data, moving the rest of the file, and
// updates the line index.
bool replace_stream_bytes(Stream& s, int64_t from, int64_t to, std::string_view data,
                          std::string_view fn, std::string& msg);

// The message form used by every stream failure: prefix, the file name in
// double quotes, and the system's error text when error is not 0.
std::string stream_message(std::string_view prefix, std::string_view name, int error = 0);

// The NOTREADY path: error 40 with the message when NOTREADY is not trapped;
// otherwise the message goes to the trace output and the condition is raised
// with the stream name as its description. SIGNAL ON transfers control (by
// throwing SignalTransfer); CALL ON runs the handler with the trap delayed and
// returns, and the function then returns the empty string.
void notready(Interp& in, std::string_view message, std::string_view stream);

extern const Builtin kStreamBuiltins[];
extern const size_t kStreamBuiltinCount;

} // namespace tolma
