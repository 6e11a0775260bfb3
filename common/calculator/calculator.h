#pragma once

#include "common/calculator/fields.h"
#include "common/calculator/partinputs.h"
#include "common/calculator/projectfile.h"
#include "common/links/budgets.h"
#include "common/links/choices.h"
#include "common/links/output.h"
#include "common/links/solver.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantero {

// One output of a run, in the order the run set it, with the window component
// that shows it (none for the message, which is a box).
struct RunOutput {
    std::string_view name;
    std::string_view component;
    OutputKind kind;
    Output output;
    std::string_view label; // beside the component in the window; empty for none
};

// The outputs a run set, in order, and the failure that ended it, if any.
struct RunReport {
    std::vector<RunOutput> outputs;
    std::optional<RunFault> fault;
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
    std::optional<RunFault> fault;
};

class Calculator;

// The figures of one calculation: the text of every numeric input and the
// value of every choice, starting from the initial texts and selections of
// the calculator's window.
class Session {
public:
    explicit Session(const Calculator& calculator);
    virtual ~Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Calculator& calculator() const { return m_calculator; }

    // A session of its own with the same figures (for another thread).
    virtual std::unique_ptr<Session> copy() const = 0;

    // Inputs and choices by their index in the calculator's descriptions.
    virtual const std::string& text(std::size_t input) const = 0;
    virtual void setText(std::size_t input, std::string_view text) = 0;
    // An input's text with the outcome of its conversion.
    virtual const NumberText& number(std::size_t input) const = 0;
    int choice(std::size_t index) const { return m_choices.at(index); }
    void setChoice(std::size_t index, int value);

    // Converts the inputs that every run converts at its start, in the order
    // of the calculator's inputs, and throws the first failure.
    virtual void checkLeadingInputs() const = 0;
    // One run on the current figures.
    virtual RunReport run() const = 0;
    // The same run, keeping what a sweep keeps of it (the point's input is 0),
    // and its outputs in `outputs` when given, as run() gives them.
    virtual SweepPoint runPoint() const = 0;
    virtual SweepPoint runPoint(RunReport& outputs) const = 0;
    // One run with the numeric input `input` set to `value` (no text); the
    // input keeps that value afterwards.
    virtual SweepPoint runAt(std::size_t input, double value) = 0;
    // Both budgets at `km` km of fibre, term by term, on the current figures.
    virtual LinkBudgets budgetsAt(double km) const = 0;
    // Gives the numeric input `input` the value `value` (no text).
    virtual void setNumber(std::size_t input, double value) = 0;
    // How many items the item loss `itemLoss` (by its index in the
    // calculator's itemLosses) counts at `km` km on the current figures; a
    // figure that is not a number throws NumberFormatFailure.
    virtual double itemCount(std::size_t itemLoss, double km) const = 0;

    // One run with the choice `index` set to `value`; the choice keeps that
    // value afterwards. The point's input is the value's ordinal.
    virtual SweepPoint runWithChoice(std::size_t index, int value) = 0;

protected:
    // Gives the input record the choice's value (nothing for a choice no
    // calculation reads).
    virtual void applyChoice(std::size_t index, int value) = 0;
    void copyChoices(const Session& other) { m_choices = other.m_choices; }

private:
    std::vector<int> m_choices;
    const Calculator& m_calculator;
};

// One of the calculators: its name and window caption, its numeric inputs,
// its choices, its project file and its runs.
class Calculator {
public:
    Calculator(std::string_view name, std::string_view network, std::string_view caption,
               ProjectLayout layout, std::vector<InputDescription> inputs,
               std::vector<ChoiceDescription> choices, std::span<const PartInput> partInputs = {},
               std::vector<ItemLossDescription> itemLosses = {})
        : m_name(name), m_network(network), m_caption(caption), m_layout(layout),
          m_inputs(std::move(inputs)), m_choices(std::move(choices)), m_partInputs(partInputs),
          m_itemLosses(std::move(itemLosses)) {}
    virtual ~Calculator() = default;
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    // The program's name: "tavo".
    std::string_view name() const { return m_name; }
    // The kind of link it calculates, in a few words: "point-to-point".
    std::string_view network() const { return m_network; }
    // The caption of the calculator's main window.
    std::string_view caption() const { return m_caption; }
    const ProjectLayout& layout() const { return m_layout; }
    std::span<const InputDescription> inputs() const { return m_inputs; }
    std::span<const ChoiceDescription> choices() const { return m_choices; }
    // Which input or choice each figure of a catalogue part sets, in order.
    std::span<const PartInput> partInputs() const { return m_partInputs; }
    // The inputs that are the loss of each of several items the power budget
    // counts, and how they are counted.
    std::span<const ItemLossDescription> itemLosses() const { return m_itemLosses; }
    // The value of every choice before anything is set.
    std::vector<int> initialChoices() const;
    virtual std::unique_ptr<Session> newSession() const = 0;

    std::optional<std::size_t> findInput(std::string_view name) const;
    std::optional<std::size_t> findChoice(std::string_view name) const;
    // The index in itemLosses of the input called `input`, if it is one.
    std::optional<std::size_t> findItemLoss(std::string_view input) const;
    // Whether the project file keeps the input or the choice called `name`.
    bool keptInProjectFile(std::string_view name) const;

private:
    std::string_view m_name;
    std::string_view m_network;
    std::string_view m_caption;
    ProjectLayout m_layout;
    std::vector<InputDescription> m_inputs;
    std::vector<ChoiceDescription> m_choices;
    std::span<const PartInput> m_partInputs;
    std::vector<ItemLossDescription> m_itemLosses;
};

// The value of `choice` named `name`, its letters in either case ("rz" is
// "RZ"), if any.
std::optional<int> findChoiceValue(const ChoiceDescription& choice, std::string_view name);

// Reads a project file into the session as "Abrir..." reads it into the
// window: every number as its three-decimal text; a choice record with a code
// of the choice selects its value; one with any other code leaves the choice
// as it was, except a pair of radio buttons, which the window then clears (the
// choice takes its value for no selection). The file is read whole first: a
// failure changes nothing.
void openProject(Session& session, const std::filesystem::path& path);

// Writes the session's figures to `path` as "Salvar Como..." writes the
// window's (the name taken as it is: see projectPathForSaving).
void saveProject(const Session& session, const std::filesystem::path& path);

// Gives `to` the texts and choices of `from`, a session of the same
// calculator (an input last set by runAt has no text, and is copied as 0).
void copyFigures(const Session& from, Session& to);

// A calculator described by its calculation's own tables: the input, choice
// and result fields, the records of its project file, its calculation and
// its budgets at a length.
template <typename Input, typename Result> class CalculatorOf final : public Calculator {
public:
    using Calculate = Result (*)(const Input&, RiseTimeSolver);
    using Budgets = LinkBudgets (*)(const Input&, double km);

    CalculatorOf(std::string_view name, std::string_view network, std::string_view caption,
                 std::string_view extension, std::span<const InputField<Input>> inputs,
                 std::span<const ChoiceField<Input>> choices,
                 std::span<const ResultField<Result>> results,
                 std::span<const ProjectRecord> records, Calculate calculate, Budgets budgets,
                 std::span<const PartInput> parts = {},
                 std::span<const ItemLossField<Input>> itemLosses = {})
        : Calculator(name, network, caption, ProjectLayout{extension, records},
                     {inputs.begin(), inputs.end()}, {choices.begin(), choices.end()}, parts,
                     {itemLosses.begin(), itemLosses.end()}),
          m_inputFields(inputs), m_choiceFields(choices), m_resultFields(results),
          m_itemLossFields(itemLosses), m_calculate(calculate), m_budgets(budgets) {}

    std::unique_ptr<Session> newSession() const override {
        return std::make_unique<SessionOf>(*this);
    }

private:
    class SessionOf final : public Session {
    public:
        explicit SessionOf(const CalculatorOf& calculator)
            : Session(calculator), m_of(calculator) {}

        std::unique_ptr<Session> copy() const override {
            auto session = std::make_unique<SessionOf>(m_of);
            session->m_input = m_input;
            session->copyChoices(*this);
            return session;
        }

        const std::string& text(std::size_t input) const override { return number(input).text(); }
        const NumberText& number(std::size_t input) const override {
            return m_input.*m_of.m_inputFields[input].member;
        }
        void setText(std::size_t input, std::string_view text) override {
            m_input.*m_of.m_inputFields[input].member = NumberText(text);
        }

        void checkLeadingInputs() const override {
            for (const auto& field : m_of.m_inputFields) {
                if (!field.whenUsed) {
                    (void)convertInput<Input>(m_input, field.member, m_of.m_inputFields);
                }
            }
        }

        RunReport run() const override { return reportOf(m_of.m_calculate(m_input, Newton)); }

        SweepPoint runPoint() const override {
            return pointOf(m_of.m_calculate(m_input, Newton), 0);
        }
        SweepPoint runPoint(RunReport& outputs) const override {
            const Result result = m_of.m_calculate(m_input, Newton);
            outputs = reportOf(result);
            return pointOf(result, 0);
        }

        SweepPoint runAt(std::size_t input, double value) override {
            (m_input.*m_of.m_inputFields[input].member).setNumber(value);
            return pointOf(m_of.m_calculate(m_input, Newton), value);
        }

        SweepPoint runWithChoice(std::size_t index, int value) override {
            setChoice(index, value);
            return pointOf(m_of.m_calculate(m_input, Newton), value);
        }

        LinkBudgets budgetsAt(double km) const override { return m_of.m_budgets(m_input, km); }

        void setNumber(std::size_t input, double value) override {
            (m_input.*m_of.m_inputFields[input].member).setNumber(value);
        }
        double itemCount(std::size_t itemLoss, double km) const override {
            return m_of.m_itemLossFields[itemLoss].count(m_input, km);
        }

    private:
        RunReport reportOf(const Result& result) const {
            RunReport run;
            for (const auto& field : m_of.m_resultFields) {
                const Output& output = result.*field.member;
                if (output.isSet()) {
                    run.outputs.push_back(
                        {field.name, field.component, field.kind, output, field.label});
                }
            }
            run.fault = result.fault;
            return run;
        }

        static SweepPoint pointOf(const Result& result, double input) {
            SweepPoint point;
            point.input = input;
            auto number = [](const Output& output) {
                return output.isSet() ? std::optional<double>(output.value()) : std::nullopt;
            };
            point.powerDistance = number(result.powerDistance);
            point.riseTimeDistance = number(result.riseTimeDistance);
            point.maximumDistance = number(result.maximumDistance);
            point.limitedBy = result.limitedBy;
            point.message = result.riseTimeMessage.fixedText();
            point.fault = result.fault;
            return point;
        }

        void applyChoice(std::size_t index, int value) override {
            if (const auto write = m_of.m_choiceFields[index].write) {
                write(m_input, value);
            }
        }

        const CalculatorOf& m_of;
        Input m_input; // the window's initial texts and selections
    };

    std::span<const InputField<Input>> m_inputFields;
    std::span<const ChoiceField<Input>> m_choiceFields;
    std::span<const ResultField<Result>> m_resultFields;
    std::span<const ItemLossField<Input>> m_itemLossFields;
    Calculate m_calculate;
    Budgets m_budgets;
};

} // namespace vantero
