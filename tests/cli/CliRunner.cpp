#include "cli/CliRunner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "common/TestSupport.h"

extern char** environ;

namespace pixadra::testing {
namespace {

std::string CaptureFile(const char* stream) {
    static std::atomic<int> counter{0};
    char name[96];
    std::snprintf(name, sizeof name, "pixadra-cli-test-%d-%d.%s", static_cast<int>(::getpid()),
                  counter.fetch_add(1), stream);
    return (std::filesystem::temp_directory_path() / name).string();
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args)
    : outPath_(CaptureFile("out")), errPath_(CaptureFile("err")) {
    std::vector<std::string> argv_strings{PIXADRA_CLI_PATH};
    argv_strings.insert(argv_strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : argv_strings) argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    // A test run in the background inherits an ignored SIGINT; the child gets the default back.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const int failed = posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error(std::string("cannot start ") + PIXADRA_CLI_PATH);
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ::unlink(outPath_.c_str());
    ::unlink(errPath_.c_str());
}

void CliProcess::Signal(int signal) const {
    ::kill(pid_, signal);
}

CliResult CliProcess::Wait() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    CliResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadFileText(outPath_);
    result.err = ReadFileText(errPath_);
    return result;
}

std::string CliProcess::ErrorSoFar() const {
    return ReadFileText(errPath_);
}

CliResult RunCli(const std::vector<std::string>& args) {
    return CliProcess(args).Wait();
}

std::string Describe(const CliResult& result) {
    return "status " + std::to_string(result.status) + "\nstdout: " + result.out + "\nstderr: " + result.err;
}

}  // namespace pixadra::testing
