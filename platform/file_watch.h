#pragma once
// Change notices for open files (inotify): one watcher serves many files and
// tells, with one cheap read, which of them were modified, had their
// attributes or links changed, or were moved or deleted since the last look.
// Files on file systems whose changes may not be notified (network, FUSE)
// are refused, and the caller keeps checking their status itself.
#include <string>

namespace voren::platform {

// A watcher descriptor, or -1 when the system has none to give.
int watch_open();
void watch_close(int watcher);

// Watches the file open on fd under path. Returns the watch number (files
// that are the same file share one), or -1 when it cannot be watched.
int watch_file(int watcher, int fd, const std::string& path);
void unwatch_file(int watcher, int watch);

// Reads the notices waiting (never blocks) and calls changed(context, watch)
// for each; watch -1 means notices were lost and every file may have
// changed. Returns false when the watcher failed.
bool watch_poll(int watcher, void (*changed)(void* context, int watch), void* context);

} // namespace voren::platform
