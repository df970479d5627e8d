#include "platform/signals.h"

#include <csignal>
#include <cstdlib>
#include <vector>

namespace voren::platform {

namespace {

constexpr int fault_signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int hangup_signals[] = {SIGHUP, SIGTERM};

SignalCallback fault_callback = nullptr;
SignalCallback hangup_callback = nullptr;
volatile sig_atomic_t handling = 0;

void restore_default(int signal_number) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
}

void on_signal(int signal_number) {
    bool fault = signal_number != SIGHUP && signal_number != SIGTERM;
    if (handling) {
        // A second signal while saving: give up at once.
        restore_default(signal_number);
        raise(signal_number);
        _exit(128 + signal_number);
    }
    handling = 1;
    SignalCallback callback = fault ? fault_callback : hangup_callback;
    if (callback) callback(signal_number);
    _exit(fault ? signal_number : 128 + signal_number);
}

void install(int signal_number) {
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    // SA_NODEFER lets a fault inside the handler reach it again, where the
    // re-entry guard ends the process.
    action.sa_flags = SA_ONSTACK | SA_NODEFER;
    sigaction(signal_number, &action, nullptr);
}

void ensure_alternate_stack() {
    static std::vector<char> stack;
    if (!stack.empty()) return;
    stack.resize(1 << 18);
    stack_t alt{};
    alt.ss_sp = stack.data();
    alt.ss_size = stack.size();
    sigaltstack(&alt, nullptr);
}

} // namespace

void install_fault_handlers(SignalCallback on_fault) {
    ensure_alternate_stack();
    fault_callback = on_fault;
    handling = 0;
    for (int signal_number : fault_signals)
        install(signal_number);
}

void install_hangup_handlers(SignalCallback on_hangup) {
    ensure_alternate_stack();
    hangup_callback = on_hangup;
    handling = 0;
    for (int signal_number : hangup_signals)
        install(signal_number);
}

void remove_signal_handlers() {
    for (int signal_number : fault_signals)
        restore_default(signal_number);
    for (int signal_number : hangup_signals)
        restore_default(signal_number);
    fault_callback = nullptr;
    hangup_callback = nullptr;
    handling = 0;
}

void ignore_file_size_signal() {
    signal(SIGXFSZ, SIG_IGN);
}

} // namespace voren::platform
