#pragma once
// Ctrl-C while pictures are added: the first one sets the engine's cancel flag, so the adding
// stops before its next picture with the database intact; a second one ends the program at once.

namespace pixadra::cli {

// Installs the handler for SIGINT until RestoreInterruptHandler().
void InstallInterruptHandler();
void RestoreInterruptHandler();

}  // namespace pixadra::cli
