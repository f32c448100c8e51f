#pragma once
// What pixadra-cli reports to the shell.

namespace pixadra::cli {

enum ExitStatus {
    kExitDone = 0,
    kExitError = 1,         // the message names the file and what failed
    kExitUsage = 2,         // wrong options; a short hint follows the message
    kExitDeclined = 3,      // a warning was answered No (no --yes)
    kExitInterrupted = 130  // Ctrl-C while adding pictures; what was stored stays
};

}  // namespace pixadra::cli
