#include "platform/file_watch.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <linux/io_uring.h>
#include <poll.h>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace voren::platform {

namespace {

// Local file systems whose every change goes through this kernel, so that
// a notice is raised for it.
bool notified_file_system(int fd) {
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0xEF53UL:     // ext2, ext3, ext4
    case 0x01021994UL: // tmpfs
    case 0x58465342UL: // xfs
    case 0x9123683EUL: // btrfs
    case 0xF2F52010UL: // f2fs
    case 0x794C7630UL: // overlayfs
    case 0x2FC12FC1UL: // zfs
        return true;
    default: return false;
    }
}

constexpr uint32_t kFileEvents =
    IN_MODIFY | IN_ATTRIB | IN_MOVE_SELF | IN_DELETE_SELF | IN_CLOSE_WRITE;

// ---------------------------------------------------------------- the ring

static_assert(IORING_SQ_CQ_OVERFLOW == 1U << 1, "watch_quiet tests this bit");

constexpr unsigned kRingEntries = 8; // the kernel gives twice as many completions

void* map_ring(int ring, size_t size, off_t what) {
    void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, ring, what);
    return p == MAP_FAILED ? nullptr : p;
}

void close_ring(Watcher& w) {
    if (w.sqes) ::munmap(w.sqes, w.sqes_size);
    if (w.cq_map && w.cq_map != w.sq_map) ::munmap(w.cq_map, w.cq_map_size);
    if (w.sq_map) ::munmap(w.sq_map, w.sq_map_size);
    if (w.ring >= 0) ::close(w.ring);
    Watcher fresh;
    fresh.fd = w.fd;
    w = fresh;
}

bool open_ring(Watcher& w) {
    io_uring_params p;
    std::memset(&p, 0, sizeof p);
    int ring = static_cast<int>(::syscall(__NR_io_uring_setup, kRingEntries, &p));
    if (ring < 0) return false;
    w.ring = ring;
    w.sq_map_size = p.sq_off.array + p.sq_entries * sizeof(unsigned);
    w.cq_map_size = p.cq_off.cqes + p.cq_entries * sizeof(io_uring_cqe);
    bool single = (p.features & IORING_FEAT_SINGLE_MMAP) != 0;
    if (single) w.sq_map_size = w.cq_map_size = std::max(w.sq_map_size, w.cq_map_size);
    w.sq_map = map_ring(ring, w.sq_map_size, IORING_OFF_SQ_RING);
    if (!w.sq_map) {
        close_ring(w);
        return false;
    }
    w.cq_map = single ? w.sq_map : map_ring(ring, w.cq_map_size, IORING_OFF_CQ_RING);
    w.sqes_size = p.sq_entries * sizeof(io_uring_sqe);
    w.sqes = map_ring(ring, w.sqes_size, IORING_OFF_SQES);
    if (!w.cq_map || !w.sqes) {
        close_ring(w);
        return false;
    }
    auto* sq = static_cast<char*>(w.sq_map);
    auto* cq = static_cast<char*>(w.cq_map);
    w.sq_tail = reinterpret_cast<unsigned*>(sq + p.sq_off.tail);
    w.sq_mask = reinterpret_cast<unsigned*>(sq + p.sq_off.ring_mask);
    w.sq_array = reinterpret_cast<unsigned*>(sq + p.sq_off.array);
    w.sq_flags = reinterpret_cast<unsigned*>(sq + p.sq_off.flags);
    w.cq_head = reinterpret_cast<unsigned*>(cq + p.cq_off.head);
    w.cq_tail = reinterpret_cast<unsigned*>(cq + p.cq_off.tail);
    w.cq_mask = reinterpret_cast<unsigned*>(cq + p.cq_off.ring_mask);
    w.cqes = cq + p.cq_off.cqes;
    return true;
}

// Puts a lasting poll of the notice descriptor in the ring: from now on each
// notice adds a completion. One already waiting adds one at once.
bool arm(Watcher& w) {
    unsigned tail = *w.sq_tail;
    unsigned index = tail & *w.sq_mask;
    auto* sqe = static_cast<io_uring_sqe*>(w.sqes) + index;
    std::memset(sqe, 0, sizeof *sqe);
    sqe->opcode = IORING_OP_POLL_ADD;
    sqe->fd = w.fd;
    sqe->poll32_events = POLLIN;
    sqe->len = IORING_POLL_ADD_MULTI;
    sqe->user_data = 1;
    w.sq_array[index] = index;
    __atomic_store_n(w.sq_tail, tail + 1, __ATOMIC_RELEASE);
    long n;
    do {
        n = ::syscall(__NR_io_uring_enter, w.ring, 1, 0, 0, nullptr, 0);
    } while (n < 0 && errno == EINTR);
    w.armed = n == 1;
    w.thread = watch_this_thread();
    return w.armed;
}

// Takes the completions out of the ring. A completion without "more to
// come" ends the poll (it must be put back); a failure other than a
// cancellation (the thread that armed it ended) gives the ring up.
bool drain_ring(Watcher& w) {
    for (int round = 0; round < 2; ++round) {
        unsigned head = *w.cq_head;
        unsigned tail = __atomic_load_n(w.cq_tail, __ATOMIC_ACQUIRE);
        auto* cqes = static_cast<io_uring_cqe*>(w.cqes);
        for (; head != tail; ++head) {
            const io_uring_cqe& c = cqes[head & *w.cq_mask];
            if (c.res < 0 && c.res != -ECANCELED) return false;
            if (!(c.flags & IORING_CQE_F_MORE)) w.armed = false;
        }
        __atomic_store_n(w.cq_head, head, __ATOMIC_RELEASE);
        if (!(__atomic_load_n(w.sq_flags, __ATOMIC_ACQUIRE) & IORING_SQ_CQ_OVERFLOW)) break;
        // Completions that did not fit wait in the kernel: have them moved in.
        if (::syscall(__NR_io_uring_enter, w.ring, 0, 0, IORING_ENTER_GETEVENTS, nullptr, 0) < 0 &&
            errno != EINTR)
            return false;
    }
    return true;
}

} // namespace

// Numbers count up: the address of a thread-local variable may be reused by
// a later thread, a number is not.
unsigned long long number_this_thread() {
    static std::atomic<unsigned long long> next{1};
    // A forked child is another process: its thread numbers itself anew,
    // so that it never trusts the ring its parent armed.
    static const bool fork_noted =
        ::pthread_atfork(nullptr, nullptr, [] { watch_thread_number = 0; }) == 0;
    (void)fork_noted;
    watch_thread_number = next.fetch_add(1, std::memory_order_relaxed);
    return watch_thread_number;
}

bool watch_open(Watcher& w) {
    w = Watcher();
    w.fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (w.fd < 0) return false;
    if (open_ring(w) && !arm(w)) close_ring(w);
    return true;
}

void watch_close(Watcher& w) {
    close_ring(w);
    if (w.fd >= 0) ::close(w.fd);
    w.fd = -1;
}

bool watch_has_ring(const Watcher& w) {
    return w.ring >= 0;
}

int watch_file(const Watcher& w, int fd, const std::string& path) {
    if (w.fd < 0 || !notified_file_system(fd)) return -1;
    int wd = ::inotify_add_watch(w.fd, path.c_str(), kFileEvents);
    return wd < 0 ? -1 : wd;
}

void unwatch_file(const Watcher& w, int watch) {
    if (w.fd >= 0 && watch >= 0) ::inotify_rm_watch(w.fd, watch);
}

bool watch_poll(Watcher& w, void (*changed)(void* context, int watch), void* context) {
    if (w.fd < 0) return false;
    // Armed by another thread: that thread's ring is no guide for this one.
    bool renew = w.ring >= 0 && w.thread != watch_this_thread();
    if (renew) close_ring(w);
    if (w.armed) {
        if (watch_quiet(w)) return true;
        // Taken out before the descriptor is read: a notice arriving after
        // the read adds a new completion.
        if (!drain_ring(w)) close_ring(w);
    }
    alignas(struct inotify_event) char buf[4096];
    for (;;) {
        ssize_t n = ::read(w.fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
            break;
        }
        if (n == 0) return false;
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const struct inotify_event*>(buf + at);
            if (e->mask & IN_Q_OVERFLOW)
                changed(context, -1);
            else if (!(e->mask & IN_IGNORED))
                changed(context, e->wd);
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + e->len);
        }
        // A full buffer may have left more behind.
        if (static_cast<size_t>(n) + sizeof(struct inotify_event) + 256 < sizeof buf) break;
    }
    // The poll ended: put it back, after the read, so that a notice arriving
    // in between is seen by the new poll at once.
    if (renew) {
        if (open_ring(w) && !arm(w)) close_ring(w);
    } else if (w.ring >= 0 && !w.armed && !arm(w)) {
        close_ring(w);
    }
    return true;
}

} // namespace voren::platform
