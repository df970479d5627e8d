// The terminal backend on a pseudo-terminal: a child process opens the window,
// the test types bytes into the terminal and reads what each input turn reported.
#include "platform/field.h"
#include "platform/hangup.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace voren::platform {
namespace {

void write_line(int fd, const std::string& line) {
    std::string text = line + "\n";
    [[maybe_unused]] ssize_t n = ::write(fd, text.data(), text.size());
}

void ignore_hangup(int, void*) {}

// The child: one command line, one text line; reports every turn as
// "<key> <id>:<text> ..." on `report`.
[[noreturn]] void run_child(int report) {
    setenv("TERM", "xterm-256color", 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    set_hangup_handler(ignore_hangup, nullptr);
    FieldWindow w;
    std::string error;
    if (!open_terminal_window(w, &error)) {
        write_line(report, "ERROR " + error);
        _exit(1);
    }
    FieldSpec cmd;
    cmd.id = 1;
    cmd.row = 0;
    cmd.col = 6;
    cmd.width = 20;
    cmd.input = true;
    cmd.attrs = AttrHome;
    create_field(w, cmd);
    FieldSpec line = cmd;
    line.id = 2;
    line.row = 2;
    line.col = 0;
    line.attrs = 0;
    create_field(w, line);
    set_field_text(w, 2, "hello");
    place_cursor(w, 1, 0);
    InputPolicy policy;
    policy.ends_turn = [](const Key& k) {
        return k.kind == KeyKind::F || k.kind == KeyKind::Escape || k.kind == KeyKind::Alt;
    };
    for (;;) {
        InputTurn t = read_input(w, policy);
        std::string text = key_name(t.key);
        for (const ModifiedField& m : modified_fields(w))
            text += " " + std::to_string(m.id) + ":" + m.text;
        write_line(report, text);
        if (t.key.kind == KeyKind::Hangup) break;
    }
    close_window(w);
    _exit(0);
}

struct Terminal : ::testing::Test {
    pid_t child = -1;
    int master = -1;
    int report = -1;
    std::string screen_output; // everything the child drew

    void SetUp() override {
        int pipe_fds[2];
        ASSERT_EQ(pipe(pipe_fds), 0);
        winsize size{};
        size.ws_row = 10;
        size.ws_col = 40;
        child = forkpty(&master, nullptr, nullptr, &size);
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipe_fds[0]);
            run_child(pipe_fds[1]);
        }
        close(pipe_fds[1]);
        report = pipe_fds[0];
    }

    void TearDown() override {
        if (master >= 0) close(master);
        if (report >= 0) close(report);
        if (child > 0) {
            int status = 0;
            for (int i = 0; i < 100 && waitpid(child, &status, WNOHANG) == 0; ++i)
                usleep(50000);
            if (waitpid(child, &status, WNOHANG) == 0) {
                kill(child, SIGKILL);
                waitpid(child, &status, 0);
            }
        }
    }

    void type(std::string_view bytes) {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads the terminal's output until it shows `text`; false when it never does.
    bool output_shows(std::string_view text) {
        for (int rounds = 0; rounds < 400; ++rounds) {
            if (screen_output.find(text) != std::string::npos) return true;
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
                char buf[4096];
                ssize_t got = read(master, buf, sizeof buf);
                if (got > 0) screen_output.append(buf, static_cast<std::size_t>(got));
            }
        }
        return false;
    }

    // The next report line; the terminal's output is drained meanwhile so that
    // the child never blocks on a full terminal. Gives up after a long while.
    std::string next_report() {
        std::string line;
        for (int rounds = 0; rounds < 400; ++rounds) {
            pollfd fds[2] = {{report, POLLIN, 0}, {master, POLLIN, 0}};
            int n = poll(fds, master >= 0 ? 2 : 1, 50);
            if (n < 0 && errno == EINTR) continue;
            if (master >= 0 && (fds[1].revents & POLLIN)) {
                char buf[4096];
                ssize_t got = read(master, buf, sizeof buf);
                if (got > 0) screen_output.append(buf, static_cast<std::size_t>(got));
            }
            if (fds[0].revents & (POLLIN | POLLHUP)) {
                char c;
                while (read(report, &c, 1) == 1) {
                    if (c == '\n') return line;
                    line.push_back(c);
                }
                return "EOF " + line;
            }
        }
        return "TIMEOUT " + line;
    }
};

TEST_F(Terminal, TurnsReportKeysAndEditedFields) {
    type("abc\x1b[1;2P"); // typed text, then Shift-F1
    EXPECT_EQ(next_report(), "S-F1 1:abc");
    EXPECT_TRUE(output_shows("hello"));

    type("\tX\x1b[3~\r"); // to the text line, overtype, Delete, Enter
    EXPECT_EQ(next_report(), "ENTER 1:abc 2:Xllo");

    type("\x1b"); // a lone Escape is known only when nothing follows
    EXPECT_EQ(next_report(), "ESCAPE 1:abc 2:Xllo");

    type("\x1bx");
    EXPECT_EQ(next_report(), "M-x 1:abc 2:Xllo");

    type("\xc3\xa9\x1b[24;5~"); // é as typed on a UTF-8 terminal, Control-F12
    EXPECT_EQ(next_report(), "C-F12 1:abc 2:X\xe9lo");

    close(master); // the terminal goes away
    master = -1;
    EXPECT_EQ(next_report(), "HANGUP 1:abc 2:X\xe9lo");
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    child = -1;
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(Terminal, TerminateRequestEndsTheTurn) {
    type("q\x1bOP"); // F1 in the SS3 form
    EXPECT_EQ(next_report(), "F1 1:q");
    kill(child, SIGTERM);
    EXPECT_EQ(next_report(), "HANGUP 1:q");
}

} // namespace
} // namespace voren::platform
