#include "cli/stop_signals.h"

#include <csignal>

namespace parvex {

namespace {

volatile std::sig_atomic_t StopSignal = 0;

extern "C" void RememberStopSignal(int signal) {
    StopSignal = signal;
}

constexpr int StopSignals[] = {SIGINT, SIGTERM, SIGHUP};

} // namespace

void InstallStopSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = RememberStopSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes the signal interrupts carry on: the run ends at the engine's next poll,
    // not by a read that failed with EINTR and counted a file as unreadable.
    action.sa_flags = SA_RESTART;
    sigset_t unblock;
    sigemptyset(&unblock);
    for (const int signal : StopSignals) {
        struct sigaction previous {};
        if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
        sigaddset(&unblock, signal);
    }
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
}

int ReceivedStopSignal() {
    return StopSignal;
}

} // namespace parvex
