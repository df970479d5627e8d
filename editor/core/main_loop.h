#pragma once
// The pending-command queue, one turn of the main loop, the interactive loop
// and the batch loop.
#include <string>

namespace voren {

struct Editor;

// Appends a command to the pending queue.
void queue_command(Editor& ed, std::string command);
// Puts a command in front of everything already queued.
void queue_command_first(Editor& ed, std::string command);

// One turn: redisplay, wait for the user (interactive), run one command from
// the pending queue, else from the data-stack queue, else (interactive) what
// the key asks for; then the autosave accounting. Returns false when, in
// batch mode, nothing was left to run.
bool run_turn(Editor& ed);

// Turns until the exit path ends the program.
[[noreturn]] void run_main_loop(Editor& ed);
// Runs every queued command, appends the message logs, and exits.
[[noreturn]] void run_batch(Editor& ed);

// Appends the ring files named "*.@messages" to their files on disk with the
// batch-run header; false (after a message on standard error) on failure.
bool append_message_logs(Editor& ed);

} // namespace voren
