#pragma once
// The exit path and the emergency paths: when memory runs out, when the line
// count limit is passed, when a fault signal arrives, or when the terminal
// hangs up, every modified file is saved under its name with ".check"
// appended before the process ends.
#include <cstddef>

namespace voren {

struct Editor;

// Ends the program: closes the screen (unless in batch mode) and exits.
[[noreturn]] void exit_editor(Editor& ed, int status);

// Memory exhausted (`size` = the request, 0 when unknown) or, with
// `max_lines`, the line-count limit passed.
[[noreturn]] void memory_emergency(Editor& ed, size_t size, bool max_lines);
// A trapped fault: saves ".check" copies, writes "xed.trace", exits with
// `number` as status.
[[noreturn]] void internal_error_emergency(Editor& ed, int number);
// Hang-up or termination (acted on in normal context, between turns or from
// the screen layer's input loop): saves ".check" copies quietly and exits.
[[noreturn]] void hangup_emergency(Editor& ed, int signal_number);

// Routes allocation failures, fault signals and hang-ups of this process to
// the emergency paths of `ed`; null removes the routing.
void install_emergency_handlers(Editor* ed);
// The editor the emergency paths act on (null when none is installed).
Editor* emergency_editor();

} // namespace voren
