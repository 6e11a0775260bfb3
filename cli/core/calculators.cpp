#include "cli/core/calculator.h"

#include "anel/core/anellayout.h"
#include "anel/core/ringlink.h"
#include "common/fields.h"
#include "estrela/core/starlink.h"
#include "estrela/core/stllayout.h"
#include "tavo/core/diglayout.h"
#include "tavo/core/pointlink.h"

#include <array>
#include <stdexcept>
#include <type_traits>

namespace vantero::cli {
namespace {

// A choice together with the member of the input record that holds it.
template <typename Input> struct ChoiceBinding {
    ChoiceDescription description;
    // nullptr for a choice that no calculation reads: it is held by the
    // session alone, starting at its first value.
    int (*read)(const Input&) = nullptr;
    void (*write)(Input&, int) = nullptr;
};

template <typename Input, auto Member> int readChoice(const Input& input) {
    return static_cast<int>(input.*Member);
}

template <typename Input, auto Member> void writeChoice(Input& input, int value) {
    using Value = std::remove_cvref_t<decltype(input.*Member)>;
    input.*Member = static_cast<Value>(value);
}

template <typename Input, auto Member>
constexpr ChoiceBinding<Input> heldBy(ChoiceDescription description) {
    return {description, &readChoice<Input, Member>, &writeChoice<Input, Member>};
}

// The value names, in the order of each choice's ordinal.
constexpr std::array<std::string_view, 2> lineCodes{"NRZ", "RZ"};
constexpr std::array<std::string_view, 3> blockCodes{"3B4B", "7B8B", "8B10B"};
constexpr std::array<std::string_view, 2> fibreTypes{"SingleMode", "Multimode"};
constexpr std::array<std::string_view, 2> berChoices{"1E-9", "1E-11"};
constexpr std::array<std::string_view, 2> lightSources{"LED", "LASER"};
constexpr std::array<std::string_view, 6> detectorTypes{"0", "1", "2", "3", "4", "5"};
constexpr std::array<std::string_view, 6> detectorCaptions{
    "the typed sensitivity (manualSensitivity)",
    "Si PIN (800-900nm)",
    "Si APD (800-900nm)",
    "InGaAs PIN (1550nm)",
    "InGaAs APD (1550nm)",
    "InGaAs PIN (1300nm)"};

template <typename Input, typename Result> class CalculatorOf;

template <typename Input, typename Result> class SessionOf final : public Session {
public:
    explicit SessionOf(const CalculatorOf<Input, Result>& calculator)
        : Session(calculator), m_of(calculator) {}

    const std::string& text(std::size_t input) const override {
        return (m_input.*m_of.inputFields()[input].member).text();
    }
    void setText(std::size_t input, std::string_view text) override {
        m_input.*m_of.inputFields()[input].member = NumberText(text);
    }

    RunReport run() const override {
        const Result result = m_of.calculate(m_input);
        RunReport run;
        for (const auto& field : m_of.resultFields()) {
            const Output& output = result.*field.member;
            if (output.isSet()) {
                run.outputs.push_back({field.name, field.kind, output});
            }
        }
        run.fault = result.fault;
        return run;
    }

    SweepPoint runAt(std::size_t input, double value) override {
        m_input.*m_of.inputFields()[input].member = NumberText::of(value);
        const Result result = m_of.calculate(m_input);
        SweepPoint point;
        point.input = value;
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

private:
    void applyChoice(std::size_t index, int value) override {
        if (const auto write = m_of.choiceBindings()[index].write) {
            write(m_input, value);
        }
    }

    const CalculatorOf<Input, Result>& m_of;
    Input m_input; // the window's initial texts and selections
};

// A calculator described by its calculation's own tables: the input and
// result fields, the choices of its input record and its project layout.
template <typename Input, typename Result> class CalculatorOf final : public Calculator {
public:
    using Calculate = Result (*)(const Input&, RiseTimeSolver);

    CalculatorOf(std::string_view name, std::string_view caption,
                 std::span<const InputField<Input>> inputs,
                 std::span<const ResultField<Result>> results,
                 std::span<const ChoiceBinding<Input>> choices, const ProjectLayout& layout,
                 Calculate calculate)
        : m_name(name), m_caption(caption), m_inputFields(inputs), m_resultFields(results),
          m_choiceBindings(choices), m_layout(layout), m_calculate(calculate) {
        const Input initial;
        for (const auto& field : inputs) {
            m_inputs.push_back(
                {field.name, field.label, field.unit, (initial.*field.member).text()});
        }
        for (const auto& binding : choices) {
            m_choices.push_back(binding.description);
            m_initialChoices.push_back(binding.read ? binding.read(initial) : 0);
        }
    }

    std::string_view name() const override { return m_name; }
    std::string_view caption() const override { return m_caption; }
    const ProjectLayout& layout() const override { return m_layout; }
    std::span<const InputDescription> inputs() const override { return m_inputs; }
    std::span<const ChoiceDescription> choices() const override { return m_choices; }
    std::vector<int> initialChoices() const override { return m_initialChoices; }
    std::unique_ptr<Session> newSession() const override {
        return std::make_unique<SessionOf<Input, Result>>(*this);
    }

    std::span<const InputField<Input>> inputFields() const { return m_inputFields; }
    std::span<const ResultField<Result>> resultFields() const { return m_resultFields; }
    std::span<const ChoiceBinding<Input>> choiceBindings() const { return m_choiceBindings; }
    Result calculate(const Input& input) const { return m_calculate(input, Newton); }

private:
    std::string_view m_name;
    std::string_view m_caption;
    std::span<const InputField<Input>> m_inputFields;
    std::span<const ResultField<Result>> m_resultFields;
    std::span<const ChoiceBinding<Input>> m_choiceBindings;
    const ProjectLayout& m_layout;
    Calculate m_calculate;
    std::vector<InputDescription> m_inputs;
    std::vector<ChoiceDescription> m_choices;
    std::vector<int> m_initialChoices;
};

using tavo::PointLinkInput;
const std::array<ChoiceBinding<PointLinkInput>, 5> pointLinkChoices = {{
    heldBy<PointLinkInput, &PointLinkInput::lineCode>({"lineCode", lineCodes}),
    {{"lightSource",
      lightSources,
      0,
      {},
      "kept in the project file only: no calculation reads it"}},
    heldBy<PointLinkInput, &PointLinkInput::detectorType>(
        {"detectorType", detectorTypes, 1, detectorCaptions,
         "independent of berChoice, unlike the window's two lists. 0 is saved as no "
         "photodetector selected, and opening such a file leaves detectorType at 1"}),
    heldBy<PointLinkInput, &PointLinkInput::berChoice>({"berChoice", berChoices}),
    // With neither fibre button checked the window calculates multimode fibre.
    heldBy<PointLinkInput, &PointLinkInput::fibreType>(
        {"fibreType", fibreTypes, 0, {}, {}, static_cast<int>(FibreType::Multimode)}),
}};

using estrela::StarLinkInput;
const std::array<ChoiceBinding<StarLinkInput>, 3> starLinkChoices = {{
    heldBy<StarLinkInput, &StarLinkInput::lineCode>({"lineCode", lineCodes}),
    heldBy<StarLinkInput, &StarLinkInput::blockCode>({"blockCode", blockCodes}),
    heldBy<StarLinkInput, &StarLinkInput::fibreType>({"fibreType", fibreTypes}),
}};

using anel::RingLinkInput;
const std::array<ChoiceBinding<RingLinkInput>, 3> ringLinkChoices = {{
    heldBy<RingLinkInput, &RingLinkInput::lineCode>({"lineCode", lineCodes}),
    heldBy<RingLinkInput, &RingLinkInput::blockCode>({"blockCode", blockCodes}),
    heldBy<RingLinkInput, &RingLinkInput::fibreType>({"fibreType", fibreTypes}),
}};

// The index of the choice or input whose name is `name`.
template <typename Description>
std::optional<std::size_t> indexByName(std::span<const Description> descriptions,
                                       std::string_view name) {
    for (std::size_t i = 0; i < descriptions.size(); ++i) {
        if (descriptions[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

// Every record of a layout feeds an input or a choice of its calculator.
std::size_t recordTarget(const Calculator& calculator, const ProjectRecord& record) {
    const auto index = record.kind == RecordKind::Number ? calculator.findInput(record.input)
                                                         : calculator.findChoice(record.input);
    if (!index) {
        throw std::logic_error(std::string(calculator.name()) + " has no input for the record " +
                               std::string(record.input));
    }
    return *index;
}

} // namespace

Session::Session(const Calculator& calculator)
    : m_choices(calculator.initialChoices()), m_calculator(calculator) {}

void Session::setChoice(std::size_t index, int value) {
    const ChoiceDescription& choice = m_calculator.choices()[index];
    if (value < 0 || static_cast<std::size_t>(value) >= choice.values.size()) {
        throw std::out_of_range("choice " + std::string(choice.name) + " has no value " +
                                std::to_string(value));
    }
    m_choices.at(index) = value;
    applyChoice(index, value);
}

std::optional<std::size_t> Calculator::findInput(std::string_view name) const {
    return indexByName(inputs(), name);
}

std::optional<std::size_t> Calculator::findChoice(std::string_view name) const {
    return indexByName(choices(), name);
}

std::span<const Calculator* const> calculators() {
    static const CalculatorOf<PointLinkInput, tavo::PointLinkResult> pointLink(
        "tavo", "Distância Máxima Alcançada para Enlace Ponto-a-Ponto com Modulação Digital",
        tavo::pointLinkInputs, tavo::pointLinkResults, pointLinkChoices, tavo::digLayout,
        tavo::calculatePointLink);
    static const CalculatorOf<StarLinkInput, estrela::StarLinkResult> starLink(
        "estrela", "Configuração em Estrela Passiva", estrela::starLinkInputs,
        estrela::starLinkResults, starLinkChoices, estrela::stlLayout, estrela::calculateStarLink);
    static const CalculatorOf<RingLinkInput, anel::RingLinkResult> ringLink(
        "anel", "Configuração em Anel", anel::ringLinkInputs, anel::ringLinkResults,
        ringLinkChoices, anel::anelLayout, anel::calculateRingLink);
    static const std::array<const Calculator*, 3> all{&pointLink, &starLink, &ringLink};
    return all;
}

const Calculator* findCalculator(std::string_view name) {
    for (const Calculator* calculator : calculators()) {
        if (calculator->name() == name) {
            return calculator;
        }
    }
    return nullptr;
}

void openProject(Session& session, const std::filesystem::path& path) {
    const Calculator& calculator = session.calculator();
    const ProjectLayout& layout = calculator.layout();
    const std::vector<RecordEntry> entries = loadProject(layout, path);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ProjectRecord& record = layout.records[i];
        const std::size_t target = recordTarget(calculator, record);
        if (record.kind == RecordKind::Number) {
            session.setText(target, std::get<std::string>(entries[i]));
        } else if (const ChoiceIndex index = std::get<ChoiceIndex>(entries[i])) {
            session.setChoice(target, *index + calculator.choices()[target].firstCoded);
        } else if (const auto cleared = calculator.choices()[target].whenCleared;
                   cleared && !record.components[1].empty()) {
            session.setChoice(target, *cleared);
        }
    }
}

void saveProject(const Session& session, const std::filesystem::path& path) {
    const Calculator& calculator = session.calculator();
    const ProjectLayout& layout = calculator.layout();
    std::vector<RecordEntry> entries;
    entries.reserve(layout.records.size());
    for (const ProjectRecord& record : layout.records) {
        const std::size_t source = recordTarget(calculator, record);
        if (record.kind == RecordKind::Number) {
            entries.emplace_back(session.text(source));
        } else {
            const int code = session.choice(source) - calculator.choices()[source].firstCoded;
            entries.emplace_back(code < 0 ? ChoiceIndex{} : ChoiceIndex{code});
        }
    }
    vantero::saveProject(layout, path, entries);
}

} // namespace vantero::cli
