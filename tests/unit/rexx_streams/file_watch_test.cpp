// The change notices: a change made by this thread, another thread or
// another process is reported at the next look, however the watcher learns
// of it (the completion ring or a read of the notice descriptor), and a
// look with nothing new reports nothing.
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "harness.h"
#include "platform/file_watch.h"

namespace tolma::test {

namespace io = voren::platform;

namespace {

struct Seen {
    std::vector<int> watches;
};

void record(void* context, int watch) {
    static_cast<Seen*>(context)->watches.push_back(watch);
}

// The watch numbers reported by one look.
std::vector<int> look(io::Watcher& w) {
    Seen s;
    EXPECT_TRUE(io::watch_poll(w, record, &s));
    return s.watches;
}

bool reported(const std::vector<int>& seen, int watch) {
    for (int x : seen)
        if (x == watch || x == -1) return true;
    return false;
}

void append(const std::string& path, const std::string& text) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    ::close(fd);
}

struct Watched {
    ScratchDir dir;
    io::Watcher w;
    std::string path;
    int fd = -1;
    int watch = -1;
    Watched() {
        dir.write("w.txt", "start\n");
        path = dir.path("w.txt");
        EXPECT_TRUE(io::watch_open(w));
        fd = ::open(path.c_str(), O_RDONLY);
        watch = io::watch_file(w, fd, path);
    }
    ~Watched() {
        ::close(fd);
        io::watch_close(w);
    }
};

} // namespace

TEST(FileWatch, QuietWhenNothingChanged) {
    Watched t;
    if (t.watch < 0) GTEST_SKIP() << "the scratch directory's file system sends no notices";
    EXPECT_TRUE(look(t.w).empty());
    EXPECT_TRUE(look(t.w).empty());
}

TEST(FileWatch, ChangeByThisThreadIsReportedOnce) {
    Watched t;
    if (t.watch < 0) GTEST_SKIP() << "the scratch directory's file system sends no notices";
    for (int round = 0; round < 3; ++round) {
        append(t.path, "more\n");
        EXPECT_TRUE(reported(look(t.w), t.watch)) << round;
        EXPECT_TRUE(look(t.w).empty()) << round;
    }
}

TEST(FileWatch, ChangeByAnotherProcessIsReportedAfterItEnds) {
    Watched t;
    if (t.watch < 0) GTEST_SKIP() << "the scratch directory's file system sends no notices";
    EXPECT_TRUE(look(t.w).empty());
    for (int round = 0; round < 20; ++round) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int fd = ::open(t.path.c_str(), O_WRONLY | O_APPEND);
            ssize_t n = fd >= 0 ? ::write(fd, "child\n", 6) : -1;
            ::_exit(n == 6 ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_EQ(status, 0);
        EXPECT_TRUE(reported(look(t.w), t.watch)) << round;
    }
}

TEST(FileWatch, ChangeByAnotherThreadIsReportedAfterJoin) {
    Watched t;
    if (t.watch < 0) GTEST_SKIP() << "the scratch directory's file system sends no notices";
    for (int round = 0; round < 20; ++round) {
        std::thread writer([&] { append(t.path, "thread\n"); });
        writer.join();
        EXPECT_TRUE(reported(look(t.w), t.watch)) << round;
    }
}

TEST(FileWatch, SpinningThreadSeesAChangeMadeMeanwhile) {
    Watched t;
    if (t.watch < 0) GTEST_SKIP() << "the scratch directory's file system sends no notices";
    EXPECT_TRUE(look(t.w).empty());
    // This thread only tests the ring, entering the kernel for nothing,
    // while another thread changes the file: the ring must still fill.
    std::atomic<bool> spinning{false};
    std::thread writer([&] {
        while (!spinning.load())
            std::this_thread::yield();
        append(t.path, "meanwhile\n");
    });
    spinning.store(true);
    // The deadline only guards against a hang.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (io::watch_quiet(t.w) && std::chrono::steady_clock::now() < deadline) {
    }
    EXPECT_FALSE(io::watch_quiet(t.w));
    writer.join();
    EXPECT_TRUE(reported(look(t.w), t.watch));
}

TEST(FileWatch, ManyChangesBetweenLooksThenOneMore) {
    Watched t;
    if (t.watch < 0) GTEST_SKIP() << "the scratch directory's file system sends no notices";
    // Far more notices than the ring has room for.
    for (int i = 0; i < 500; ++i)
        append(t.path, "x\n");
    EXPECT_TRUE(reported(look(t.w), t.watch));
    EXPECT_TRUE(look(t.w).empty());
    // The watcher still reports the next change.
    append(t.path, "y\n");
    EXPECT_TRUE(reported(look(t.w), t.watch));
    EXPECT_TRUE(look(t.w).empty());
}

TEST(FileWatch, LookFromAnotherThreadAfterTheOpenerEnded) {
    ScratchDir dir;
    dir.write("o.txt", "a\n");
    std::string path = dir.path("o.txt");
    io::Watcher w;
    int fd = ::open(path.c_str(), O_RDONLY);
    int watch = -1;
    std::thread opener([&] {
        ASSERT_TRUE(io::watch_open(w));
        watch = io::watch_file(w, fd, path);
    });
    opener.join();
    if (watch >= 0) {
        for (int round = 0; round < 3; ++round) {
            append(path, "b\n");
            EXPECT_TRUE(reported(look(w), watch)) << round;
        }
    }
    ::close(fd);
    io::watch_close(w);
}

TEST(FileWatch, ForkedChildLooksWithItsOwnRing) {
    Watched t;
    if (t.watch < 0) GTEST_SKIP() << "the scratch directory's file system sends no notices";
    EXPECT_TRUE(look(t.w).empty());
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child writes and must see its own change at its next look.
        int fd = ::open(t.path.c_str(), O_WRONLY | O_APPEND);
        bool wrote = fd >= 0 && ::write(fd, "c\n", 2) == 2;
        Seen s;
        bool polled = io::watch_poll(t.w, record, &s);
        ::_exit(wrote && polled && reported(s.watches, t.watch) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // The parent's watcher still works (the notices may have gone to the
    // child, which shares the descriptor).
    append(t.path, "parent\n");
    EXPECT_TRUE(reported(look(t.w), t.watch));
}

TEST(FileWatch, ClosedWatcherFailsTheLook) {
    io::Watcher w;
    Seen s;
    EXPECT_FALSE(io::watch_poll(w, record, &s));
    ASSERT_TRUE(io::watch_open(w));
    io::watch_close(w);
    EXPECT_EQ(w.fd, -1);
    EXPECT_FALSE(io::watch_has_ring(w));
    EXPECT_FALSE(io::watch_poll(w, record, &s));
}

} // namespace tolma::test
