// Refused command lines: the exit status, a message naming what failed, and no file written.
#include <gtest/gtest.h>

#include "cli/CliFixtures.h"
#include "cli/CliRunner.h"
#include "common/TestSupport.h"

namespace pixadra::testing {
namespace {

struct ErrorCase {
    const char* name;
    std::vector<std::string> args;  // "@" stands for the shared setup's folder, "$" for a fresh one
    int status;
    const char* mentions;  // a text the message must contain
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<std::string> Expand(const std::vector<std::string>& args, const std::string& shared,
                                const std::string& fresh) {
    std::vector<std::string> out;
    for (std::string arg : args) {
        if (!arg.empty() && arg[0] == '@') arg = shared + arg.substr(1);
        if (!arg.empty() && arg[0] == '$') arg = fresh + arg.substr(1);
        out.push_back(arg);
    }
    return out;
}

const std::vector<std::string> kRender{"render",  "--databases", "@db",      "--use", "tiles",
                                       "--input", "@in.jpg",     "--output", "$m.bmp"};

std::vector<std::string> Render(std::vector<std::string> extra) {
    std::vector<std::string> args = kRender;
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

std::vector<std::string> RenderWith(const std::string& option, const std::string& value) {
    std::vector<std::string> args = kRender;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == option) args[i + 1] = value;
    }
    return args;
}

class CliErrorStatus : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CliErrorStatus, RefusesWithTheStatusAndWritesNothing) {
    const ErrorCase& c = GetParam();
    const RenderSetup& setup = SharedRenderSetup();
    TempFolder fresh;
    const auto sharedBefore = SnapshotFolder(setup.root);
    const CliResult result = RunCli(Expand(c.args, setup.root, fresh.Path()));
    EXPECT_EQ(result.status, c.status) << Describe(result);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(c.mentions), std::string::npos) << result.err;
    if (c.status == 2) {
        EXPECT_NE(result.err.find("Try 'pixadra-cli"), std::string::npos) << result.err;
    }
    EXPECT_TRUE(SnapshotFolder(fresh.Path()).empty());
    EXPECT_EQ(SnapshotFolder(setup.root), sharedBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliErrorStatus,
    ::testing::Values(
        ErrorCase{"AddMissingFolder",
                  {"add", "--databases", "$db", "--name", "n", "--from", "$nowhere"},
                  1,
                  "nowhere"},
        ErrorCase{
            "AddEmptyName", {"add", "--databases", "$db", "--name", "<*>", "--from", "@pictures"}, 2, "<*>"},
        ErrorCase{"AddResolutionTooLow",
                  {"add", "--databases", "$db", "--name", "n", "--from", "@pictures", "--resolution", "49"},
                  2,
                  "--resolution"},
        ErrorCase{"RenderUnreadablePicture", RenderWith("--input", "@bad.jpg"), 1, "bad.jpg"},
        ErrorCase{"RenderMissingPicture", RenderWith("--input", "@missing.png"), 1, "missing.png"},
        ErrorCase{"RenderMissingDatabase", RenderWith("--use", "nope"), 1, "nope"},
        ErrorCase{"RenderSecondDatabaseMissing", Render({"--use", "other"}), 1, "other"},
        ErrorCase{"RenderMissingDatabaseFolder", RenderWith("--databases", "$none"), 1, "none"},
        ErrorCase{"RenderOutputFolderMissing", RenderWith("--output", "$sub/m.bmp"), 1, "sub"},
        ErrorCase{"RenderTooFewTiles", Render({"--tiles", "5"}), 2, "--tiles"},
        ErrorCase{"RenderTooManyTiles", Render({"--tiles", "100000001"}), 2, "--tiles"},
        ErrorCase{"RenderTilesNotANumber", Render({"--tiles", "12x"}), 2, "12x"},
        // The job itself refuses: no cell of the grid would be big enough.
        ErrorCase{"RenderMoreTilesThanPixels", Render({"--tiles", "100000000"}), 1, "nothing was rendered"},
        ErrorCase{"RenderRoundShape", Render({"--shape", "round"}), 2, "round"},
        ErrorCase{"RenderNoUseLimit", Render({"--max-uses", "0"}), 2, "--max-uses"},
        ErrorCase{"RenderWithoutDatabase",
                  {"render", "--databases", "@db", "--input", "@in.jpg", "--output", "$m.bmp"},
                  2,
                  "--use"},
        ErrorCase{"RenderUnknownOption", Render({"--colour", "red"}), 2, "--colour"},
        ErrorCase{"ListMissingDatabase", {"list", "--databases", "@db", "nope"}, 1, "nope"},
        ErrorCase{"ListMissingFolder", {"list", "--databases", "$none"}, 1, "none"},
        ErrorCase{"BlendFactorTooHigh",
                  {"blend", "--input", "@in.jpg", "--mosaic", "$m.bmp", "--tiles", "10", "--factor", "101"},
                  2,
                  "--factor"},
        ErrorCase{"UnknownCommand", {"paint"}, 2, "paint"}, ErrorCase{"NoCommand", {}, 2, "no command"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(CliHelpTest, ToolAndEveryCommandHaveHelpAndTheVersionIsPrinted) {
    const CliResult tool = RunCli({"--help"});
    EXPECT_EQ(tool.status, 0);
    for (const char* command : {"add", "render", "blend", "list"}) {
        SCOPED_TRACE(command);
        EXPECT_NE(tool.out.find(std::string("\n  ") + command + " "), std::string::npos) << tool.out;
        const CliResult help = RunCli({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind(std::string("Usage: pixadra-cli ") + command + " ", 0), 0u) << help.out;
        EXPECT_EQ(RunCli({"help", command}).out, help.out);
    }
    const CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "pixadra-cli 4.1.0\n");
}

}  // namespace
}  // namespace pixadra::testing
