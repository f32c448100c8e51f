// pixadra-cli: the command-line front end over the mosaic engine.
#include <string>
#include <vector>

#include "cli/CliApp.h"

int main(int argc, char** argv) {
    return pixadra::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc));
}
