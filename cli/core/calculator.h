#pragma once

#include "common/choices.h"
#include "common/output.h"
#include "common/projectfile.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantero::cli {

// A numeric input of a calculator, as the calculation's field table names and
// labels it, with the text its window field starts with.
struct InputDescription {
    std::string_view name;
    std::string_view label;
    std::string_view unit;
    std::string initialText;
};

// A choice of a calculator's window, set by one of its value names. The
// values are in the order of the choice's ordinal; the project file stores the
// value `firstCoded` as code 1, the next as code 2 and so on, and values before
// `firstCoded` (the photodetector "0": a typed sensitivity) as no selection.
struct ChoiceDescription {
    std::string_view name;
    std::span<const std::string_view> values;
    int firstCoded = 0;
    // What each value stands for in the window, when its name does not say.
    std::span<const std::string_view> captions = {};
    std::string_view note = {};
    // For a choice made with a pair of radio buttons: the value the window's
    // calculation takes when opening a file leaves both buttons cleared (a
    // record with no code); none when the choice then keeps its value.
    std::optional<int> whenCleared = {};
};

// One output of a run, in the order the run set it.
struct PrintedOutput {
    std::string_view name;
    OutputKind kind;
    Output output;
};

// The outputs a run set, in order, and the failure that ended it, if any.
struct RunReport {
    std::vector<PrintedOutput> outputs;
    FaultRecord fault;
};

// The distances of one run at one value of a swept input, each when the run
// set it.
struct LinkDistances {
    double input = 0;
    std::optional<double> powerDistance;
    std::optional<double> riseTimeDistance;
    std::optional<double> maximumDistance;
    std::optional<LimitingFactor> limitedBy;
};

// What a sweep keeps of one run.
struct SweepPoint : LinkDistances {
    std::string_view message; // the rise-time message, one of the fixed texts
    FaultRecord fault;
};

class Calculator;

// The figures of one calculation as the command line sets them: the text of
// every numeric input and the value of every choice, starting from the
// window's initial texts and selections.
class Session {
public:
    explicit Session(const Calculator& calculator);
    virtual ~Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Calculator& calculator() const { return m_calculator; }

    // Inputs and choices by their index in the calculator's descriptions.
    virtual const std::string& text(std::size_t input) const = 0;
    virtual void setText(std::size_t input, std::string_view text) = 0;
    int choice(std::size_t index) const { return m_choices.at(index); }
    void setChoice(std::size_t index, int value);

    // One run on the current figures.
    virtual RunReport run() const = 0;
    // One run with the numeric input `input` set to `value` (no text); the
    // input keeps that value afterwards.
    virtual SweepPoint runAt(std::size_t input, double value) = 0;

protected:
    // Gives the input record the choice's value (nothing for a choice no
    // calculation reads).
    virtual void applyChoice(std::size_t index, int value) = 0;
    std::vector<int> m_choices;

private:
    const Calculator& m_calculator;
};

// One of the calculators: its numeric inputs, its choices, its project file
// and its runs.
class Calculator {
public:
    virtual ~Calculator() = default;

    virtual std::string_view name() const = 0;
    // The caption of the calculator's main window.
    virtual std::string_view caption() const = 0;
    virtual const ProjectLayout& layout() const = 0;
    virtual std::span<const InputDescription> inputs() const = 0;
    virtual std::span<const ChoiceDescription> choices() const = 0;
    // The value of every choice before anything is set.
    virtual std::vector<int> initialChoices() const = 0;
    virtual std::unique_ptr<Session> newSession() const = 0;

    std::optional<std::size_t> findInput(std::string_view name) const;
    std::optional<std::size_t> findChoice(std::string_view name) const;
};

// The calculators, in the order the command line lists them.
std::span<const Calculator* const> calculators();
const Calculator* findCalculator(std::string_view name);

// Reads a project file into the session as "Abrir..." reads it into the
// window: every number as its three-decimal text; a choice record with a code
// of the choice selects its value, one with any other code leaves the choice
// as it was. The file is read whole first: a failure changes nothing.
void openProject(Session& session, const std::filesystem::path& path);

// Writes the session's figures to `path` as "Salvar Como..." writes the
// window's (the name taken as it is: see projectPathForSaving).
void saveProject(const Session& session, const std::filesystem::path& path);

} // namespace vantero::cli
