// Writes what the package installs beside the programs and is made from the
// calculators' descriptions and vantero's option table and --help:
//   vantero_describe man PROGRAM VERSION    the manual page of a program
//   vantero_describe bash-completion        the bash completion of vantero
//   vantero_describe caption CALCULATOR     the caption of its main window
#include "calculators/registry.h"
#include "packaging/completion.h"
#include "packaging/manpages.h"

#include <cstdio>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
    const std::string_view what = argc > 1 ? argv[1] : "";
    std::string text;
    if (what == "man" && argc == 4) {
        const std::string_view program = argv[2];
        if (program == "vantero") {
            text = vantero::packaging::commandLineManPage(argv[3]);
        } else if (const vantero::Calculator* calculator = vantero::findCalculator(program)) {
            text = vantero::packaging::programManPage(*calculator, argv[3]);
        } else {
            std::fprintf(stderr, "vantero_describe: no program \"%s\"\n", argv[2]);
            return 2;
        }
    } else if (what == "bash-completion" && argc == 2) {
        text = vantero::packaging::bashCompletion();
    } else if (what == "caption" && argc == 3) {
        const vantero::Calculator* calculator = vantero::findCalculator(argv[2]);
        if (calculator == nullptr) {
            std::fprintf(stderr, "vantero_describe: no calculator \"%s\"\n", argv[2]);
            return 2;
        }
        text = std::string(calculator->caption()) + "\n";
    } else {
        std::fputs(
            "usage: vantero_describe man PROGRAM VERSION | bash-completion | caption CALCULATOR\n",
            stderr);
        return 2;
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        std::perror("vantero_describe");
        return 3;
    }
    return 0;
}
