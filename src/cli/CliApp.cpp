#include "cli/CliApp.h"

#include <cstdio>
#include <exception>
#include <new>

#include "cli/Command.h"
#include "cli/ExitStatus.h"
#include "support/Language.h"

namespace pixadra::cli {
namespace {

constexpr const char* kVersion = "4.1.0";

const std::vector<const Command*>& Commands() {
    static const std::vector<const Command*> commands = {&AddCommand(), &RenderCommand(), &BlendCommand(),
                                                         &ListCommand()};
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command* command : Commands()) {
        if (command->name == name) return command;
    }
    return nullptr;
}

void Print(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

std::string ToolHelp() {
    std::string help =
        "Usage: pixadra-cli <command> [options]\n"
        "\n"
        "Photo mosaics without the wizard: build tile databases from folders of pictures, render a\n"
        "picture as a mosaic of tiles, cross-fade the mosaic with the picture.\n"
        "\n"
        "Commands:\n";
    for (const Command* command : Commands()) {
        help += "  " + command->name + std::string(8 - command->name.size(), ' ') + command->summary + "\n";
    }
    help +=
        "\n"
        "Options:\n"
        "  -h, --help   show this help; 'pixadra-cli <command> --help' shows a command's options\n"
        "  --version    print the version\n"
        "\n"
        "Exit status: 0 done, 1 error, 2 usage error, 3 declined (a warning answered No without\n"
        "--yes), 130 interrupted while adding pictures.\n";
    return help;
}

int UsageFailure(const std::string& message, const std::string& commandName) {
    const std::string helpCall =
        commandName.empty() ? "pixadra-cli --help" : "pixadra-cli " + commandName + " --help";
    Print(stderr, "pixadra-cli: " + message + "\nTry '" + helpCall + "'.\n");
    return kExitUsage;
}

int Failure(const std::string& message) {
    Print(stderr, "pixadra-cli: " + message + "\n");
    return kExitError;
}

int RunCommand(const Command& command, const std::vector<std::string>& args) {
    try {
        const ParsedArguments parsed = ParseArguments(args, command.options, command.maxPositionals);
        if (parsed.Has("help")) {
            Print(stdout, command.help);
            return kExitDone;
        }
        // The words of every message and progress label come from the language file.
        if (!LoadLanguageFile()) return Failure(FatalLanguageFileMessage(LanguageFilePath()));
        return command.run(parsed);
    } catch (const UsageError& e) {
        return UsageFailure(e.what(), command.name);
    } catch (const std::bad_alloc&) {
        return Failure("not enough memory for this job");
    } catch (const std::exception& e) {
        return Failure(e.what());
    }
}

}  // namespace

int RunCli(const std::vector<std::string>& args) {
    if (args.empty()) return UsageFailure("no command given", std::string());
    const std::string& first = args.front();
    if (first == "--help" || first == "-h" || (first == "help" && args.size() == 1)) {
        Print(stdout, ToolHelp());
        return kExitDone;
    }
    if (first == "--version") {
        Print(stdout, std::string("pixadra-cli ") + kVersion + "\n");
        return kExitDone;
    }
    if (first == "help") {
        const Command* command = FindCommand(args[1]);
        if (!command) return UsageFailure("unknown command \"" + args[1] + "\"", std::string());
        Print(stdout, command->help);
        return kExitDone;
    }
    const Command* command = FindCommand(first);
    if (!command) return UsageFailure("unknown command \"" + first + "\"", std::string());
    return RunCommand(*command, std::vector<std::string>(args.begin() + 1, args.end()));
}

}  // namespace pixadra::cli
