#pragma once
// Change notices for open files (inotify): one watcher serves many files and
// tells, with one cheap read, which of them were modified, had their
// attributes or links changed, or were moved or deleted since the last look.
// Files on file systems whose changes may not be notified (network, FUSE)
// are refused, and the caller keeps checking their status itself.
//
// Where the system offers it (io_uring), the watcher also keeps a poll of
// the notice descriptor armed in a completion ring shared with the kernel:
// every notice that arrives adds an entry to that ring before the change
// that caused it returns, so "no notice since the last look" is answered by
// reading two counters, without a system call. The ring is filled by the
// thread that armed the poll: a look from another thread sets up a new ring
// for itself. Without the ring every look reads the descriptor.
#include <cstddef>
#include <cstdint>
#include <string>

namespace voren::platform {

struct Watcher {
    int fd = -1; // the notice descriptor; -1: none
    // The completion ring: its descriptor (-1: none) and the mapped parts.
    int ring = -1;
    void* sq_map = nullptr;
    size_t sq_map_size = 0;
    void* cq_map = nullptr; // may be sq_map itself
    size_t cq_map_size = 0;
    void* sqes = nullptr;
    size_t sqes_size = 0;
    unsigned* sq_tail = nullptr;
    unsigned* sq_mask = nullptr;
    unsigned* sq_array = nullptr;
    unsigned* sq_flags = nullptr;
    unsigned* cq_head = nullptr;
    unsigned* cq_tail = nullptr;
    unsigned* cq_mask = nullptr;
    void* cqes = nullptr;
    bool armed = false; // the poll is in place: an empty ring means no notice
    // The thread that armed the poll: the kernel fills the ring on that
    // thread's behalf, so another thread puts a ring of its own in place.
    unsigned long long thread = 0;
};

// Opens a watcher; false (w.fd -1) when the system has none to give. The
// ring is optional: without it the watcher still works.
bool watch_open(Watcher& w);
void watch_close(Watcher& w);

// Watches the file open on fd under path. Returns the watch number (files
// that are the same file share one), or -1 when it cannot be watched.
int watch_file(const Watcher& w, int fd, const std::string& path);
void unwatch_file(const Watcher& w, int watch);

// Reads the notices waiting (never blocks) and calls changed(context, watch)
// for each; watch -1 means notices were lost and every file may have
// changed. Returns false when the watcher failed.
bool watch_poll(Watcher& w, void (*changed)(void* context, int watch), void* context);

// The calling thread's number (never given to another thread), for the
// check below.
unsigned long long number_this_thread();
inline thread_local unsigned long long watch_thread_number = 0; // 0: not numbered yet
inline unsigned long long watch_this_thread() {
    unsigned long long n = watch_thread_number;
    return n ? n : number_this_thread();
}

// True when a look would certainly find no notice: the poll armed by this
// thread is in place and its ring is empty (no completion, none lost). A
// test cheap enough for every use of a stream; watch_poll makes it too.
inline bool watch_quiet(const Watcher& w) {
    constexpr unsigned kLost = 1U << 1; // the ring overflowed (IORING_SQ_CQ_OVERFLOW)
    return w.armed && w.thread == watch_this_thread() &&
           __atomic_load_n(w.cq_tail, __ATOMIC_ACQUIRE) == *w.cq_head &&
           !(__atomic_load_n(w.sq_flags, __ATOMIC_ACQUIRE) & kLost);
}

// Whether the watcher keeps its ring (tests).
bool watch_has_ring(const Watcher& w);

} // namespace voren::platform
