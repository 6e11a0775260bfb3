// Writes the seeds of the project-file reader for every calculator of the
// registry into a folder: its file at the window's initial figures, and the
// same with every choice record holding no code; and, into a second folder
// when one is given, the seeds of the tables of links: a table of every
// calculator with each of its inputs and choices as a column, two links at
// the initial figures and two with cells that are not.
//   fuzz_seeds FOLDER [TABLES]
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

void writeTable(const std::filesystem::path& path, const Calculator& calculator) {
    std::string header = "id,length";
    std::string initial = "initial,10";
    std::string empty = "empty,";
    std::string bad = "bad,-1";
    for (const InputDescription& input : calculator.inputs()) {
        header += "," + std::string(input.name);
        initial += "," + std::string(input.initialText);
        empty += ",";
        bad += ",\"1,5\"";
    }
    for (const ChoiceDescription& choice : calculator.choices()) {
        header += "," + std::string(choice.name);
        initial += "," + std::string(choice.values[static_cast<std::size_t>(choice.initial)]);
        empty += ",";
        bad += ",?";
    }
    std::ofstream(path, std::ios::binary) << header << "\r\n"
                                          << initial << "\r\n"
                                          << empty << "\r\n"
                                          << bad << "\r\n";
}

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER [TABLES]\n");
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
        if (argc == 3) {
            writeTable(std::filesystem::path(argv[2]) / (name + "_every_column"), *calculator);
        }
    }
    return 0;
}
