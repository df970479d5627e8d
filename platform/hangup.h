#pragma once
// Window close on the terminal: the terminal hanging up (SIGHUP) or a request to
// terminate (SIGTERM). The signal handler only records the signal; the registered
// handler runs later in normal context, from the input loop of the field layer
// (which then reports a Hangup key) or from whoever polls hangup_pending().
namespace voren::platform {

using HangupHandler = void (*)(int signal, void* context);

// Installs the SIGHUP and SIGTERM handlers and registers `handler` (which the
// editor uses to save modified files as ".check" copies). A null handler restores
// the default actions of both signals.
void set_hangup_handler(HangupHandler handler, void* context);

// True when a hangup or termination signal arrived and has not been handled.
bool hangup_pending();

// Runs the registered handler once for a pending signal and returns the signal
// number; returns 0 when nothing was pending. Further signals that arrive while
// the handler runs are ignored, so a save in progress is not cut short.
int run_pending_hangup();

// Records a hangup as if the signal had arrived (used when the terminal's input
// reaches end of file without a SIGHUP).
void note_hangup(int signal);

} // namespace voren::platform
