#pragma once
// One command of pixadra-cli: its name, its options, its help and what it runs.
#include <cstddef>
#include <string>
#include <vector>

#include "cli/ArgumentParser.h"
#include "support/Errors.h"

namespace pixadra::cli {

// A refusal of the command line itself (a missing folder, an unreadable picture, an unknown
// database): the message names the file and what failed; the exit status is 1.
class CliError : public PixadraError {
  public:
    using PixadraError::PixadraError;
};

struct Command {
    std::string name;
    std::string summary;  // one line for the tool's help
    std::string help;     // the command's --help text
    std::vector<OptionRule> options;
    std::size_t maxPositionals = 0;
    // Returns the exit status; throws UsageError, CliError or the engine's errors.
    int (*run)(const ParsedArguments& args) = nullptr;
};

const Command& AddCommand();
const Command& RenderCommand();
const Command& BlendCommand();
const Command& ListCommand();

}  // namespace pixadra::cli
