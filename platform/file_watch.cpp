#include "platform/file_watch.h"

#include <cerrno>
#include <sys/inotify.h>
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

} // namespace

int watch_open() {
    return ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

void watch_close(int watcher) {
    if (watcher >= 0) ::close(watcher);
}

int watch_file(int watcher, int fd, const std::string& path) {
    if (watcher < 0 || !notified_file_system(fd)) return -1;
    int wd = ::inotify_add_watch(watcher, path.c_str(), kFileEvents);
    return wd < 0 ? -1 : wd;
}

void unwatch_file(int watcher, int watch) {
    if (watcher >= 0 && watch >= 0) ::inotify_rm_watch(watcher, watch);
}

bool watch_poll(int watcher, void (*changed)(void* context, int watch), void* context) {
    alignas(struct inotify_event) char buf[4096];
    for (;;) {
        ssize_t n = ::read(watcher, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno == EAGAIN || errno == EWOULDBLOCK;
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
        if (static_cast<size_t>(n) + sizeof(struct inotify_event) + 256 < sizeof buf) return true;
    }
}

} // namespace voren::platform
