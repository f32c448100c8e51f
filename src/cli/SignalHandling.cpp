#include "cli/SignalHandling.h"

#include <signal.h>

#include "engine/CancelFlag.h"

namespace pixadra::cli {
namespace {

static_assert(std::atomic<bool>::is_always_lock_free, "the cancel flag is set from a signal handler");

struct sigaction g_previous {};
bool g_installed = false;

void OnInterrupt(int) {
    CancelFlag().store(true);
}

}  // namespace

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the second Ctrl-C meets the default action and ends the program.
    // SA_RESTART: a write in progress is finished, not cut short.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    g_installed = ::sigaction(SIGINT, &action, &g_previous) == 0;
}

void RestoreInterruptHandler() {
    if (g_installed) ::sigaction(SIGINT, &g_previous, nullptr);
    g_installed = false;
}

}  // namespace pixadra::cli
