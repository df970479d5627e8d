#pragma once
// Signals: the fault handler of the internal-error emergency path and the
// hang-up handler that saves modified files when the terminal goes away.

namespace voren::platform {

using SignalCallback = void (*)(int signal_number);

// SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT call `on_fault` (on an alternate
// stack, so that a stack overflow can be reported too). A fault raised while
// the callback runs ends the process with the signal's default action.
void install_fault_handlers(SignalCallback on_fault);
// SIGHUP and SIGTERM call `on_hangup`.
void install_hangup_handlers(SignalCallback on_hangup);
// Restores the default action of every signal installed above.
void remove_signal_handlers();
// A file-size limit (ulimit -f) makes writes fail with EFBIG instead of
// killing the process.
void ignore_file_size_signal();

} // namespace voren::platform
