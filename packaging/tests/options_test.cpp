// An option added to vantero's table reaches everything made from it: the
// parser, --help, the manual page and the bash completion.
#include "cli/core/arguments.h"
#include "cli/core/program.h"
#include "cli/tests/temporaryfolder.h"
#include "packaging/completion.h"
#include "packaging/manpages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vantero::packaging {
namespace {

using cli::Arguments;
using cli::Completion;
using cli::OptionSpec;

// The table of vantero and two options more: one that takes a file, one flag.
std::vector<OptionSpec> withMadeUpOptions() {
    const auto real = cli::commandLineOptions();
    std::vector<OptionSpec> options(real.begin(), real.end());
    options.push_back({.name = "--frobnicate",
                       .value = &Arguments::open,
                       .completion = Completion::Files,
                       .completes = ".frob",
                       .forms = {{"FILE", "frobnicate the file given."}}});
    options.push_back({.name = "--fizzle",
                       .value = &Arguments::json,
                       .forms = {{.help = "fizzle.", .manual = "fizzle, as the manual says."}}});
    return options;
}

cli::Arguments parse(const std::vector<std::string_view>& args,
                     std::span<const OptionSpec> options) {
    return cli::parseArguments(args, options);
}

TEST(MadeUpOptions, areReadByTheParser) {
    const std::vector<OptionSpec> options = withMadeUpOptions();
    const Arguments a = parse({"tavo", "--frobnicate", "x.frob", "--fizzle"}, options);
    EXPECT_EQ(a.open, "x.frob");
    EXPECT_TRUE(a.json);
    EXPECT_EQ(parse({"tavo", "--frobnicate=y.frob"}, options).open, "y.frob");
    EXPECT_THROW(parse({"tavo", "--frobnicate"}, options), cli::UsageError);
    EXPECT_THROW(parse({"tavo", "--fizzle"}, cli::commandLineOptions()), cli::UsageError);
    try {
        parse({"--nope"}, options);
        ADD_FAILURE() << "--nope was taken";
    } catch (const cli::UsageError& error) {
        EXPECT_TRUE(std::string(error.what()).ends_with("--version, --frobnicate and --fizzle"))
            << error.what();
    }
}

TEST(MadeUpOptions, areDescribedByHelpAmongTheOptions) {
    const std::string help = cli::generalHelpText(withMadeUpOptions());
    const std::size_t options = help.find("\nOptions:\n");
    const std::size_t after = help.find("\nExit status:\n");
    for (const std::string entry : {"\n  --frobnicate FILE\n                    frobnicate the "
                                    "file given.\n",
                                    "\n  --fizzle          fizzle.\n"}) {
        const std::size_t at = help.find(entry);
        EXPECT_TRUE(at > options && at < after) << entry << "\nin\n" << help;
    }
}

TEST(MadeUpOptions, areEntriesOfTheManualPage) {
    const std::string page = commandLineManPage("1.0", withMadeUpOptions());
    const std::size_t options = page.find(".SH \"OPTIONS\"\n");
    const std::size_t after = page.find(".SH \"EXIT STATUS\"\n");
    for (const std::string entry :
         {".TP\n\\fB\\%\\-\\-frobnicate\\fR \\fI\\%FILE\\fR\nfrobnicate the file given.\n",
          ".TP\n\\fB\\%\\-\\-fizzle\\fR\nfizzle, as the manual says.\n"}) {
        const std::size_t at = page.find(entry);
        EXPECT_TRUE(at > options && at < after) << entry << "\nin\n" << page;
    }
}

// What bash completes each line to (the cursor at its end), with the script
// made from `options`: per line the candidates, sorted, after one blank each.
std::vector<std::string> completions(std::span<const OptionSpec> options,
                                     const std::vector<std::string>& lines,
                                     const cli::TemporaryFolder& folder) {
    std::ofstream(folder.file("completion.bash")) << bashCompletion(options);
    std::ofstream driver(folder.file("driver.bash"));
    driver << "source '" << folder.file("completion.bash") << "'\n"
           << "for line in \"$@\"; do\n"
           << "  COMP_LINE=$line COMP_POINT=${#line} COMPREPLY=()\n"
           << "  _vantero\n"
           << "  printf ' %s' $(printf '%s\\n' \"${COMPREPLY[@]}\" | sort); echo\n"
           << "done\n";
    driver.close();
    std::string command = "bash '" + folder.file("driver.bash") + "'";
    for (const std::string& line : lines) {
        command += " '" + line + "'";
    }
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run bash");
    }
    std::vector<std::string> got;
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            got.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    pclose(pipe);
    return got;
}

TEST(MadeUpOptions, areCompletedByBash) {
    const cli::TemporaryFolder folder;
    for (const char* name : {"a.frob", "b.FROB", "c.txt"}) {
        std::ofstream(folder.file(name)) << "";
    }
    std::filesystem::create_directory(folder.file("sub"));
    const std::string dir = folder.file("");
    // tavo has an input manualSensitivity, anel none: which of the two is the
    // calculator shows whether the word after an option was taken as its value.
    // And the two kinds of value the real options do not complete to.
    std::vector<OptionSpec> options = withMadeUpOptions();
    options.push_back({.name = "--flavour",
                       .value = &Arguments::save,
                       .completion = Completion::Words,
                       .completes = "sweet sour bitter",
                       .forms = {{"TASTE", "taste."}}});
    options.push_back({.name = "--against",
                       .value = &Arguments::at,
                       .completion = Completion::Calculator,
                       .forms = {{"CALCULATOR", "compare."}}});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"vantero tavo --f", " --fizzle --flavour --frobnicate"},
        {"vantero tavo --frobnicate " + dir, " " + dir + "a.frob " + dir + "b.FROB " + dir + "sub"},
        {"vantero --frobnicate anel tavo --set manualS", " manualSensitivity="},
        {"vantero --fizzle tavo --set manualS", " manualSensitivity="},
        {"vantero tavo --flavour s", " sour sweet"},
        {"vantero tavo --against ta", " tavo"},
    };
    std::vector<std::string> lines;
    for (const auto& [line, expected] : cases) {
        lines.push_back(line);
    }
    const std::vector<std::string> got = completions(options, lines, folder);
    ASSERT_EQ(got.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(got[i], cases[i].second) << cases[i].first;
    }
}

TEST(UsageModes, nameOnlyOptionsOfTheTable) {
    const std::vector<OptionSpec> none;
    EXPECT_THROW(cli::usageItems("CALCULATOR [--open]", none), std::logic_error);
    EXPECT_THROW(cli::usageItems("--sweep", cli::commandLineOptions()), std::logic_error);
    EXPECT_THROW(cli::usageItems("--sweep=RANGE", cli::commandLineOptions()), std::logic_error);
    EXPECT_EQ(cli::usageItems("CALCULATOR [--set] --sweep=CHOICE", cli::commandLineOptions()),
              (std::vector<std::string>{"CALCULATOR", "[--set NAME=VALUE]...", "--sweep CHOICE"}));
}

} // namespace
} // namespace vantero::packaging
