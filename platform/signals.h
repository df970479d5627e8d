#pragma once
// Fault signals: the internal-error emergency path. (Hang-up and termination
// are recorded by platform/hangup.h and handled in normal context.)

namespace voren::platform {

using SignalCallback = void (*)(int signal_number);

// SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT call `on_fault` (on an alternate
// stack, so that a stack overflow can be reported too). A fault raised while
// the callback runs ends the process with the signal's default action.
void install_fault_handlers(SignalCallback on_fault);
// Restores the default action of the fault signals.
void remove_fault_handlers();
// A file-size limit (ulimit -f) makes writes fail with EFBIG instead of
// killing the process.
void ignore_file_size_signal();

} // namespace voren::platform
