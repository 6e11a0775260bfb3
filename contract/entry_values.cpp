// The values of both entries, written by one build and checked by another:
//
//   entry_values write COUNT    prints COUNT random argument sets for each
//                               entry (and a few fixed ones), every value each
//                               Sorvik3 iteration stores and each result, as
//                               hexadecimal bit patterns
//   entry_values check FILE     recomputes the argument sets of FILE with this
//                               build and checks its values against FILE's
//   entry_values recompute FILE prints this build's values for the argument
//                               sets of FILE, to compare by hand
//
// The 32-bit x86 build checks what the x86-64 build wrote. The arguments
// travel in the file, so only the writer's arithmetic makes them.
//
// Sorvik3 must iterate as the reference does: the same number of iterations,
// the same estimate at the start and end of each, the same result, and the
// same values where the math library plays no part (the argument of the
// last logarithm, the derivative). The logarithms come from each platform's
// math library, whose last bit may differ from the other's; in an iteration
// where the four logarithms are the same, every value stored must be too.
// Newton's results must lie within 2 ulp of the reference's.
#include "pelkadi/newton.h"
#include "sorvik3/solver.h"
#include "sorvik3/sorvik3.h"

#include <algorithm>
#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vantero::sorvik3::IterationObserver;
using vantero::sorvik3::IterationValues;

constexpr std::int64_t newtonUlpLimit = 2;

struct Arguments {
    double a[4];
};

std::string hex(float value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08" PRIx32, std::bit_cast<std::uint32_t>(value));
    return text;
}

std::string hex(double value) {
    char text[24];
    std::snprintf(text, sizeof text, "%016" PRIx64, std::bit_cast<std::uint64_t>(value));
    return text;
}

std::string argumentsLine(char kind, const Arguments& arguments) {
    std::string line(1, kind);
    for (const double a : arguments.a) {
        line += ' ' + hex(a);
    }
    return line;
}

// Fields of an iteration line, after its "I".
enum Field {
    fieldJ = 1,
    fieldX,
    fieldLogFreq,
    fieldA,
    fieldLogH,
    fieldB,
    fieldLogX,
    fieldC,
    fieldArgument,
    fieldLogArgument,
    fieldF1,
    fieldF2,
    fieldDx,
    fieldFinal,
    fieldErro
};

class Trace final : public IterationObserver {
public:
    void iterationStarts(std::int32_t, float) override {}
    void iterationEnds(const IterationValues& v) override {
        std::string line = "I " + std::to_string(v.j);
        for (const std::string& value :
             {hex(v.x), hex(v.logFreq), hex(v.A), hex(v.logH), hex(v.B), hex(v.logX), hex(v.C),
              hex(v.argument), hex(v.logArgument), hex(v.f1), hex(v.f2), hex(v.dx), hex(v.final),
              hex(v.erro)}) {
            line += ' ' + value;
        }
        lines.push_back(line);
    }
    std::vector<std::string> lines;
};

// One argument set of Sorvik3: its arguments, each iteration's stored values
// and the entry's result.
std::vector<std::string> sorvik3Block(const Arguments& arguments) {
    const auto& [aten_borda, freq, termo_A, H] = arguments.a;
    Trace trace;
    trace.lines.push_back(argumentsLine('S', arguments));
    vantero::sorvik3::solve(aten_borda, freq, termo_A, H, &trace);
    trace.lines.push_back("R " + hex(Sorvik3(aten_borda, freq, termo_A, H)));
    return trace.lines;
}

double newton(const Arguments& arguments) {
    const auto& [ts2, te2x2, td2, tm2] = arguments.a;
    return Newton(ts2, te2x2, td2, tm2);
}

// Argument sets: the fixed ones first, then random ones from a fixed seed.
std::vector<Arguments> sorvik3Arguments(std::size_t count) {
    std::vector<Arguments> sets = {
        {{100, 900, 0, 30}},          {{140, 2400, 12.5, 45}},
        {{80, 150, -3, 10}},          {{100, 900, 0, 0}},
        {{100, -900, 0, 30}},         {{100, 0, 0, 30}},
        {{100, 900, 0, 1e-7}},        {{0, 0, 0, 0}},
        {{NAN, NAN, NAN, NAN}},       {{1e308, 900, 1e308, 30}},
        {{-1e308, 1e-300, 0, 1e300}},
    };
    std::mt19937_64 random(20240517);
    std::uniform_real_distribution<double> unit(0, 1);
    for (std::size_t i = 0; i < count; ++i) {
        sets.push_back({{60 + 160 * unit(random), std::pow(10, 4 * unit(random)),
                         40 * unit(random) - 20, std::pow(10, 3 * unit(random) - 1)}});
    }
    return sets;
}

std::vector<Arguments> newtonArguments(std::size_t count) {
    std::vector<Arguments> sets = {
        {{238.42993252595157, 153.125, 0.00406 * 0.00406, 4.42 * 4.42}},
        {{100, 19, 9, 0}},
        {{100, 19, 0, 81}},
        {{10, 1, 0, 0}},
        {{10, 10, 1, 1}},
        {{1e6, 1, 1e-12, 1e-10}},
    };
    std::mt19937_64 random(20240518);
    std::uniform_real_distribution<double> unit(0, 1);
    for (std::size_t i = 0; i < count; ++i) {
        const double ts2 = std::pow(10, 5 * unit(random));
        sets.push_back({{ts2, ts2 * 0.99 * unit(random), std::pow(10, 9 * unit(random) - 8),
                         std::pow(10, 6 * unit(random) - 4)}});
    }
    return sets;
}

int write(std::size_t count) {
    for (const Arguments& arguments : sorvik3Arguments(count)) {
        for (const std::string& line : sorvik3Block(arguments)) {
            std::cout << line << '\n';
        }
    }
    for (const Arguments& arguments : newtonArguments(count)) {
        std::cout << argumentsLine('N', arguments) << ' ' << hex(newton(arguments)) << '\n';
    }
    return std::cout.flush() ? 0 : 1;
}

double parseDouble(const std::string& text) {
    return std::bit_cast<double>(
        static_cast<std::uint64_t>(std::strtoull(text.c_str(), nullptr, 16)));
}

float parseFloat(const std::string& text) {
    return std::bit_cast<float>(
        static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 16)));
}

std::vector<std::string> fields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string field; in >> field;) {
        result.push_back(field);
    }
    return result;
}

Arguments parseArguments(const std::vector<std::string>& f) {
    return {
        {parseDouble(f.at(1)), parseDouble(f.at(2)), parseDouble(f.at(3)), parseDouble(f.at(4))}};
}

// A line of the file with its hexadecimal fields written out in decimal.
std::string decimal(const std::string& line) {
    std::string result;
    for (const std::string& field : fields(line)) {
        char text[40];
        if (field.size() == 16) {
            std::snprintf(text, sizeof text, " %.17g", parseDouble(field));
        } else if (field.size() == 8) {
            std::snprintf(text, sizeof text, " %.9g", static_cast<double>(parseFloat(field)));
        } else {
            std::snprintf(text, sizeof text, " %s", field.c_str());
        }
        result += text;
    }
    return result.substr(1);
}

// How many doubles lie between a and b: 0 for the same value (or two
// not-a-numbers), the largest distance for a not-a-number against a number.
std::int64_t ulps(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b) ? 0 : INT64_MAX;
    }
    // Doubles in the order of their values, as integers.
    const auto ordered = [](double x) {
        const auto bits = std::bit_cast<std::int64_t>(x);
        return bits < 0 ? INT64_MIN - bits : bits;
    };
    const auto oa = static_cast<std::uint64_t>(ordered(a));
    const auto ob = static_cast<std::uint64_t>(ordered(b));
    const std::uint64_t distance = ordered(a) > ordered(b) ? oa - ob : ob - oa;
    return static_cast<std::int64_t>(std::min<std::uint64_t>(distance, INT64_MAX));
}

// What a file holds: Sorvik3's blocks of lines and Newton's lines, each with
// its arguments.
struct Reference {
    std::vector<std::vector<std::string>> sorvik3;
    std::vector<std::vector<std::string>> newton; // fields: N, 4 arguments, result
};

bool read(const char* path, Reference& reference) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "cannot read " << path << '\n';
        return false;
    }
    std::size_t number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::vector<std::string> f = fields(line);
        const bool known =
            (f.size() == 5 && f[0] == "S") ||
            (f.size() == 2 && f[0] == "R" && !reference.sorvik3.empty()) ||
            (f.size() == fieldErro + 1 && f[0] == "I" && !reference.sorvik3.empty()) ||
            (f.size() == 6 && f[0] == "N");
        if (!known) {
            std::cerr << path << ": unreadable line " << number << ": " << line << '\n';
            return false;
        }
        if (f[0] == "S") {
            reference.sorvik3.push_back({line});
        } else if (f[0] == "N") {
            reference.newton.push_back(f);
        } else {
            reference.sorvik3.back().push_back(line);
        }
    }
    return true;
}

int recompute(const char* path) {
    Reference reference;
    if (!read(path, reference)) {
        return 2;
    }
    for (const std::vector<std::string>& block : reference.sorvik3) {
        for (const std::string& line : sorvik3Block(parseArguments(fields(block[0])))) {
            std::cout << line << '\n';
        }
    }
    for (const std::vector<std::string>& f : reference.newton) {
        std::cout << argumentsLine('N', parseArguments(f)) << ' ' << hex(newton(parseArguments(f)))
                  << '\n';
    }
    return std::cout.flush() ? 0 : 1;
}

// Whether two iteration lines agree in the given fields.
bool same(const std::vector<std::string>& a, const std::vector<std::string>& b,
          std::initializer_list<Field> which) {
    return std::all_of(which.begin(), which.end(), [&](Field f) { return a[f] == b[f]; });
}

struct Sorvik3Tally {
    std::size_t sets = 0, setsIterateAlike = 0;
    std::size_t iterations = 0, logarithmsAlike = 0, logarithmsAlikeAllAlike = 0;
    std::string firstDifference;
};

// Compares this build's block of one argument set with the reference's.
void compare(const std::vector<std::string>& reference, Sorvik3Tally& tally) {
    const std::vector<std::string> own = sorvik3Block(parseArguments(fields(reference[0])));
    ++tally.sets;
    // The first line that breaks a rule: an iteration line, else the
    // result line or the first line one block has and the other has not.
    std::size_t firstBad = 0;
    const std::size_t common = std::min(own.size(), reference.size());
    for (std::size_t k = 1; k + 1 < common; ++k) {
        const std::vector<std::string> a = fields(own[k]), b = fields(reference[k]);
        ++tally.iterations;
        if (a[0] != "I" || b[0] != "I") {
            firstBad = firstBad == 0 ? k : firstBad;
            continue;
        }
        bool ok = same(a, b, {fieldJ, fieldX, fieldArgument, fieldF2, fieldFinal});
        if (same(a, b, {fieldLogFreq, fieldLogH, fieldLogX, fieldLogArgument})) {
            const bool allAlike = own[k] == reference[k];
            ++tally.logarithmsAlike;
            tally.logarithmsAlikeAllAlike += allAlike ? 1 : 0;
            ok = ok && allAlike;
        }
        if (!ok && firstBad == 0) {
            firstBad = k;
        }
    }
    if (firstBad == 0 && (own.size() != reference.size() || own.back() != reference.back())) {
        firstBad = own.back() != reference.back() ? common - 1 : common;
    }
    if (firstBad == 0) {
        ++tally.setsIterateAlike;
    } else if (tally.firstDifference.empty()) {
        const auto shown = [](const std::vector<std::string>& block, std::size_t k) {
            return k < block.size() ? decimal(block[k]) : std::string("(none)");
        };
        tally.firstDifference = "  first difference, arguments " + decimal(reference[0]) +
                                ":\n    reference:  " + shown(reference, firstBad) +
                                "\n    this build: " + shown(own, firstBad) + '\n';
    }
}

int check(const char* path) {
    Reference reference;
    if (!read(path, reference)) {
        return 2;
    }
    Sorvik3Tally tally;
    for (const std::vector<std::string>& block : reference.sorvik3) {
        compare(block, tally);
    }
    std::size_t newtonSame = 0;
    std::int64_t newtonWorst = 0;
    std::string newtonWorstText;
    for (const std::vector<std::string>& f : reference.newton) {
        const double result = newton(parseArguments(f));
        const std::int64_t distance = ulps(result, parseDouble(f[5]));
        newtonSame += distance == 0 ? 1 : 0;
        if (distance > newtonWorst) {
            newtonWorst = distance;
            newtonWorstText = "  largest difference, arguments " +
                              decimal(argumentsLine('N', parseArguments(f))) +
                              ":\n    reference:  " + decimal(f[5]) +
                              "\n    this build: " + decimal(hex(result)) + '\n';
        }
    }

    const bool sorvik3Ok = tally.sets > 0 && tally.setsIterateAlike == tally.sets;
    const bool newtonOk = !reference.newton.empty() && newtonWorst <= newtonUlpLimit;
    std::cout << "Sorvik3: " << tally.setsIterateAlike << " of " << tally.sets
              << " argument sets iterate as the reference (" << tally.iterations
              << " iterations): " << (sorvik3Ok ? "ok" : "FAIL") << '\n'
              << "  the four logarithms the same in " << tally.logarithmsAlike
              << " iterations, and every value stored the same in " << tally.logarithmsAlikeAllAlike
              << " of them\n"
              << tally.firstDifference;
    std::cout << "Newton: " << newtonSame << " of " << reference.newton.size()
              << " results the same as the reference, the largest difference " << newtonWorst
              << " ulp (allowed " << newtonUlpLimit << "): " << (newtonOk ? "ok" : "FAIL") << '\n'
              << newtonWorstText;
    return sorvik3Ok && newtonOk ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "write") == 0) {
        return write(std::strtoul(argv[2], nullptr, 10));
    }
    if (argc == 3 && std::strcmp(argv[1], "check") == 0) {
        return check(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "recompute") == 0) {
        return recompute(argv[2]);
    }
    std::cerr << "usage: entry_values write COUNT | check FILE | recompute FILE\n";
    return 2;
}
