// Writes the seeds of the project-file reader for every calculator of the
// registry into a folder: its file at the window's initial figures, and the
// same with every choice record holding no code.
//   fuzz_seeds FOLDER
#include "calculators/registry.h"
#include "common/calculator/projectfile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace vantero;

void write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    for (const Calculator* calculator : calculators()) {
        std::vector<RecordEntry> initial;
        std::vector<RecordEntry> noCodes;
        for (const ProjectRecord& record : calculator->layout().records) {
            if (record.kind == RecordKind::Number) {
                const auto input = calculator->inputs()[*calculator->findInput(record.input)];
                initial.emplace_back(std::string(input.initialText));
                noCodes.push_back(initial.back());
            } else {
                const auto choice = calculator->choices()[*calculator->findChoice(record.input)];
                initial.emplace_back(ChoiceIndex(choice.itemOfValue(choice.initial)));
                noCodes.emplace_back(ChoiceIndex{});
            }
        }
        const std::string name(calculator->name());
        write(folder / (name + "_initial"), encodeProject(calculator->layout(), initial));
        write(folder / (name + "_choices_unknown"), encodeProject(calculator->layout(), noCodes));
    }
    return 0;
}
