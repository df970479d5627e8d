// SIGHUP / SIGTERM: record in the handler, act in normal context.
#include "platform/hangup.h"

#include <csignal>

namespace voren::platform {

static volatile std::sig_atomic_t pending_signal = 0;
static HangupHandler registered_handler = nullptr;
static void* registered_context = nullptr;

extern "C" void voren_on_hangup_signal(int sig) {
    if (pending_signal == 0) pending_signal = sig;
}

void set_hangup_handler(HangupHandler handler, void* context) {
    registered_handler = handler;
    registered_context = context;
    struct sigaction sa {};
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a blocked read returns so that the input loop notices.
    sa.sa_flags = 0;
    sa.sa_handler = handler ? voren_on_hangup_signal : SIG_DFL;
    sigaction(SIGHUP, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    if (!handler) pending_signal = 0;
}

bool hangup_pending() {
    return pending_signal != 0;
}

void note_hangup(int signal) {
    if (pending_signal == 0) pending_signal = signal;
}

int run_pending_hangup() {
    int sig = pending_signal;
    if (sig == 0) return 0;
    HangupHandler handler = registered_handler;
    void* context = registered_context;
    if (handler) handler(sig, context);
    pending_signal = 0;
    return sig;
}

} // namespace voren::platform
