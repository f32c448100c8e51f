#pragma once
// The command-line front end: picks the command, runs it and turns its outcome into an exit
// status (see ExitStatus.h). Errors never escape: their message goes to standard error.
#include <string>
#include <vector>

namespace pixadra::cli {

// `args` are the arguments after the program name.
int RunCli(const std::vector<std::string>& args);

}  // namespace pixadra::cli
