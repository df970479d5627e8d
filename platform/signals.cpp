#include "platform/signals.h"

#include <csignal>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace voren::platform {

namespace {

constexpr int fault_signals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

SignalCallback fault_callback = nullptr;
volatile sig_atomic_t handling = 0;

void restore_default(int signal_number) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
}

void on_fault(int signal_number) {
    if (handling) {
        // A fault while saving: give up at once.
        restore_default(signal_number);
        raise(signal_number);
        _exit(128 + signal_number);
    }
    handling = 1;
    if (fault_callback) fault_callback(signal_number);
    _exit(signal_number);
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

void install_fault_handlers(SignalCallback callback) {
    ensure_alternate_stack();
    fault_callback = callback;
    handling = 0;
    for (int signal_number : fault_signals) {
        struct sigaction action {};
        action.sa_handler = on_fault;
        sigemptyset(&action.sa_mask);
        // SA_NODEFER lets a fault inside the handler reach it again, where the
        // re-entry guard ends the process.
        action.sa_flags = SA_ONSTACK | SA_NODEFER;
        sigaction(signal_number, &action, nullptr);
    }
}

void remove_fault_handlers() {
    for (int signal_number : fault_signals)
        restore_default(signal_number);
    fault_callback = nullptr;
    handling = 0;
}

void ignore_file_size_signal() {
    signal(SIGXFSZ, SIG_IGN);
}

} // namespace voren::platform
