#pragma once
// Runs the built pixadra-cli in a child process with its output streams caught in files.
#include <sys/types.h>

#include <string>
#include <vector>

namespace pixadra::testing {

struct CliResult {
    int status = -1;  // the exit status, or 128 + the signal that ended the process
    std::string out;
    std::string err;
};

class CliProcess {
  public:
    // Starts pixadra-cli with the arguments; standard input is /dev/null.
    explicit CliProcess(const std::vector<std::string>& args);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    void Signal(int signal) const;
    CliResult Wait();
    // What the process has written to standard error so far.
    std::string ErrorSoFar() const;

  private:
    std::string outPath_;
    std::string errPath_;
    pid_t pid_ = -1;
};

// Runs pixadra-cli to its end.
CliResult RunCli(const std::vector<std::string>& args);

// "status 1; stderr: ..." for assertion messages.
std::string Describe(const CliResult& result);

}  // namespace pixadra::testing
