#pragma once
// The external data queue (the "data stack") with its buffers.
//
// The current buffer is a list of lines whose front is the top of the stack:
// PUSH adds at the front, QUEUE at the back, PULL takes the front. MAKEBUF
// saves the current buffer and starts an empty one; DROPBUF brings saved
// buffers back. QUEUED() and SENTRIES count the current buffer only. When
// the current buffer is empty, PULL reads a line of console input.
//
// The queue belongs to the interpreter state (Interp::queue), so it lives as
// long as that state: an embedder that keeps one state across program runs
// keeps the lines queued by one run for the next.
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace tolma {

struct Interp;

struct DataQueue {
    std::deque<std::string> lines;              // the current buffer; front = top
    std::vector<std::deque<std::string>> saved; // saved buffers, oldest first
    int buffer_number() const { return static_cast<int>(saved.size()); }
};

void stack_push(DataQueue& q, std::string line);  // PUSH: at the top
void stack_queue(DataQueue& q, std::string line); // QUEUE: at the bottom
// Takes the top line of the current buffer; false when it is empty.
bool stack_pull(DataQueue& q, std::string& line);
size_t stack_count(const DataQueue& q);
// Empties every buffer.
void clear_queue(DataQueue& q);

// PULL and PARSE PULL: the top line, or, when the current buffer is empty, a
// line read through the interpreter's read_line hook (its trailing CR
// removed). False, with an empty line, at the end of the console input.
bool pull_line(Interp& in, std::string& line);

// The buffer commands; each returns the command's return code.
int makebuf(DataQueue& q);                       // the new buffer number
int dropbuf(DataQueue& q, std::string_view arg); // 0; 1 not a number; 2 out of range
int desbuf(DataQueue& q);                        // 0
int sentries(const DataQueue& q);                // lines in the current buffer

// Recognises MAKEBUF, DROPBUF [n], DESBUF and SENTRIES at the start of a
// command string (any case) and runs it; false for any other command.
bool buffer_command(DataQueue& q, std::string_view command, int& rc);

} // namespace tolma
